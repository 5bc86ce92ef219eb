#include "analyser/grammar/rules_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {
// A stored rule as text: "FIRST{values}+SECOND{values}=RESULT{values};digits:label#number",
// where a part without value set shows no braces.
std::string part_text(const rule_part& part) {
  if (part.category == nullptr) return "";
  std::string text(reinterpret_cast<const char*>(part.category->name), part.category->name_length);
  if (part.subcat_values != nullptr) {
    text += "{";
    for (int i = 1; i <= part.subcat_values[0]; ++i)
      text += std::to_string(part.subcat_values[i]) + ",";
    text += "}";
  }
  return text;
}

std::string rule_text(const grammar_rule* rule) {
  std::string text = part_text(rule->parts[0]);
  if (rule->parts[1].category != nullptr) text += "+" + part_text(rule->parts[1]);
  text += "=" + part_text(rule->parts[2]) + ";";
  if (rule->condition == nullptr) {
    text += "-";
  } else {
    for (int i = 1; i <= rule->condition[0]; ++i) text += std::to_string(rule->condition[i]);
  }
  return text + ":" + rule->label + "#" + std::to_string(rule->rule_number);
}

using rule_texts = std::vector<std::string>;

struct RulesReader : ::testing::Test {
  captured_output out;
  grammar_fixture state;

  RulesReader() { state.out = out.file(); }
  grammar_tables& grammar() { return state.grammar; }

  rule_texts read(const std::string& text) {
    memory_input file(text);
    read_rules(state.grammar, state.lexicon.categories, file.file(), state.log());
    rule_texts rules;
    for (const grammar_rule* r = state.grammar.rule_list; r != nullptr; r = r->next)
      rules.push_back(rule_text(r));
    return rules;
  }
};

TEST_F(RulesReader, BinaryAndUnaryRules) {
  EXPECT_EQ(read("DETX GEN(1,2,3)+NOUX GEN(1,2,3)=NPHR GEN();1 1 1:det-noun.\n"
                 "NPHR=SATZ;.\n"),
            (rule_texts{"DETX{7,}+NOUX{7,}=NPHR{255,};111:det-noun#1", "NPHR=SATZ;-:#2"}));
  EXPECT_EQ(state.grammar.rule_list->next->parts[1].subcat_values, nullptr);
  EXPECT_EQ(state.grammar.rule_tail, state.grammar.rule_list->next);
}

TEST_F(RulesReader, LayoutDoesNotMatter) {
  const rule_texts expected = {"AAAA+BBBB=CCCC;12:x#1", "DDDD=EEEE;-:#2"};
  EXPECT_EQ(read("AAAA+BBBB=CCCC;12:x.DDDD=EEEE;."), expected);
}

TEST_F(RulesReader, RuleOverSeveralLines) {
  EXPECT_EQ(read("A A A A\n+\r\nB B B B =\nCCCC\n;1\n2\n:x\n.\n"),
            (rule_texts{"AAAA+BBBB=CCCC;12:x#1"}));
}

TEST_F(RulesReader, CommentInsideARuleSkipsOnlyTheRestOfItsLine) {
  EXPECT_EQ(read("$ Kopf\nAAAA+BBBB $ Kommentar = falsch;\n=CCCC;.\n$ Fuss"),
            (rule_texts{"AAAA+BBBB=CCCC;-:#1"}));
}

TEST_F(RulesReader, LongCommentNeverTurnsIntoRuleText) {
  EXPECT_EQ(read("$" + std::string(150, 'x') + "XXXX=YYYY;.\nAAAA=BBBB;.\n"),
            (rule_texts{"AAAA=BBBB;-:#1"}));
}

TEST_F(RulesReader, BlanksAreIgnoredButATabIsACharacter) {
  EXPECT_EQ(read(" N P H R  =  S A T Z ; . "), (rule_texts{"NPHR=SATZ;-:#1"}));
  EXPECT_EQ(read("\tAB=CDEF;."), (rule_texts{"NPHR=SATZ;-:#1", "\tAB=CDEF;-:#1"}));
}

TEST_F(RulesReader, PartsWithoutSubcategoryTextHaveNoValueSet) {
  read("AAAA+BBBB=CCCC;.");
  for (const rule_part& part : state.grammar.rule_list->parts) EXPECT_EQ(part.subcat_values, nullptr);
  EXPECT_EQ(state.grammar.rule_list->condition, nullptr);
  EXPECT_STREQ(state.grammar.rule_list->label, "");
}

