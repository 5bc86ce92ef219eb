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

namespace {
// The blocked rules between fragments `i` and `i` + 1 as
// "rule:reason:group/second group:first byte/second byte" rows.
std::vector<std::string> blocked_rows(const sentence_diagnosis& d, std::size_t i) {
  static const char* const kReasons[] = {"first", "second", "condition"};
  std::vector<std::string> rows;
  for (const blocked_rule& b : d.blocked.at(i)) {
    rows.push_back(std::to_string(b.rule->rule_number) + ":" +
                   kReasons[static_cast<int>(b.reason)] + ":" + std::to_string(b.group) + "/" +
                   std::to_string(b.second_group) + ":" + std::to_string(b.first_group_byte) +
                   "/" + std::to_string(b.second_group_byte));
  }
  return rows;
}

struct BlockedRules : ::testing::Test {
  grammar_fixture f;
};

TEST_F(BlockedRules, EachWayOfFailingOnceInTheOrderOfTheNodes) {
  add_rule(f, "DETA (1)(1) + NOMN (1)(1) = NPHR");
  word_node(f, "DETA", "(2)(1)", 1, 1);  // its first group disagrees
  word_node(f, "DETA", "(1)(2)", 1, 1);  // its second group
  word_node(f, "DETA", "(2)(1)", 1, 1);  // as the first: listed once
  word_node(f, "DETA", "(3)(1)", 1, 1);  // the same group, other values
  word_node(f, "DETA", "(1)", 1, 1);     // fewer groups: no group named
  word_node(f, "DETA", "(1)(1)", 1, 1);  // agrees, so the noun's values fail
  word_node(f, "NOMN", "(1)(4)", 2, 2);
  const sentence_diagnosis d = diagnose(f.grammar, f.nodes, 2);
  ASSERT_EQ(d.fragments.size(), 2u);
  EXPECT_EQ(blocked_rows(d, 0), (rows{"1:first:1/0:1/2", "1:first:2/0:1/2", "1:first:1/0:1/4",
                                      "1:first:0/0:255/255", "1:second:2/0:1/8"}));
}

TEST_F(BlockedRules, AConditionWithoutACommonValueBlocksARuleWhoseValuesAgree) {
  add_rule(f, "DETA + NOMN = NPHR; 1 2 1");  // fails: group 1 and group 2 share nothing
  add_rule(f, "DETA + NOMN = NPHX; 1 1 1");  // would join: not blocked
  add_rule(f, "DETA + NOMN = NPHY");         // no condition: would join
  word_node(f, "DETA", "(1)(2)", 1, 1);
  word_node(f, "NOMN", "(1)(2)", 2, 2);
  const sentence_diagnosis d = diagnose(f.grammar, f.nodes, 2);
  EXPECT_EQ(blocked_rows(d, 0), (rows{"1:condition:1/2:1/2"}));
}

TEST_F(BlockedRules, AtMostTheFirstPairsOfConstituentsAreLookedAt) {
  add_rule(f, "DETA (1) + NOMN = NPHR");
  // kMaxPairsLooked pairs agree; the pairs of the last article lie beyond.
  for (int k = 0; k < kMaxPairsLooked / 100; ++k) word_node(f, "DETA", "(1)", 1, 1);
  word_node(f, "DETA", "(2)", 1, 1);
  for (int k = 0; k < 100; ++k) word_node(f, "NOMN", "", 2, 2);
  EXPECT_EQ(blocked_rows(diagnose(f.grammar, f.nodes, 2), 0), rows{});
  // One article fewer, and the last one is looked at.
  grammar_fixture g;
  add_rule(g, "DETA (1) + NOMN = NPHR");
  for (int k = 1; k < kMaxPairsLooked / 100; ++k) word_node(g, "DETA", "(1)", 1, 1);
  word_node(g, "DETA", "(2)", 1, 1);
  for (int k = 0; k < 100; ++k) word_node(g, "NOMN", "", 2, 2);
  EXPECT_EQ(blocked_rows(diagnose(g.grammar, g.nodes, 2), 0), rows{"1:first:1/0:1/2"});
}

TEST_F(BlockedRules, NothingIsBlockedBesideAnUncoveredWord) {
  add_rule(f, "DETA + NOMN = NPHR");
  word_node(f, "DETA", "", 2, 2);
  // Nodes outside the sentence's positions are no fragments.
  word_node(f, "NOMN", "", 0, 0);
  word_node(f, "NOMN", "", 3, 2);
  word_node(f, "NOMN", "", 3, 4);
  const sentence_diagnosis d = diagnose(f.grammar, f.nodes, 3);
  ASSERT_EQ(d.fragments.size(), 3u);
  EXPECT_EQ(d.fragments[1], f.nodes.head);
  EXPECT_EQ(d.uncovered, (std::vector<int>{1, 3}));
  EXPECT_EQ(d.blocked.size(), 2u);
  EXPECT_EQ(blocked_rows(d, 0), rows{});
  EXPECT_EQ(blocked_rows(d, 1), rows{});
  // A sentence without positions has nothing to diagnose.
  const sentence_diagnosis none = diagnose(f.grammar, f.nodes, 0);
  EXPECT_TRUE(none.fragments.empty());
  EXPECT_TRUE(none.missing.empty());
}
}  // namespace
