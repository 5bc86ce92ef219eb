#include "checker/grammar_model.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/streams.hpp"

namespace {

std::string groups_text(const value_groups& groups) {
  return groups ? "(" + std::to_string(*groups) + ")" : "";
}

std::string place(const text_position& at) {
  return "@" + std::to_string(at.line) + ":" + std::to_string(at.column);
}

// "3 ADJE(4)@2:1 + NOMN@2:9 = NBAR(1)@3:1 ; 1@3:9 1@3:11": a rule with its
// number, its parts with their value groups and places, its condition digits.
std::string describe(const model_rule& rule) {
  std::string text = std::to_string(rule.number);
  const auto part = [&](const model_part& p) {
    text += " " + p.category + groups_text(p.groups) + place(p.at);
  };
  part(rule.first());
  if (!rule.unary) {
    text += " +";
    part(rule.second());
  }
  text += " =";
  part(rule.result());
  text += " ;";
  for (const condition_digit& digit : rule.condition) {
    text += " " + std::to_string(digit.value) + place(digit.at);
  }
  return text;
}

std::vector<std::string> rules_of(const std::string& text, bool utf8 = false) {
  const owned_file file = stream_over(text);
  std::vector<std::string> described;
  for (const model_rule& rule : read_rules_model(file.get(), utf8)) {
    described.push_back(describe(rule));
  }
  return described;
}

// "HAUS=NOMN(2)@1:1@1:6": word, category, value groups, the places of the
// line and of the category.
std::vector<std::string> entries_of(const std::string& text, bool utf8 = false) {
  const owned_file file = stream_over(text);
  std::vector<std::string> described;
  for (const model_entry& entry : read_entries_model(file.get(), utf8)) {
    described.push_back(entry.word + "=" + entry.category + groups_text(entry.groups) +
                        place(entry.word_at) + place(entry.category_at));
  }
  return described;
}

using lines = std::vector<std::string>;

TEST(ReadRulesModel, ReadsRulesAsTheLoaderDoes) {
  struct row {
    const char* what;
    std::string text;
    lines rules;
  };
  const row rows[] = {
      {"binary rule over two lines, blanks and a label",
       "ADJE GEN()NUM() + NOMN\n  = NBAR GEN(); 1 1 1 : adj noun.",
       {"1 ADJE(2)@1:1 + NOMN@1:19 = NBAR(1)@2:5 ; 1@2:17 1@2:19 1@2:21"}},
      {"unary rule; blanks inside a category are dropped",
       "N OMN GEN() = NPHR;2 1.", {"1 NOMN(1)@1:1 = NPHR@1:15 ; 2@1:20 1@1:22"}},
      {"a part written without subcategory text has none, \"X\" alone zero groups",
       "AAAA + BBBBX = CCCC;.", {"1 AAAA@1:1 + BBBB(0)@1:8 = CCCC@1:16 ;"}},
      {"malformed rules are skipped but keep their numbers; text after the last \".\" is none",
       "AAAA + BBBB;.\n= CCCC;.\nAAAA = BBBB;.\nAAAA + BBBB + CCCC = DDDD;.\nZZZZ = YYYY;",
       {"3 AAAA@3:1 = BBBB@3:8 ;"}},
      {"a comment inside a rule skips the rest of its line only",
       "AAAA $ a comment + = ;\n+ BBBB = CCCC; 1 $ 2\n 3.", {"1 AAAA@1:1 + BBBB@2:3 = CCCC@2:10 ; 1@2:16 3@3:2"}},
      {"separators and \"$\" in the label are label text; \".\" ends it",
       "AAAA = BBBB; 1 2 : a + b = c ; $ d . CCCC = DDDD;.",
       {"1 AAAA@1:1 = BBBB@1:8 ; 1@1:14 2@1:16", "2 CCCC@1:38 = DDDD@1:45 ;"}},
      {"digits of the condition only; CR ignored",
       "AAAA = BBBB;1,a2\r\n0.", {"1 AAAA@1:1 = BBBB@1:8 ; 1@1:13 2@1:16 0@2:1"}},
      {"groups counted by their \"(\"", "AAAA G(1)(2)H() = BBBB (;.",
       {"1 AAAA(3)@1:1 = BBBB(1)@1:19 ;"}},
      {"a comment on the last line, without a line end", "AAAA = BBBB;.\n$ the end",
       {"1 AAAA@1:1 = BBBB@1:8 ;"}},
  };
  for (const row& r : rows) EXPECT_EQ(rules_of(r.text), r.rules) << r.what;
}

TEST(ReadRulesModel, KeepsAtMostTheDigitsAndGroupsTheLoaderKeeps) {
  const std::vector<model_rule> rules = [] {
    const owned_file file =
        stream_over("AAAA " + std::string(300, '(') + " = BBBB; " + std::string(300, '1') + ".");
    return read_rules_model(file.get(), false);
  }();
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0].first().groups, 255);
  EXPECT_EQ(rules[0].condition.size(), 255u);
}

