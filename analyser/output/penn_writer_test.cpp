#include "analyser/output/penn_writer.hpp"

#include <gtest/gtest.h>

#include "analyser/output/test_support.hpp"

using namespace test_support;

namespace {

// A bracket reader takes every label and leaf as one token: parentheses
// become -LRB- and -RRB-, blanks "_", a missing word -NONE-; with values the
// groups follow the category, "*" for all values, nothing for a set of no
// groups.
TEST(PennTree, LabelsAndLeavesStayOneTokenEach) {
  grammar_fixture f;
  parse_node* a = word_node(f, "A(B", "(1,2)()", 1, 1);
  parse_node* b = word_node(f, "C)D", "x", 2, 2);
  parse_node* c = word_node(f, "E F", "", 3, 3);
  parse_node* satz = rule_node(f, "SATZ", a, rule_node(f, "X", b, c));
  const std::string sentence = "S ";
  const sentence_analysis analysis = hand_analysis(f, sentence, 3);
  EXPECT_EQ(penn_tree(satz, analysis, true),
            "(SATZ (A-LRB-B[1,2][*] -NONE-) (X (C-RRB-D -NONE-) (E_F -NONE-)))");
  EXPECT_EQ(penn_tree(satz, analysis, false),
            "(SATZ (A-LRB-B -NONE-) (X (C-RRB-D -NONE-) (E_F -NONE-)))");
}

}  // namespace
