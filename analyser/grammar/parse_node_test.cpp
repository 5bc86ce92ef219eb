#include "analyser/grammar/parse_node.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

std::string value_bytes(const subcat_value_set* set) {
  if (set == nullptr) return "none";
  std::string text = std::to_string(set[0]) + ":";
  for (int i = 1; i <= set[0]; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", set[i]);
    text += hex;
  }
  return text;
}

TEST(PartMatches, ComparesTheFirstFourCharactersWithShortNamesFilledWithBlanks) {
  struct row {
    const char* rule_category;
    const char* node_category;
    bool matches;
  } rows[] = {
      {"NOMN", "NOMN", true},  {"NOMN", "NOMNX", true}, {"NOMNA", "NOMNB", true},
      {"NOMN", "NOMA", false}, {"NP", "NP", true},      {"NP", "NPRO", false},
      {"NPRO", "NP", false},   {"N", "N", true},        {"nomn", "NOMN", false},
  };
  for (const row& r : rows) {
    grammar_fixture state;
    // Two separate entries even where one name begins the other.
    auto* rule_cat = state.grammar.storage.make<category_entry>();
    rule_cat->name = reinterpret_cast<const unsigned char*>(r.rule_category);
    rule_cat->name_length = static_cast<int>(std::strlen(r.rule_category));
    rule_cat->key = category_key_of(rule_cat->name, rule_cat->name_length);
    grammar_rule rule{};
    rule.parts[0] = {rule_cat, nullptr};
    parse_node* node = word_node(state, r.node_category, "", 1, 1);
    EXPECT_EQ(part_matches(rule, *node, 1), r.matches) << r.rule_category << " " << r.node_category;
  }
}

TEST(SubcatAgree, AgreementOfRulePartAndNode) {
  struct row {
    const char* rule_values;  // "-" for no value set
    const char* node_values;
    bool agree;
  } rows[] = {
      {"-", "(3)", true},              // no set on the rule side
      {"(1)", "-", true},              // no set on the node side
      {"(1,2)", "(2,5)", true},        // shared value 2
      {"(1,2)", "(3)", false},         // nothing shared
      {"(1)(2)", "(1)(2)(3)", false},  // group counts differ
      {"(1)(2)", "(1)(2)", true},      // every group shares
      {"(1)(2)", "(1)(3)", false},     // second group shares nothing
      {"()", "(3)", true},             // all values against one value
      {"()", "( )", false},            // all values against a group of none
      {" ", " ", true},                // both sets without groups
      {" ", "(1)", false},             // 0 groups against 1
  };
  for (const row& r : rows) {
    grammar_fixture state;
    grammar_rule rule{};
    rule.parts[1] = {category(state, "NOMN"),
                     std::string(r.rule_values) == "-" ? nullptr
                                                     : values(state.grammar.storage, r.rule_values)};
    std::string node_values = std::string(r.node_values) == "-" ? "" : r.node_values;
    parse_node* node = word_node(state, "NOMN", node_values, 1, 1);
    EXPECT_EQ(subcat_agree(rule, *node, 2), r.agree) << r.rule_values << " / " << r.node_values;
    EXPECT_EQ(part_matches(rule, *node, 2), r.agree);
  }
}

TEST(SubcatGroup, GroupZeroAndMissingGroupsHoldAllValues) {
  grammar_fixture state;
  parse_node* node = word_node(state, "NOMN", "(3)(1,2)", 1, 1);
  parse_node* bare = word_node(state, "NOMN", "", 1, 1);
  EXPECT_EQ(subcat_group(*node, 0), 0xFF);
  EXPECT_EQ(subcat_group(*node, 1), 0x04);
  EXPECT_EQ(subcat_group(*node, 2), 0x03);
  EXPECT_EQ(subcat_group(*node, 3), 0xFF);
  EXPECT_EQ(subcat_group(*node, 9), 0xFF);
  EXPECT_EQ(subcat_group(*bare, 1), 0xFF);
}

struct condition_case {
  const char* rule;
  const char* left_values;
  const char* right_values;  // nullptr: unary rule
  bool applies;
  const char* scratch;  // count and groups left in subcat_scratch
};

