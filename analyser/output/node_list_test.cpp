#include "analyser/output/node_list.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

const char kHeading[] =
    "      Kat.                 Rnu.  LK   RK #   UKW\n"
    "-------------------------------------------------\n";

TEST(PrintSubcatValues, GroupsFromHighestToLowestValue) {
  struct row {
    const char* text;  // subcategory text; "-" for no set
    const char* printed;
  } rows[] = {
      {"-", ""},
      {" ", ""},  // no groups
      {"(1)", " (1)"},
      {"(1,3,8)", " (8,3,1)"},
      {"()", " ()"},          // all values
      {"( )", " ()"},         // no value
      {"(12345678)", " ()"},  // all eight written out: 0xFF
      {"(1234567)", " (7,6,5,4,3,2,1)"},
      {"(3)(1,2)()", " (3) (2,1) ()"},
  };
  for (const row& r : rows) {
    captured_output output;
    arena storage;
    print_subcat_values(output.file(),
                        std::strcmp(r.text, "-") == 0 ? nullptr : values(storage, r.text));
    EXPECT_EQ(output.text(), r.printed) << r.text;
  }
}

TEST(PrintSubcatValues, WorkedExample) {
  captured_output output;
  const unsigned char set[] = {2, 0x85, 0xFF};
  print_subcat_values(output.file(), set);
  EXPECT_EQ(output.text(), " (8,3,1) ()");
}

TEST(PrintNodeList, RowsInTheOrderTheNodesWereMade) {
  grammar_fixture state;
  fixture_output output(state);
  grammar_rule* rule = nullptr;
  for (int i = 0; i < 12; ++i) rule = add_rule(state, "DETX + NOMN = NPHR (); 1 1 1");
  parse_node* det = word_node(state, "DETX", "(1,2)", 1, 1);
  parse_node* noun = word_node(state, "VERBUM", "(2)", 2, 2);
  unsigned char made[] = {1, 0x02};
  keep_node(state.nodes, rule->parts[2].category, made, det, noun, rule, 1, 2, "");
  parse_node* unary = word_node(state, "NP", "", 10, 12);
  unary->left_comp = det;
  print_node_list(state.log(), byte_data("DER HUND "), state.nodes.head);
  char expected[1024];
  std::snprintf(expected, sizeof expected,
                "DER HUND \n%s"
                "%p DETX (nil) (nil)   -1      1 -  1 #  (2,1)\n"
                "%p VERB (nil) (nil)   -1      2 -  2 #  (2)\n"
                "%p NPHR %p %p   12      1 -  2 #  (2)\n"
                "%p NP   %p (nil)   -1     10 - 12 # \n",
                kHeading, static_cast<void*>(det), static_cast<void*>(noun),
                static_cast<void*>(noun->next), static_cast<void*>(det), static_cast<void*>(noun),
                static_cast<void*>(unary), static_cast<void*>(det));
  EXPECT_EQ(output.text(), expected);
}

TEST(PrintNodeList, EmptyChainPrintsTheHeadingOnly) {
  captured_output output;
  print_node_list({output.file()}, byte_data(" "), nullptr);
  EXPECT_EQ(output.text(), std::string(" \n") + kHeading);
}

TEST(PrintNodeList, WideNumbersWidenTheirColumns) {
  grammar_fixture state;
  fixture_output output(state);
  word_node(state, "ABCD", "", 100, 12345);
  print_node_list(state.log(), byte_data(""), state.nodes.head);
  EXPECT_EQ(without_identities(output.text()),
            std::string("\n") + kHeading + "PTR ABCD PTR PTR   -1     100 - 12345 # \n");
}

}  // namespace
