#include "analyser/output/dot_writer.hpp"

#include <gtest/gtest.h>

#include "analyser/output/test_support.hpp"

using namespace test_support;

namespace {

// Inside the graph's strings a quote is escaped and a control character is a
// blank, in categories, rule labels and the title alike; a value set of no
// groups adds no line, and a leaf beyond the words has an empty word.
TEST(DotGraph, QuotesAndControlCharactersInStringsAndSetsWithoutGroups) {
  grammar_fixture f;
  parse_node* a = word_node(f, "A\"1", "x", 1, 1);
  parse_node* b = word_node(f, "B", "(1)()", 2, 2);
  parse_node* satz = rule_node(f, "SATZ", a, b);
  satz->rule = add_rule(f, "C + D = SATZ : sagt \"ja\"\tnein");
  const std::string sentence = "ER \"JA\"\tNEIN ";
  EXPECT_EQ(dot_graph(satz, hand_analysis(f, sentence, 2), "s"),
            "digraph \"s\" {\n"
            "  label=\"s: ER \\\"JA\\\" NEIN\";\n"
            "  labelloc=t;\n"
            "  ordering=out;\n"
            "  node [shape=box, fontname=\"Helvetica\"];\n"
            "  edge [arrowhead=none];\n"
            "  n1 [label=\"SATZ\\nrule 1: sagt \\\"ja\\\" nein\"];\n"
            "  n2 [label=\"A\\\"1\"];\n"
            "  n1 -> n2;\n"
            "  w2 [shape=plaintext, label=\"\"];\n"
            "  n2 -> w2;\n"
            "  n3 [label=\"B\\n(1)()\"];\n"
            "  n1 -> n3;\n"
            "  w3 [shape=plaintext, label=\"\"];\n"
            "  n3 -> w3;\n"
            "  { rank=same; w2; w3; }\n"
            "}\n");
}

}  // namespace