TEST(ApplyCondition, ConditionTriplesAndPairs) {
  const condition_case cases[] = {
      // Shared values replace the result group.
      {"DETX (1) + NOUX = NPHR (); 1 1 1", "(1,2)", "(2,3)", true, "1: 02"},
      {"DETX (1) + NOUX = NPHR (); 1 1 1", "(1)", "(3)", false, "1: FF"},
      // Digit 0 on the component side stands for all values.
      {"DETX + NOUX = NPHR (); 0 2 1", "(1)", "(8)(5,6)", true, "1: 30"},
      {"DETX + NOUX = NPHR (); 2 0 1", "(1)(7)", "(8)", true, "1: 40"},
      // Digit 0 on the result side stores nothing, but the groups must agree.
      {"DETX + NOUX = NPHR (4); 1 1 0", "(1,2)", "(2)", true, "1: 08"},
      {"DETX + NOUX = NPHR (4); 1 1 0", "(1)", "(2)", false, "1: 08"},
      // Two triples; the second fails.
      {"DETX + NOUX = NPHR ()(); 1 1 1 2 2 2", "(1)(3)", "(1)(4)", false, "2: 01 FF"},
      {"DETX + NOUX = NPHR ()(); 1 1 1 2 2 2", "(1)(3)", "(1)(3,4)", true, "2: 01 04"},
      // A result group beyond the result part's groups is not carried.
      {"DETX + NOUX = NPHR (); 1 1 2", "(1)", "(1)", true, "1: FF"},
      // Without a result value set the node gets none.
      {"DETX + NOUX = NPHR; 1 1 1", "(1)", "(1)", true, "0:"},
      // No condition: the result part as written.
      {"DETX + NOUX = NPHR (3)(1,2)", "(1)", "(5)", true, "2: 04 03"},
      // An incomplete last triple must agree but stores nothing.
      {"DETX + NOUX = NPHR (); 1 1", "(1)", "(2)", false, "1: FF"},
      {"DETX + NOUX = NPHR (); 1 1", "(1)", "(1)", true, "1: FF"},
      // A final single digit is ignored.
      {"DETX + NOUX = NPHR (); 1 1 1 2", "(1)", "(1)", true, "1: 01"},
      // A component without the named group constrains nothing.
      {"DETX + NOUX = NPHR (); 3 1 1", "(1)", "(2)", true, "1: 02"},
      {"DETX + NOUX = NPHR (); 1 1 1", "", "(2)", true, "1: 02"},
      // Unary pairs only copy, an empty group included; they never fail.
      {"NOUX = NPHR ()(); 1 2", "(6)", nullptr, true, "2: FF 20"},
      {"NOUX = NPHR (); 1 1", "( )", nullptr, true, "1: 00"},
      {"NOUX = NPHR ()(); 0 1 2 2", "(6)(7)", nullptr, true, "2: FF 40"},
      {"NOUX = NPHR (); 1 1 2", "(6)", nullptr, true, "1: 20"},
  };
  for (const condition_case& c : cases) {
    grammar_fixture state;
    grammar_rule* rule = add_rule(state, c.rule);
    parse_node* left = word_node(state, "DETX", c.left_values, 1, 1);
    parse_node* right = c.right_values ? word_node(state, "NOUX", c.right_values, 2, 2) : nullptr;
    unsigned char scratch[kMaxGroups + 1];
    std::memset(scratch, 0xEE, sizeof scratch);
    EXPECT_EQ(apply_condition(*rule, *left, right, scratch), c.applies) << c.rule;
    EXPECT_EQ(value_bytes(scratch), c.scratch) << c.rule;
  }
}

TEST(KeepNode, AppendsInOrderAndKeepsTheTail) {
  grammar_fixture state;
  parse_node* a = word_node(state, "AAAA", "", 1, 1);
  parse_node* b = word_node(state, "BBBB", "", 2, 2);
  parse_node* c = rule_node(state, "CCCC", a, b);
  EXPECT_EQ(state.nodes.head, a);
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->next, c);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(state.nodes.tail, c);
  EXPECT_EQ(c->seg_start, 1);
  EXPECT_EQ(c->seg_end, 2);
  EXPECT_EQ(state.nodes.count, 3);
}

TEST(KeepNode, StopsAtTheNodeLimit) {
  grammar_fixture state;
  state.nodes.limit = 3;
  for (int i = 1; i <= 3; ++i) EXPECT_NE(word_node(state, "AAAA", "", i, i), nullptr);
  EXPECT_EQ(word_node(state, "AAAA", "", 4, 4), nullptr);
  EXPECT_EQ(list_length(state), 3);
  EXPECT_EQ(state.nodes.count, 3);
  state.nodes.clear();
  EXPECT_EQ(state.nodes.head, nullptr);
  EXPECT_NE(word_node(state, "AAAA", "", 1, 1), nullptr);
}