TEST_F(RulesReader, CategoryIsTheFirstFourCharactersOfAPart) {
  EXPECT_EQ(read("NOMNX(1)=NP;."), (rule_texts{"NOMN{1,}=NP;-:#1"}));
}

TEST_F(RulesReader, LabelLimitAndBlanks) {
  const std::string at_limit(kRuleLabelLength, 'l');
  const rule_texts got = read("A=B;:" + at_limit + ".C=D;:" + at_limit + "m.E=F;:  zwei Worte .G=H;:" +
                         std::string(25, 'q') + ".I=J;:abcdefghijklmnopqr s.");
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0], "A=B;-:" + at_limit + "#1");
  EXPECT_EQ(got[1], "C=D;-:" + at_limit + "#2");
  EXPECT_EQ(got[2], "E=F;-:zwei Worte#3");
  EXPECT_EQ(got[3], "G=H;-:" + std::string(kRuleLabelLength, 'q') + "#4");
  EXPECT_EQ(got[4], "I=J;-:abcdefghijklmnopqr#5");  // the 19th character, a blank, is removed
}

TEST_F(RulesReader, LabelTakesSeparatorsAndDollarAsText) {
  EXPECT_EQ(read("A=B;1:x+y;z=w$v\n.C=D;."), (rule_texts{"A=B;1:x+y;z=w$v#1", "C=D;-:#2"}));
  EXPECT_EQ(read("E=F;:a:b."), (rule_texts{"A=B;1:x+y;z=w$v#1", "C=D;-:#2", "E=F;-:b#1"}));
}

TEST_F(RulesReader, ConditionTextKeepsItsDigitsWhateverTheResultLength) {
  EXPECT_EQ(read("AAAA+BBBB=NP;1,2,3."), (rule_texts{"AAAA+BBBB=NP;123:#1"}));
}

TEST_F(RulesReader, LongPartsAndConditions) {
  std::string groups;
  for (int i = 0; i < 40; ++i) groups += "GRP(1,2)";
  const std::string digits(100, '1');
  const rule_texts got = read("AAAA " + groups + "=BBBB;" + digits + ".");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(state.grammar.rule_list->parts[0].subcat_values[0], 40);
  EXPECT_EQ(state.grammar.rule_list->condition[0], 100);
}

TEST_F(RulesReader, TextAfterTheLastRuleIsIgnored) {
  EXPECT_EQ(read("A=B;.\nC+D=E;1"), (rule_texts{"A=B;-:#1"}));
  EXPECT_EQ(out.text(), "read_grammar(): rule 2 skipped (no \".\")\n");
}

TEST_F(RulesReader, BlanksAndCommentsAfterTheLastRuleAreNoRule) {
  EXPECT_EQ(read("A=B;.\n  \n$ Ende\n"), (rule_texts{"A=B;-:#1"}));
  EXPECT_EQ(out.text(), "");
}

TEST_F(RulesReader, MalformedRulesAreSkippedAndKeepTheirNumbers) {
  const rule_texts got = read(
      "AAAA+BBBB=CCCC;1.\n"   // 1 fine
      "DDDD+EEEE.\n"          // 2 no result part
      "FFFF=GGGG.\n"          // 3 "." before ";"
      "+HHHH=IIII;.\n"        // 4 no first part
      "JJJJ+=KKKK;.\n"        // 5 empty second part
      "LLLL=;.\n"             // 6 empty result part
      "MMMM+NNNN+OOOO=P;.\n"  // 7 two "+"
      "QQQQ=RRRR=SSSS;.\n"    // 8 two "="
      "TTTT=UUUU;1;2.\n"      // 9 two ";"
      "VVVV;WWWW.\n"          // 10 ";" first
      ".\n"                   // 11 nothing at all
      ":label.\n"             // 12 a label only
      "XXXX=YYYY;2.\n");      // 13 fine
  EXPECT_EQ(got, (rule_texts{"AAAA+BBBB=CCCC;1:#1", "XXXX=YYYY;2:#13"}));
  std::string expected;
  for (int n = 2; n <= 12; ++n)
    expected += "read_grammar(): rule " + std::to_string(n) + " skipped (malformed)\n";
  EXPECT_EQ(out.text(), expected);
}

TEST_F(RulesReader, MalformedRuleLeavesNoTraceInTheTables) {
  read("NP+VERB.\nNPRO=SATZ;.\n");
  ASSERT_NE(state.grammar.rule_list, nullptr);
  EXPECT_EQ(state.grammar.rule_list->next, nullptr);
  // NP of the broken rule was never interned, so NPRO got its own entry.
  EXPECT_EQ(part_text(state.grammar.rule_list->parts[0]), "NPRO");
  EXPECT_EQ(state.grammar.rule_index['N' - 'A'], state.grammar.rule_list);
}

