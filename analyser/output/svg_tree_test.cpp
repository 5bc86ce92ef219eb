#include "analyser/output/svg_tree.hpp"

#include <gtest/gtest.h>

#include "analyser/output/test_support.hpp"

using namespace test_support;

namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Markup characters in categories and labels are escaped in attributes,
// titles and texts; a title names the span, the rule of a rule node, a label
// when there is one, and the values.
TEST(SvgTree, MarkupIsEscapedAndTitlesNameRuleAndLabel) {
  grammar_fixture f;
  parse_node* a = word_node(f, "<&>\"", "(1)", 1, 1);
  a->label = "x&y";
  parse_node* b = word_node(f, "B", "", 2, 2);
  parse_node* satz = rule_node(f, "SATZ", a, b);
  satz->rule = add_rule(f, "C + D = SATZ");
  const std::string sentence = "S ";
  const std::string svg = svg_tree(satz, hand_analysis(f, sentence, 2));
  EXPECT_TRUE(contains(svg, "data-category=\"&lt;&amp;&gt;&quot;\" data-start=\"1\" data-end=\"1\" "
                            "data-rule=\"\" data-label=\"x&amp;y\" data-values=\"[[1]]\">"))
      << svg;
  EXPECT_TRUE(contains(svg, "<title>&lt;&amp;&gt;&quot; 1-1, x&amp;y, values [[1]]</title>")) << svg;
  EXPECT_TRUE(contains(svg, "<title>SATZ 1-2, rule 1, values null</title>")) << svg;
  EXPECT_TRUE(contains(svg, "\">&lt;&amp;&gt;&quot;</text>")) << svg;
  EXPECT_FALSE(contains(svg, "<&>")) << svg;
}

}  // namespace