TEST(KeepNode, NoMemoryEndsTheProgram) {
  grammar_fixture state;
  category_entry* cat = category(state, "AAAA");
  state.nodes.storage.set_limit(1);
  EXPECT_EQ(fatal_text_of(
                [&] { keep_node(state.nodes, cat, nullptr, nullptr, nullptr, nullptr, 1, 1, ""); }),
            "keep_node: malloc Fehler");
}

TEST(NodeExists, SameRuleAndSameComponentsOnly) {
  grammar_fixture state;
  grammar_rule* r1 = add_rule(state, "AAAA + BBBB = CCCC");
  grammar_rule* r2 = add_rule(state, "AAAA + BBBB = DDDD");
  parse_node* a = word_node(state, "AAAA", "", 1, 1);
  parse_node* b1 = word_node(state, "BBBB", "", 2, 2);
  parse_node* b2 = word_node(state, "BBBB", "(1)", 2, 2);
  keep_node(state.nodes, r1->parts[2].category, nullptr, a, b1, r1, 1, 2, "");
  keep_node(state.nodes, r1->parts[2].category, nullptr, a, nullptr, r1, 1, 1, "");
  EXPECT_TRUE(node_exists(state.nodes, r1, a, b1));
  EXPECT_FALSE(node_exists(state.nodes, r1, a, b2));
  EXPECT_FALSE(node_exists(state.nodes, r2, a, b1));
  EXPECT_TRUE(node_exists(state.nodes, r1, a, nullptr));
  EXPECT_FALSE(node_exists(state.nodes, r1, b1, nullptr));
  EXPECT_FALSE(node_exists(state.nodes, r2, nullptr, nullptr));
}

TEST(MakeNode, MakesEachCombinationOnceWithTheScratchValues) {
  grammar_fixture state;
  grammar_rule* rule = add_rule(state, "AAAA (1) + BBBB = CCCC (); 1 1 1 : the label");
  parse_node* a = word_node(state, "AAAA", "(1,2)", 1, 1);
  parse_node* b = word_node(state, "BBBB", "(2,3)", 2, 3);
  parse_work work{state.grammar, state.nodes, state.log()};
  ASSERT_TRUE(apply_condition(*rule, *a, b, work.subcat_scratch));
  make_node(work, {rule, a, b, 1, 3});
  make_node(work, {rule, a, b, 1, 3});
  EXPECT_EQ(work.new_node_count, 1);
  ASSERT_EQ(list_length(state), 3);
  parse_node* made = state.nodes.tail;
  EXPECT_EQ(made->category, rule->parts[2].category);
  EXPECT_EQ(value_bytes(made->subcat_values), "1: 02");
  EXPECT_NE(made->subcat_values, work.subcat_scratch);
  EXPECT_STREQ(made->label, "the label");
  EXPECT_EQ(made->rule, rule);
  EXPECT_EQ(made->left_comp, a);
  EXPECT_EQ(made->right_comp, b);
  EXPECT_EQ(made->seg_start, 1);
  EXPECT_EQ(made->seg_end, 3);
}

TEST(MakeNode, NoMemoryForTheValueSetEndsTheProgram) {
  grammar_fixture state;
  grammar_rule* rule = add_rule(state, "AAAA = CCCC (1)");
  parse_node left{};
  left.category = rule->parts[0].category;
  state.nodes.storage.set_limit(1);
  parse_work work{state.grammar, state.nodes, state.log()};
  apply_condition(*rule, left, nullptr, work.subcat_scratch);
  EXPECT_EQ(fatal_text_of([&] { make_node(work, {rule, &left, nullptr, 1, 1}); }),
            "make_node: malloc Fehler");
}

// How make_new_node stopped the parse, or "made" when it did not; a node is
// returned exactly when one was made.
std::string stop_of(parse_work& work, const candidate& c) {
  const parse_node* tail = work.nodes.tail;
  const parse_node* made = make_new_node(work, c);
  if (made != (work.nodes.tail != tail ? work.nodes.tail : nullptr)) return "wrong node returned";
  switch (work.stopped) {
    case parse_end::complete:
      return "made";
    case parse_end::node_limit:
      return "node limit";
    case parse_end::first_analysis:
      return "first analysis";
    case parse_end::timeout:
      return "timeout";
  }
  return "";
}

