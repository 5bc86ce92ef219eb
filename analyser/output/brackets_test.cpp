#include "analyser/output/brackets.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

class Brackets : public ::testing::Test {
 protected:
  Brackets() : output(state) {
    prepare_result_output(state);
    std::strcpy(reinterpret_cast<char*>(state.sentence_buffer), "C D E ");
  }

  // The worked example: SATZ over B and the word E, B over the words C and D.
  parse_node* worked_example() {
    parse_node* c = word_node(state, "C", "(1)", 1, 1);
    parse_node* d = word_node(state, "D", "", 2, 2);
    parse_node* e = word_node(state, "E", "(2,3)", 3, 3);
    parse_node* b = rule_node(state, "B", c, d);
    state.word_count = 3;
    return rule_node(state, "SATZ", b, e);
  }

  std::string brackets_of(const parse_node* node) {
    bracket_output result;
    draw_brackets(state, node, result);
    return result.bracket_text;
  }

  AnalyserState state;
  captured_output output;
};

TEST_F(Brackets, WorkedExample) {
  parse_node* satz = worked_example();
  EXPECT_EQ(brackets_of(satz), "SATZ(B(C D)E)");
  state.output_flags = OUT_SUBCAT;
  bracket_output numbered;
  draw_brackets(state, satz, numbered);
  EXPECT_EQ(numbered.bracket_text, "SATZ:1(B:2(C:3 D:4)E:5)");
  print_numbered_subcats(state, numbered);
  EXPECT_EQ(output.text(), ":1 \n:2 \n:3  (1)\n:4 \n:5  (3,2)\n");
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
  for (const row& r : rows) {
    AnalyserState fresh;
    fresh.word_count = 3;
    parse_node* node = word_node(fresh, r.category, "", r.start, r.end);
    EXPECT_EQ(find_axiom_node(fresh, fresh.node_list, "SATZ") == node, r.found) << r.category;
  }
}

TEST_F(Brackets, PrintResultsOneWord) {
  word_node(state, "SATZ", "", 1, 1);
  state.word_count = 1;
  print_results(state);
  EXPECT_EQ(output.text(), "Analyse: <SATZ>\n");
}

TEST_F(Brackets, PrintResultsOneWordWithSubcat) {
  word_node(state, "SATZ", "(4)", 1, 1);
  state.word_count = 1;
  state.output_flags = OUT_SUBCAT;
  print_results(state);
  EXPECT_EQ(output.text(), "Analyse: <SATZ:1>\n:1  (4)\n");
}

TEST_F(Brackets, PrintResultsInTheOrderListingTreeTable) {
  worked_example();
  state.output_flags = OUT_SUBCAT | OUT_TREE | OUT_LIST;
  print_results(state);
  std::string text = without_identities(output.text());
  const std::string expected_start =
      "Analyse: <SATZ:1(B:2(C:3 D:4)E:5)>\n"
      ":1 \n:2 \n:3  (1)\n:4 \n:5  (3,2)\n"
      "SATZ_____________       \n"
      "|               |       \n"
      "|               |       \n"
      "B:2 _____       E:5     \n"
      "|       |               \n"
      "|       |               \n"
      "C:3     D:4             \n"
      "C D E \n";
  EXPECT_EQ(text.substr(0, expected_start.size()), expected_start);
  const std::string last_row = "PTR SATZ PTR PTR   -1      1 -  3 # \n";
  EXPECT_EQ(text.substr(text.size() - last_row.size()), last_row);
}

TEST_F(Brackets, NoAnalysisPrintsMessageTenAndTheTable) {
  word_node(state, "SATZ", "", 1, 2);
  state.word_count = 3;
  print_results(state);
  EXPECT_EQ(without_identities(output.text()),
            "keine Analyse\nC D E \n"
            "      Kat.                 Rnu.  LK   RK #   UKW\n"
            "-------------------------------------------------\n"
            "PTR SATZ PTR PTR   -1      1 -  2 # \n");
}

TEST_F(Brackets, ConsoleModeWaitsAfterTheResults) {
  captured_output console(state, "x\ny\n");
  state.console_input = 1;
  word_node(state, "NOPE", "", 1, 1);
  state.word_count = 1;
  print_results(state);
  EXPECT_NE(console.text().find("# \n<weiter>"), std::string::npos);
  EXPECT_EQ(console.console_left(), 2);
}

// A left-branching analysis of n words: far more than 1000 bytes of text and
// 128 numbered nodes at n = 200.
parse_node* left_branching(AnalyserState& state, int n, std::string& expected) {
  parse_node* top = word_node(state, "WORT", "", 1, 1);
  expected = "WORT";
  for (int k = 2; k <= n; ++k) {
    top = rule_node(state, "SATZ", top, word_node(state, "WORT", "", k, k));
    expected = "SATZ(" + expected + (expected.back() == ')' ? "" : " ") + "WORT)";
  }
  state.word_count = n;
  return top;
}

TEST_F(Brackets, LargeAnalysisIsPrintedWhole) {
  for (int n : {1, 2, 64, 65, 200}) {
    AnalyserState fresh;
    std::string expected;
    parse_node* top = left_branching(fresh, n, expected);
    EXPECT_EQ(brackets_of(top), expected) << n;
  }
  std::string expected;
  parse_node* top = left_branching(state, 200, expected);
  ASSERT_GT(expected.size(), 1000u);
  state.output_flags = OUT_SUBCAT;
  print_results(state);
  std::string text = output.text();
  EXPECT_NE(text.find("WORT:399)>\n"), std::string::npos);
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