TEST_F(RulesReader, IndexRefersToTheFirstRuleOfEachInitial) {
  read("ABCD=X;.\nAXYZ=Y;.\n[UML=Z;.\nBBBB=W;.\n");
  EXPECT_EQ(state.grammar.rule_index['A' - 'A'], state.grammar.rule_list);
  EXPECT_EQ(state.grammar.rule_index['A' - 'A']->next->rule_number, 2);
  EXPECT_EQ(state.grammar.rule_index['[' - 'A']->rule_number, 3);
  EXPECT_EQ(state.grammar.rule_index['B' - 'A']->rule_number, 4);
  EXPECT_EQ(state.grammar.rule_index['C' - 'A'], nullptr);
}

TEST_F(RulesReader, InitialOutsideTheIndexIsListedButNotIndexed) {
  const rule_texts got = read("abcd=X;.\n0123=Y;.\n\xC4XYZ=Z;.\n");
  EXPECT_EQ(got.size(), 3u);
  for (grammar_rule* slot : state.grammar.rule_index) EXPECT_EQ(slot, nullptr);
}

TEST_F(RulesReader, EmptyFileLeavesTheIndexEmpty) {
  grammar_rule stale{};
  state.grammar.rule_index[3] = &stale;
  EXPECT_EQ(read(""), rule_texts{});
  for (grammar_rule* slot : state.grammar.rule_index) EXPECT_EQ(slot, nullptr);
}

TEST_F(RulesReader, CategoriesAreSharedAcrossRules) {
  read("NPHR+VPHR=SATZ;.\nVPHR=NPHR;.\n");
  const grammar_rule* first = state.grammar.rule_list;
  EXPECT_EQ(first->parts[0].category, first->next->parts[2].category);
  EXPECT_EQ(first->parts[1].category, first->next->parts[0].category);
}

TEST_F(RulesReader, TraceEchoesRuleByRule) {
  state.trace = true;
  read("$ Kopf\nDETX (1)+NOUX (1)=NPHR;111:d n.\n NPHR=SATZ;.\nX+Y.");
  EXPECT_EQ(without_identities(out.text()),
            "\n"
            "\n   1 DETX (1)+\n\tNOUX (1)=\n\tNPHR;\n\t111:d n. --- PTR"
            "\n   2  \n   2 NPHR=\n\tSATZ;\n\t. --- PTR"
            "\n   3 X+\n\tY.\nread_grammar(): rule 3 skipped (malformed)\n");
}

TEST_F(RulesReader, OutOfMemory) {
  state.grammar.storage.set_limit(1);
  EXPECT_EQ(fatal_text_of([&] { read("AAAA=BBBB;."); }), "store_rule: malloc Fehler");
}

TEST_F(RulesReader, SkippedRulesAreKeptWithTheirPlace) {
  problem_list problems;
  problems.file = "rules.txt";
  log_output log = state.log();
  log.problems = &problems;
  memory_input file("AAAA=BBBB;.\n  $ note\n  X+Y.  AAAA\n=BBBB;. CCCC+DDDD\n");
  read_rules(state.grammar, state.lexicon.categories, file.file(), log);
  ASSERT_EQ(problems.problems.size(), 2u);
  const load_problem& malformed = problems.problems[0];
  EXPECT_EQ(malformed.file, "rules.txt");
  EXPECT_EQ(malformed.line, 3);
  EXPECT_EQ(malformed.column, 3);
  EXPECT_EQ(malformed.text, "rule 2 skipped (malformed)");
  const load_problem& unfinished = problems.problems[1];
  EXPECT_EQ(unfinished.line, 4);
  EXPECT_EQ(unfinished.column, 9);
  EXPECT_EQ(unfinished.text, "rule 4 skipped (no \".\")");
  EXPECT_EQ(out.text(), "read_grammar(): rule 2 skipped (malformed)\n"
                        "read_grammar(): rule 4 skipped (no \".\")\n");
}

}  // namespace

TEST_F(RulesReader, EveryRuleKnowsTheLineItBeginsOn) {
  read("$ rules\nAAAA=BBBB;. CCCC\n+DDDD\n=EEEE;.\n\n  X+Y.\n  FFFF=GGGG;\n:l.");
  std::vector<long> lines;
  for (const grammar_rule* r = state.grammar.rule_list; r != nullptr; r = r->next) {
    lines.push_back(r->line);
  }
  EXPECT_EQ(lines, (std::vector<long>{2, 2, 7}));  // the malformed rule of line 6 is skipped
}