TEST(MakeNewNode, MakesWithoutSearchingAndStopsAtTheLimit) {
  grammar_fixture state;
  grammar_rule* rule = add_rule(state, "AAAA = CCCC");
  parse_node* a = word_node(state, "AAAA", "", 1, 1);
  parse_work work{state.grammar, state.nodes, state.log()};
  apply_condition(*rule, *a, nullptr, work.subcat_scratch);
  parse_node* first = make_new_node(work, {rule, a, nullptr, 1, 1});
  EXPECT_EQ(first, state.nodes.tail);
  EXPECT_EQ(first->left_comp, a);
  // The caller promises not to repeat a combination; nothing checks it.
  EXPECT_EQ(stop_of(work, {rule, a, nullptr, 1, 1}), "made");
  state.nodes.limit = 3;
  EXPECT_EQ(stop_of(work, {rule, a, nullptr, 1, 1}), "node limit");
  EXPECT_EQ(list_length(state), 3);
}

TEST(MakeNewNode, StopsAfterKeepingTheWantedAnalysis) {
  grammar_fixture state;
  grammar_rule* unary = add_rule(state, "AAAA = SATZ");
  parse_node* a = word_node(state, "AAAA", "", 1, 1);
  const analysis_target target{byte_data("SATZ"), 4, 2};
  parse_work work{state.grammar, state.nodes, state.log()};
  work.stop_at = &target;
  EXPECT_EQ(stop_of(work, {unary, a, nullptr, 1, 1}), "made");  // covers word 1 only
  EXPECT_EQ(stop_of(work, {unary, a, nullptr, 1, 2}), "first analysis");
  EXPECT_EQ(state.nodes.tail->seg_end, 2);
  EXPECT_EQ(find_axiom_node(state.nodes.head, target), state.nodes.tail);
}

TEST(RulesFor, RunOfTheInitialLetterUpToAGreaterOne) {
  grammar_fixture state;
  grammar_rule* a1 = add_rule(state, "AAAA = XXXX");
  grammar_rule* a2 = add_rule(state, "ABBB + CCCC = XXXX");
  grammar_rule* c1 = add_rule(state, "CCCC = XXXX");
  grammar_rule* az = add_rule(state, "AZZZ = XXXX");  // never reached from "A"
  parse_node* a = word_node(state, "AQQQ", "", 1, 1);
  parse_node* b = word_node(state, "BBBB", "", 1, 1);
  parse_node* c = word_node(state, "CCCC", "", 1, 1);
  parse_node* no_slot = word_node(state, "aaaa", "", 1, 1);
  EXPECT_EQ(first_rule_for(state.grammar, *a), a1);
  EXPECT_EQ(next_rule_for(*a1, *a), a2);
  EXPECT_EQ(next_rule_for(*a2, *a), nullptr);
  EXPECT_EQ(first_rule_for(state.grammar, *b), nullptr);
  EXPECT_EQ(first_rule_for(state.grammar, *c), c1);
  EXPECT_EQ(next_rule_for(*c1, *c), az);  // a smaller initial does not end the run
  EXPECT_EQ(next_rule_for(*az, *c), nullptr);
  EXPECT_EQ(first_rule_for(state.grammar, *no_slot), nullptr);
}

TEST(FindAdjacentNode, FirstNodeFromThePositionThatStartsBehind) {
  grammar_fixture state;
  parse_node* a = word_node(state, "AAAA", "", 1, 2);
  parse_node* b = word_node(state, "BBBB", "", 2, 2);
  parse_node* c1 = word_node(state, "CCCC", "", 3, 3);
  parse_node* c2 = word_node(state, "CCCC", "", 3, 4);
  EXPECT_EQ(find_adjacent_node(a, state.nodes.head), c1);
  EXPECT_EQ(find_adjacent_node(a, c1->next), c2);
  EXPECT_EQ(find_adjacent_node(a, c2->next), nullptr);
  EXPECT_EQ(find_adjacent_node(c2, state.nodes.head), nullptr);
  EXPECT_EQ(find_adjacent_node(b, b), c1);
}

}  // namespace
