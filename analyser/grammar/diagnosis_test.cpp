#include "analyser/grammar/diagnosis.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

// The missing parts of a diagnosis as "fragment:rule:part:position" rows.
std::vector<std::string> missing_rows(const sentence_diagnosis& d) {
  std::vector<std::string> rows;
  for (const missing_part& m : d.missing) {
    rows.push_back(std::to_string(m.fragment) + ":" + std::to_string(m.rule->rule_number) + ":" +
                   (m.part == kSecondPart ? "second" : "first") + ":" +
                   std::to_string(m.position));
  }
  return rows;
}

using rows = std::vector<std::string>;

struct MissingParts : ::testing::Test {
  grammar_fixture f;
};

TEST_F(MissingParts, EachFragmentWithTheNeighboursItsRulesLack) {
  add_rule(f, "DETA + NOMN = NPHR");
  add_rule(f, "NPHR + VKPX = SATZ");
  add_rule(f, "VERB + NPHR = VKPX");
  parse_node* der = word_node(f, "DETA", "", 1, 1);
  parse_node* hund = word_node(f, "NOMN", "", 2, 2);
  word_node(f, "VERB", "", 3, 3);
  rule_node(f, "NPHR", der, hund);
  const sentence_diagnosis d = diagnose(f.grammar, f.nodes, 3);
  ASSERT_EQ(d.fragments.size(), 2u);
  // The NP lacks a VKPX behind it and a VERB before it; the verb an NP behind
  // it, beyond the sentence's last word.
  EXPECT_EQ(missing_rows(d), (rows{"0:2:second:3", "0:3:first:0", "1:3:second:4"}));
}

TEST_F(MissingParts, ANodeOfTheCategoryIsNoMissingPartWhateverItsValues) {
  // The VERB at word 2 does not agree with the rule's first part: that is a
  // question of values, not of a missing neighbour.
  add_rule(f, "NPHR + VERB (1) = SATZ");
  word_node(f, "NPHR", "", 1, 1);
  word_node(f, "VERB", "(2)", 2, 2);
  const sentence_diagnosis d = diagnose(f.grammar, f.nodes, 2);
  EXPECT_EQ(missing_rows(d), rows{});
}

TEST_F(MissingParts, OnlyRulesThatTakeTheFragmentAndThatTheParserTries) {
  add_rule(f, "NPHR (1) + VERB = SATZ");  // its part disagrees with the fragment
  add_rule(f, "VERB + NPHR = SATZ");
  add_rule(f, "ADJE = NPHR");             // unary: extends nothing
  add_rule(f, "BBBB + CCCC = DDDD");
  add_rule(f, "ADJE + NPHR = NBAR");      // behind a rule of a greater initial: never tried
  word_node(f, "NPHR", "(2)", 1, 1);
  const sentence_diagnosis d = diagnose(f.grammar, f.nodes, 2);
  ASSERT_EQ(d.fragments.size(), 2u);
  ASSERT_EQ(d.fragments[1], nullptr);
  EXPECT_EQ(missing_rows(d), (rows{"0:2:first:0"}));
}
}  // namespace