TEST(ReadEntriesModel, ReadsLinesAsTheLoaderDoes) {
  struct row {
    const char* what;
    std::string text;
    lines entries;
  };
  const row rows[] = {
      {"groups, a label, lower case, the umlaut codes upper-cased",
       "haus=NOMN GEN(3)NUM(1,2):label(x)\nm{dchen=NOMN GEN(3)\n",
       {"HAUS=NOMN(2)@1:1@1:6", "M[DCHEN=NOMN(1)@2:1@2:9"}},
      {"no subcategory text: none; a blank: zero groups; \";\" ends the groups",
       "ALT=ADJS\nNEU=ADJS \nX=ABCD (1);(2)\n",
       {"ALT=ADJS@1:1@1:5", "NEU=ADJS(0)@2:1@2:5", "X=ABCD(1)@3:1@3:3"}},
      {"\":\" ends the category early; the four characters after \"=\" include blanks",
       "A=NP:x\nB= NOM(1)\n", {"A=NP@1:1@1:3", "B= NOM(1)@2:1@2:3"}},
      {"comment lines vanish; a \"$\" behind an entry ends it; a last line without line end",
       "$ comment\nA=AAAA $ (1)\nB=BBBB(1)", {"A=AAAA(0)@2:1@2:3", "B=BBBB(1)@3:1@3:3"}},
      {"lines without word, \"=\" or category are skipped; CR ignored",
       "\n=NOMN\nWORD\nA=\r\nB=BBBB\r\n", {"B=BBBB@5:1@5:3"}},
      {"a \"$\" in the label is label text", "A=AAAA:x$y(1)\n", {"A=AAAA@1:1@1:3"}},
      {"an entry before a comment that ends the file is kept", "A=AAAA $ the end",
       {"A=AAAA(0)@1:1@1:3"}},
      {"a comment line that ends the file", "A=AAAA\n$ the end", {"A=AAAA@1:1@1:3"}},
  };
  for (const row& r : rows) EXPECT_EQ(entries_of(r.text), r.entries) << r.what;
}

TEST(GrammarModel, CountsColumnsInCharactersOfUtf8Text) {
  EXPECT_EQ(entries_of("ÄPFEL=NOMN (1)\nGRÖẞE=NOMN\n", true),
            (lines{"[PFEL=NOMN(1)@1:1@1:7", "GR\\^E=NOMN@2:1@2:7"}));
  // Small letters of ISO-8859-1 are upper-cased in a UTF-8 file, but the division sign;
  // the same bytes in an 8-bit file stay as they are.
  EXPECT_EQ(entries_of("\u00e0\u00fe\u00f7=NOMN\n", true), (lines{"\xC0\xDE\xF7=NOMN@1:1@1:5"}));
  EXPECT_EQ(entries_of("\xE0\xFE=NOMN\n"), (lines{"\xE0\xFE=NOMN@1:1@1:4"}));
  // A byte that is no UTF-8 is passed over, as the file's own check reports it.
  EXPECT_EQ(rules_of("ÄÄÄÄ \xff= BBBB; 1.", true), (lines{"1 [[[[@1:1 = BBBB@1:9 ; 1@1:15"}));
}

}  // namespace
