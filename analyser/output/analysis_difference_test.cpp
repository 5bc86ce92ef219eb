#include "analyser/output/analysis_difference.hpp"

#include <gtest/gtest.h>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

struct AnalysisDifference : ::testing::Test {
  grammar_fixture f;

  // SATZ over the word A and an X over the word B, with the values given.
  parse_node* analysis(const std::string& x_values, const std::string& b_values,
                       const char* b_label = "") {
    parse_node* a = word_node(f, "A", "(1)", 1, 1);
    parse_node* b = word_node(f, "B", b_values, 2, 2);
    b->label = b_label;
    parse_node* x = rule_node(f, "X", b, nullptr);
    if (!x_values.empty()) x->subcat_values = values(f.nodes.storage, x_values);
    return rule_node(f, "SATZ", a, x);
  }
};

TEST_F(AnalysisDifference, FirstConstituentInLineOrderWhoseValuesDiffer) {
  // X (node 3) differs before B (node 4) does.
  const analysis_difference d = first_difference(analysis("(1)", "(2)"), analysis("(2)", "(3)"));
  EXPECT_EQ(d.number, 3);
  EXPECT_TRUE(d.values);
  EXPECT_EQ(category_name(*d.first->category), "X");
  EXPECT_EQ(d.first->subcat_values[1], 0x01);
  EXPECT_EQ(d.second->subcat_values[1], 0x02);
}

TEST_F(AnalysisDifference, NoSetDiffersFromASetAndGroupsCompareAsValues) {
  const analysis_difference d = first_difference(analysis("", "(1)"), analysis("(1)", "(1)"));
  EXPECT_EQ(d.number, 3);
  EXPECT_TRUE(d.values);
  EXPECT_TRUE(same_values(nullptr, nullptr));
  EXPECT_TRUE(same_values(values(f.nodes.storage, "(1,2)"), values(f.nodes.storage, "(2,1)")));
  EXPECT_FALSE(same_values(values(f.nodes.storage, "(1)(2)"), values(f.nodes.storage, "(1)")));
}

TEST_F(AnalysisDifference, RulesAndLabelsWhenTheValuesAgree) {
  parse_node* first = analysis("(1)", "(1)", "eins");
  parse_node* second = analysis("(1)", "(1)", "zwei");
  analysis_difference d = first_difference(first, second);
  EXPECT_EQ(d.number, 4);
  EXPECT_TRUE(d.label);
  EXPECT_FALSE(d.values || d.rule);
  grammar_rule* rule = add_rule(f, "B = X");
  second->right_comp->rule = rule;
  d = first_difference(first, second);
  EXPECT_EQ(d.number, 3);
  EXPECT_TRUE(d.rule);
}

TEST_F(AnalysisDifference, NoneWhenEveryConstituentAgrees) {
  const analysis_difference d = first_difference(analysis("(1)", "(2)"), analysis("(1)", "(2)"));
  EXPECT_EQ(d.number, 0);
  EXPECT_EQ(d.first, nullptr);
}
}  // namespace
