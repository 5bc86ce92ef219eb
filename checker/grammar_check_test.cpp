#include "checker/grammar_check.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/streams.hpp"

namespace {

using lines = std::vector<std::string>;

struct grammar_text {
  std::string rules;
  std::string lexicon;
  std::string endings;
  bool utf8 = false;
};

grammar_model model_of(const grammar_text& text) {
  grammar_model model;
  model.names[0] = "c";
  model.names[1] = "r";
  model.names[2] = "l";
  model.names[3] = "e";
  model.utf8 = text.utf8;
  model.rules = read_rules_model(stream_over(text.rules).get(), text.utf8);
  model.lexicon = read_entries_model(stream_over(text.lexicon).get(), text.utf8);
  model.endings = read_entries_model(stream_over(text.endings).get(), text.utf8);
  return model;
}

// The findings as "FILE:LINE:COLUMN: error: TEXT" lines.
lines findings_of(const grammar_text& text, const std::string& start = "SATZ") {
  const grammar_model model = model_of(text);
  lines shown;
  for (const finding& found : check_grammar(model, start)) {
    shown.push_back(model.name(found.file) + ":" + std::to_string(found.at.line) + ":" +
                    std::to_string(found.at.column) + ": " +
                    (found.level == finding_level::error ? "error: " : "warning: ") + found.text);
  }
  return shown;
}

// A grammar without findings, which the cases below add a line to.
const std::string kRules =
    "DETA GEN()KAS() + NOMN GEN()KAS() = NPHR KAS(); 1 1 0, 2 2 1.\n"
    "NPHR KAS(1) + VERB = SATZ;.\n";
const std::string kLexicon = "DER=DETA GEN(1)KAS(1)\nHUND=NOMN GEN(1)KAS(1,4)\nLAUF=VERB\nT=VERB\n";
const std::string kEndings = "T=ENDG\n";

TEST(CheckGrammar, FindsNothingInACorrectGrammar) {
  EXPECT_EQ(findings_of({kRules, kLexicon, kEndings}), lines{});
}

TEST(CheckGrammar, ComparesTheValueGroupsOfEveryUse) {
  // The most common number wins, wherever the odd use stands.
  EXPECT_EQ(findings_of({kRules, "DER=DETA GEN(1)\n" + kLexicon.substr(22), kEndings}),
            lines{"l:1:5: error: DETA has 1 value group here, 2 at r:1: the two never agree"});
  EXPECT_EQ(findings_of({kRules, kLexicon + "WAU=NOMN GEN(1)KAS(1)PER(3)\n", kEndings}),
            lines{"l:5:5: error: NOMN has 3 value groups here, 2 at r:1: the two never agree"});
  // A tie goes to the number used first, and the endings count too.
  EXPECT_EQ(findings_of({"AAAA G() = SATZ;.\n", "A=AAAA\n", "A=AAAA G()H()\n"}),
            lines{"e:1:3: error: AAAA has 2 value groups here, 1 at r:1: the two never agree"});
  // No values differs from nothing, nor does a result without groups; a blank
  // after the category is a set of no groups, which differs.
  EXPECT_EQ(findings_of({kRules + "VERB = NPHR X;.\n", kLexicon + "X=NPHR\n", kEndings}), lines{});
  EXPECT_EQ(findings_of({kRules, kLexicon + "X=NOMN \n", kEndings}),
            lines{"l:5:3: error: NOMN has no value groups here, 2 at r:1: the two never agree"});
}

TEST(CheckGrammar, HoldsConditionDigitsToTheGroupsTheyName) {
  const struct {
    const char* what;
    std::string rule;
    lines findings;
  } rows[] = {
      {"first and second part",
       "DETA GEN()KAS() + NOMN GEN()KAS() = NPHR KAS(); 3 0 0, 0 3 1.",
       {"r:3:49: error: condition digit 3 names group 3 of the first part DETA, which has 2 value "
        "groups: it stands for all values and restricts nothing",
        "r:3:58: error: condition digit 3 names group 3 of the second part NOMN, which has 2 value "
        "groups: it stands for all values and restricts nothing"}},
      {"result; a part without values has the groups of its category",
       "DETA + NOMN = NPHR KAS(); 2 2 2.",
       {"r:3:31: error: condition digit 2 names group 2 of the result NPHR, which has 1 value "
        "group: the value is stored nowhere"}},
      {"a category never written with values has none",
       "VERB = NPHR KAS(); 1 1.",
       {"r:3:20: error: condition digit 1 names group 1 of the first part VERB, which has no "
        "value groups: it stands for all values and restricts nothing"}},
      {"unary pairs; a lone last digit is ignored",
       "NOMN GEN()KAS() = NPHR KAS(); 2 1, 1.",
       {"r:3:36: warning: condition digit 1 stands alone behind the last pair: it is ignored"}},
      {"binary: a lone digit, then two digits without a result",
       "NPHR + VERB = SATZ; 0 0 0, 1.",
       {"r:3:28: warning: condition digit 1 stands alone behind the last triple: it is ignored"}},
      {"", "NPHR + VERB = SATZ; 0 0 0, 1 0.",
       {"r:3:30: warning: the last triple of the condition has no result digit: its groups are "
        "compared, the result stored nowhere"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(findings_of({kRules + row.rule + "\n", kLexicon, kEndings}), row.findings) << row.what;
  }
}

TEST(CheckGrammar, FindsPartsThatNothingMakes) {
  // The categories of the endings file are no readings: an ending's come from the lexicon.
  EXPECT_EQ(findings_of({kRules + "ENDG + VERB = SATZ;.\n", kLexicon, kEndings}),
            lines{"r:3:1: error: no lexicon entry has the category ENDG and no rule makes it: rule 3 "
                  "can never apply"});
  EXPECT_EQ(findings_of({kRules + "VERB + SATZ = SATZ;.\n", kLexicon, kEndings}), lines{});
}

TEST(CheckGrammar, NamesTheRulesOfEveryUnaryCycle) {
  const std::string cycles =
      "AAAA = BBBB;.\nBBBB = CCCC;.\nCCCC = AAAA;.\nBBBB = AAAA;.\nDDDD = DDDD;.\nCCCC = SATZ;.\n";
  const std::string lexicon = "A=AAAA\nD=DDDD\n";
  EXPECT_EQ(findings_of({cycles, lexicon, ""}),
            (lines{"r:3:1: warning: unary rules form the cycle CCCC -> AAAA -> BBBB -> CCCC (rule 3 "
                   "at line 3, rule 1 at line 1, rule 2 at line 2): constituents are built without "
                   "end (the analyser stops at its node limit)",
                   "r:4:1: warning: unary rules form the cycle BBBB -> AAAA -> BBBB (rule 4 at line "
                   "4, rule 1 at line 1): constituents are built without end (the analyser stops at "
                   "its node limit)",
                   "r:5:1: warning: unary rule 5 makes DDDD of DDDD: constituents are built without "
                   "end (the analyser stops at its node limit)",
                   "r:5:8: warning: no rule leads from DDDD to the start category SATZ: rule 5 "
                   "never takes part in a complete analysis"}));
  // A binary rule closes no cycle, nor does a unary chain.
  EXPECT_EQ(findings_of({"AAAA = BBBB;.\nBBBB + AAAA = AAAA;.\nBBBB = SATZ;.\n", "A=AAAA\n", ""}),
            lines{});
}

TEST(CheckGrammar, FindsWhatNeverJoinsACompleteAnalysis) {
  EXPECT_EQ(findings_of({kRules + "VERB = XXXX;.\n", kLexicon + "SEHR=GRAD\n", kEndings}),
            (lines{"r:3:8: warning: no rule leads from XXXX to the start category SATZ: rule 3 "
                   "never takes part in a complete analysis",
                   "l:5:6: warning: no rule uses the category GRAD and it is not the start "
                   "category SATZ: its words never join a complete analysis"}));
  // A lexicon category that is the start category needs no rule.
  EXPECT_EQ(findings_of({kRules, kLexicon + "JA=SATZ\n", kEndings}), lines{});
}

TEST(CheckGrammar, TakesTheStartCategoryAsTheAnalyserDoes) {
  // Every category whose name begins with it is the start category.
  EXPECT_EQ(findings_of({kRules, kLexicon, kEndings}, "SAT"), lines{});
  // Nothing makes it: one error, and no rule is said to lead nowhere.
  EXPECT_EQ(findings_of({kRules, kLexicon, kEndings}, "SATZE"),
            lines{"c:4:1: error: no rule makes the start category SATZE and no lexicon entry has "
                  "it: no sentence can have a complete analysis"});
  EXPECT_EQ(findings_of({kRules, kLexicon, kEndings}, "NPHR"),
            lines{"r:2:22: warning: no rule leads from SATZ to the start category NPHR: rule 2 "
                  "never takes part in a complete analysis"});
}

TEST(CheckGrammar, FindsEndingsThatTheLexiconLacks) {
  EXPECT_EQ(findings_of({kRules, kLexicon, "t=ENDG\nEN=ENDG\n"}),
            lines{"e:2:1: warning: the ending EN is no word of the lexicon, which gives an ending "
                  "its readings: it is never cut off"});
}

TEST(CheckGrammar, ShowsTheTextsOfUtf8FilesInUtf8) {
  EXPECT_EQ(findings_of({"ÄPFL = SATZ;.\n", "", "Ö=ENDG\n", true}),
            (lines{"r:1:1: error: no lexicon entry has the category ÄPFL and no rule makes it: rule "
                   "1 can never apply",
                   "e:1:1: warning: the ending Ö is no word of the lexicon, which gives an ending "
                   "its readings: it is never cut off"}));
}

}  // namespace
