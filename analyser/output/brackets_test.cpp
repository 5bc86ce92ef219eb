#include "analyser/output/brackets.hpp"

#include <gtest/gtest.h>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

class Brackets : public ::testing::Test {
 protected:
  Brackets() : output(state) {}

  // The worked example: SATZ over B and the word E, B over the words C and D.
  parse_node* worked_example() {
    parse_node* c = word_node(state, "C", "(1)", 1, 1);
    parse_node* d = word_node(state, "D", "", 2, 2);
    parse_node* e = word_node(state, "E", "(2,3)", 3, 3);
    parse_node* b = rule_node(state, "B", c, d);
    return rule_node(state, "SATZ", b, e);
  }

  std::string brackets_of(const parse_node* node) {
    bracket_output result;
    draw_brackets(node, false, state.log(), result);
    return result.bracket_text;
  }

  grammar_fixture state;
  fixture_output output;
};

TEST_F(Brackets, WorkedExample) {
  parse_node* satz = worked_example();
  EXPECT_EQ(brackets_of(satz), "SATZ(B(C D)E)");
  const bracket_output numbered = bracket_line(satz, true, state.log());
  EXPECT_EQ(numbered.bracket_text, "<SATZ:1(B:2(C:3 D:4)E:5)>");
  print_numbered_subcats(state.out, numbered);
  EXPECT_EQ(output.text(), ":1 \n:2 \n:3  (1)\n:4 \n:5  (3,2)\n");
}

TEST_F(Brackets, WordsBesideTheWordCategories) {
  parse_node* satz = worked_example();
  const std::vector<std::string_view> words = {"", "DER", "HUND", "BELLT"};
  EXPECT_EQ(bracket_line_with_words(satz, false, words), "<SATZ(B(C=DER D=HUND)E=BELLT)>");
  // The number stays with its category: ":k" before "=", so a word of digits is no number.
  const std::vector<std::string_view> digits = {"", "3", "(", "E=1"};
  EXPECT_EQ(bracket_line_with_words(satz, true, digits), "<SATZ:1(B:2(C:3=3 D:4=()E:5=E=1)>");
  const bracket_output plain = bracket_line(satz, true, state.log());
  EXPECT_EQ(leaf_words(plain, words), (std::vector<std::string_view>{"DER", "HUND", "BELLT"}));
  // A position beyond the words has none.
  EXPECT_EQ(bracket_line_with_words(satz, false, {"", "X"}), "<SATZ(B(C=X D)E)>");
  EXPECT_EQ(leaf_words(plain, {"", "X"}), (std::vector<std::string_view>{"X", "", ""}));
}

TEST_F(Brackets, SeparatorBetweenComponents) {
  parse_node* a = word_node(state, "A", "", 1, 1);
  parse_node* b = word_node(state, "B", "", 2, 2);
  parse_node* c = word_node(state, "C", "", 3, 3);
  EXPECT_EQ(brackets_of(rule_node(state, "U", a, nullptr)), "U(A)");
  EXPECT_EQ(brackets_of(rule_node(state, "X", a, rule_node(state, "Y", b, c))), "X(A Y(B C))");
  EXPECT_EQ(brackets_of(rule_node(state, "X", rule_node(state, "Y", a, b), c)), "X(Y(A B)C)");
  EXPECT_EQ(brackets_of(rule_node(state, "X", rule_node(state, "U", a, nullptr), b)), "X(U(A)B)");
}

TEST_F(Brackets, FindAxiomNode) {
  struct row {
    const char* category;
    int start;
    int end;
    bool found;
  } rows[] = {
      {"SATZ", 1, 3, true},  {"SATZX", 1, 3, true},  // a longer name beginning with it
      {"SAT", 1, 3, false},  {"satz", 1, 3, false},  // shorter; other letter case
      {"SATZ", 2, 3, false}, {"SATZ", 1, 2, false},  // not the whole sentence
  };
  const analysis_target target{byte_data("SATZ"), 4, 3};
  for (const row& r : rows) {
    grammar_fixture fresh;
    parse_node* node = word_node(fresh, r.category, "", r.start, r.end);
    EXPECT_EQ(find_axiom_node(fresh.nodes.head, target) == node, r.found) << r.category;
  }
}

// A left-branching analysis of n words: far more than 1000 bytes of text and
// 128 numbered nodes at n = 200.
parse_node* left_branching(grammar_fixture& state, int n, std::string& expected) {
  parse_node* top = word_node(state, "WORT", "", 1, 1);
  expected = "WORT";
  for (int k = 2; k <= n; ++k) {
    top = rule_node(state, "SATZ", top, word_node(state, "WORT", "", k, k));
    expected = "SATZ(" + expected + (expected.back() == ')' ? "" : " ") + "WORT)";
  }
  return top;
}

TEST_F(Brackets, LargeAnalysisIsPrintedWhole) {
  for (int n : {1, 2, 64, 65, 200}) {
    grammar_fixture fresh;
    std::string expected;
    parse_node* top = left_branching(fresh, n, expected);
    EXPECT_EQ(brackets_of(top), expected) << n;
  }
  std::string expected;
  parse_node* top = left_branching(state, 200, expected);
  ASSERT_GT(expected.size(), 1000u);
  const bracket_output numbered = bracket_line(top, true, state.log());
  EXPECT_EQ(numbered.bracket_text.substr(numbered.bracket_text.size() - 10), "WORT:399)>");
  print_numbered_subcats(state.out, numbered);
  std::string text = output.text();
  EXPECT_NE(text.find("\n:399 \n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 6), ":399 \n");
  EXPECT_EQ(top->seg_end, 200);
}

TEST_F(Brackets, DeepUnaryChainDoesNotExhaustTheStack) {
  constexpr int kDepth = 200000;
  parse_node* top = word_node(state, "WORT", "", 1, 1);
  for (int k = 0; k < kDepth; ++k) top = rule_node(state, "U", top, nullptr);
  std::string text = brackets_of(top);
  EXPECT_EQ(text.size(), 2u * kDepth + kDepth + 4);
  EXPECT_EQ(text.substr(0, 6), "U(U(U(");
  EXPECT_EQ(text.substr(kDepth * 2, 8), "WORT))))");
}

}  // namespace
