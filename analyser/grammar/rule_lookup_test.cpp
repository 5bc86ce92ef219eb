#include "analyser/grammar/rule_lookup.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/grammar/parse_node.hpp"
#include "analyser/grammar/rules_reader.hpp"
#include "analyser/grammar/test_grammars.hpp"

using namespace test_support;

namespace {

// The rules the scan of the node's initial letter reaches and whose first
// part has the node's category: what the lookup must give.
std::vector<const grammar_rule*> scanned_rules(const grammar_tables& grammar,
                                               const parse_node& node) {
  std::vector<const grammar_rule*> rules;
  for (const grammar_rule* rule = first_rule_for(grammar, node); rule != nullptr;
       rule = next_rule_for(*rule, node)) {
    if (rule->parts[0].category->key == node.category->key) rules.push_back(rule);
  }
  return rules;
}

std::vector<const grammar_rule*> looked_up(const rule_lookup& lookup, const parse_node& node) {
  const auto rules = lookup.rules_for(*node.category);
  return {rules.begin(), rules.end()};
}

// Random grammars with rules out of letter order now and then; every
// category of the pool is looked up, those without rules and without index
// slot included.
class lookup_cases : public random_grammar {
 public:
  explicit lookup_cases(unsigned seed) : random_grammar(seed, grammar_shape{}) {}
  std::vector<std::string> next_rules() {
    pick_categories();
    std::vector<std::string> rules;
    const int count = pick(0, 12);
    for (int i = 0; i < count; ++i) rules.push_back(rule());
    if (pick(0, 3) != 0) sort_by_initial(rules);
    return rules;
  }
};

TEST(RuleLookup, GivesTheRulesOfTheLetterScanWithTheNodesCategory) {
  const char* const names[] = {"AAAA", "ABCD", "AXYZ", "BBBB", "BACK", "CCCC",
                               "SSSS", "^UML", "aaaa", "A",    "",     "AAAAX"};
  lookup_cases cases(4242);
  int nonempty = 0;
  for (int i = 0; i < 2000; ++i) {
    grammar_fixture state;
    for (const std::string& rule : cases.next_rules()) add_rule(state, rule);
    rule_lookup lookup;
    lookup.build(state.grammar);
    ASSERT_TRUE(lookup.is_current_for(state.grammar));
    for (const char* name : names) {
      const parse_node* node = word_node(state, name, "", 1, 1);
      const auto expected = scanned_rules(state.grammar, *node);
      ASSERT_EQ(looked_up(lookup, *node), expected) << "case " << i << ", " << name;
      nonempty += expected.empty() ? 0 : 1;
    }
  }
  EXPECT_GT(nonempty, 2000);
}

TEST(RuleLookup, StaleOnceARuleIsAdded) {
  grammar_fixture state;
  rule_lookup lookup;
  EXPECT_TRUE(lookup.is_current_for(state.grammar));  // no rules, none looked up
  const parse_node* a = word_node(state, "AAAA", "", 1, 1);
  EXPECT_TRUE(lookup.rules_for(*a->category).empty());
  const grammar_rule* first = add_rule(state, "AAAA = BBBB");
  EXPECT_FALSE(lookup.is_current_for(state.grammar));
  // A stale grammar lookup is replaced by one built over the rules now.
  rule_lookup own;
  const rule_lookup& current = current_rule_lookup(state.grammar, own);
  EXPECT_EQ(&current, &own);
  EXPECT_EQ(looked_up(current, *a), std::vector<const grammar_rule*>{first});
  state.grammar.first_rules.build(state.grammar);
  EXPECT_EQ(&current_rule_lookup(state.grammar, own), &state.grammar.first_rules);
}

TEST(RuleLookup, BuiltByTheRulesReader) {
  grammar_fixture state;
  memory_input file("AAAA + BBBB = CCCC;. BBBB = CCCC;. AAAA = DDDD;. CCCC = AAAA;.\n");
  read_rules(state.grammar, state.lexicon.categories, file.file(), state.log());
  ASSERT_TRUE(state.grammar.first_rules.is_current_for(state.grammar));
  const parse_node* a = word_node(state, "AAAA", "", 1, 1);
  const parse_node* c = word_node(state, "CCCC", "", 1, 1);
  const grammar_rule* rule1 = state.grammar.rule_list;
  // The scan of A ends at the B rule: rule 3 is never tried.
  EXPECT_EQ(looked_up(state.grammar.first_rules, *a), std::vector<const grammar_rule*>{rule1});
  EXPECT_EQ(looked_up(state.grammar.first_rules, *c),
            std::vector<const grammar_rule*>{state.grammar.rule_tail});
}

}  // namespace
