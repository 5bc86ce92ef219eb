#include "analyser/grammar/chart_parser.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <unordered_map>
#include <vector>

#include "analyser/grammar/reference_parser.hpp"
#include "analyser/grammar/test_grammars.hpp"

using namespace test_support;

namespace {

// One case parsed: the fixture and whether the node limit stopped it.
struct parsed_case {
  grammar_fixture state;
  bool limit_reached = false;
};

// Runs `make_all_nodes` on the fixture; true when the node limit stopped it.
template <typename Make>
bool stopped_by_limit(grammar_fixture& state, Make&& make_all_nodes) {
  parse_work work{state.grammar, state.nodes, state.log()};
  make_all_nodes(work);
  return work.stopped == parse_end::node_limit;
}

void parse_reference(parsed_case& p, const test_case& c) {
  p.limit_reached = !build(p.state, c) || stopped_by_limit(p.state, make_all_nodes_reference);
}

void parse_indexed(parsed_case& p, const test_case& c, indexed_parse_tables& tables) {
  p.limit_reached = !build(p.state, c) || stopped_by_limit(p.state, [&](parse_work& work) {
                      ASSERT_TRUE(indexed_parse_applies(work.nodes));
                      make_all_nodes_indexed(work, tables);
                    });
}

std::string value_text(const subcat_value_set* values) {
  if (values == nullptr) return "-";
  std::string text = "[";
  for (int i = 1; i <= values[0]; ++i) text += std::to_string(values[i]) + " ";
  return text + "]";
}

// Every node in list order, one line each: number, category, segment, rule
// number, component numbers, value set and label; then the node count and
// whether the limit stopped the parse.
std::string dump(const parsed_case& p) {
  const grammar_fixture& state = p.state;
  std::unordered_map<const parse_node*, int> number{{nullptr, 0}};
  std::string text;
  for (const parse_node* n = state.nodes.head; n != nullptr; n = n->next) {
    const int self = static_cast<int>(number.size());
    number[n] = self;
    char line[128];
    std::snprintf(line, sizeof line, "%d %.*s %d-%d r%d %d+%d ", self, n->category->name_length,
                  reinterpret_cast<const char*>(n->category->name), n->seg_start, n->seg_end,
                  n->rule != nullptr ? n->rule->rule_number : 0, number.at(n->left_comp),
                  number.at(n->right_comp));
    text += line + value_text(n->subcat_values) + " '" + n->label + "'\n";
  }
  return text + "count " + std::to_string(state.nodes.count) +
         (p.limit_reached ? " limit reached\n" : "\n");
}

// No two nodes share rule and components.
bool combinations_unique(const grammar_fixture& state) {
  std::set<std::tuple<const void*, const void*, const void*>> seen;
  for (const parse_node* n = state.nodes.head; n != nullptr; n = n->next) {
    if (n->rule == nullptr) continue;
    if (!seen.insert({n->rule, n->left_comp, n->right_comp}).second) return false;
  }
  return true;
}

constexpr int kDifferentialCases = 4000;

TEST(IndexedParser, MakesTheNodesOfTheReferenceInTheSameOrder) {
  grammar_generator generator(20240611);
  int limit_cases = 0;
  int cases_with_rule_nodes = 0;
  indexed_parse_tables tables;  // one set for all cases, as for the sentences of a text
  for (int i = 0; i < kDifferentialCases; ++i) {
    const test_case c = generator.next();
    parsed_case reference;
    parse_reference(reference, c);
    parsed_case indexed;
    parse_indexed(indexed, c, tables);
    std::string rules;
    for (const std::string& r : c.rules) rules += r + "\n";
    ASSERT_EQ(dump(indexed), dump(reference)) << "case " << i << ", rules:\n" << rules;
    ASSERT_TRUE(combinations_unique(indexed.state)) << "case " << i;
    limit_cases += reference.limit_reached ? 1 : 0;
    const parse_node* last = reference.state.nodes.tail;
    cases_with_rule_nodes += last != nullptr && last->rule != nullptr ? 1 : 0;
  }
  // The generator must reach both outcomes, and rules must apply often.
  EXPECT_GT(limit_cases, kDifferentialCases / 20);
  EXPECT_LT(limit_cases, kDifferentialCases / 2);
  EXPECT_GT(cases_with_rule_nodes, kDifferentialCases / 3);
}

// A parse must not see what the sentence before left in the tables.
TEST(IndexedParser, SecondSentenceStartsWithEmptyTables) {
  indexed_parse_tables tables;
  test_case first{{"AAAA + AAAA = AAAA"}, {{"AAAA"}, {"AAAA"}, {"AAAA"}, {"AAAA"}}};
  test_case second{{"AAAA + AAAA = AAAA"}, {{"AAAA"}, {"AAAA"}}};
  parsed_case reference;
  parse_reference(reference, second);
  parsed_case indexed;
  parse_indexed(indexed, first, tables);
  EXPECT_EQ(indexed.state.nodes.count, 16);  // 4*1 + 3*1 + 2*2 + 1*5
  indexed.state.nodes.clear();
  word_node(indexed.state, "AAAA", "", 1, 1);
  word_node(indexed.state, "AAAA", "", 2, 2);
  parse_work work{indexed.state.grammar, indexed.state.nodes, {}};
  make_all_nodes_indexed(work, tables);
  EXPECT_EQ(dump(indexed), dump(reference));
}

// The tables' weight grows with the nodes and positions of the sentence and
// counts every entry in use.
TEST(IndexedParser, TheTablesWeighWhatTheyHold) {
  indexed_parse_tables tables;
  const std::size_t empty = tables.bytes();
  parsed_case small;
  parse_indexed(small, {{"AAAA + AAAA = AAAA"}, {{"AAAA"}, {"AAAA"}}}, tables);
  const std::size_t two_words = tables.bytes();
  EXPECT_GT(two_words, empty);
  EXPECT_GE(two_words, 3 * sizeof(indexed_parse_tables::node_entry));
  indexed_parse_tables large_tables;
  parsed_case large;
  test_case many{{"AAAA + BBBB = CCCC"}, {}};
  for (int w = 0; w < 3000; ++w) many.words.push_back({w % 2 == 0 ? "AAAA" : "BBBB"});
  parse_indexed(large, many, large_tables);
  EXPECT_GE(large_tables.bytes(),
            static_cast<std::size_t>(large.state.nodes.count) * sizeof(indexed_parse_tables::node_entry));
  EXPECT_GT(large_tables.bytes(), two_words);
}

// Catalan numbers: n words of one category under X + X = X give
// sum over spans of length L of C(L-1) nodes.
TEST(IndexedParser, MaximallyAmbiguousGrammar) {
  test_case c{{"XXXX + XXXX = XXXX"}, {}};
  for (int n = 0; n < 7; ++n) c.words.push_back({"XXXX"});
  parsed_case reference;
  parse_reference(reference, c);
  parsed_case indexed;
  indexed_parse_tables tables;
  parse_indexed(indexed, c, tables);
  // 7*1 + 6*1 + 5*2 + 4*5 + 3*14 + 2*42 + 1*132
  EXPECT_EQ(indexed.state.nodes.count, 301);
  EXPECT_EQ(dump(indexed), dump(reference));
}

TEST(IndexedParseApplies, OnlyToNodesAtSentencePositions) {
  struct row {
    int start;
    int end;
    bool applies;
  } rows[] = {
      {1, 1, true},   {1, 3, true},  {400, 400, true}, {401, 401, true}, {1, 100000, true},
      {-1, 1, false}, {2, 1, false}, {0, 0, false},    {3, 2, false},
  };
  for (const row& r : rows) {
    grammar_fixture state;
    word_node(state, "AAAA", "", 1, 1);
    word_node(state, "AAAA", "", r.start, r.end);
    EXPECT_EQ(indexed_parse_applies(state.nodes), r.applies) << r.start << "-" << r.end;
  }
}

TEST(IndexedParseApplies, NotWhenTheNodeLimitExceedsTheTables) {
  grammar_fixture state;
  word_node(state, "AAAA", "", 1, 1);
  state.nodes.limit = 4'294'967'294;
  EXPECT_TRUE(indexed_parse_applies(state.nodes));
  state.nodes.limit = 4'294'967'295;
  EXPECT_FALSE(indexed_parse_applies(state.nodes));
}

// A sentence of `positions` word positions, more than an input line can
// give: S over words 1 to k for every k, twice from word 2 on, where a
// second reading also becomes an A.
test_case long_sentence(std::size_t positions) {
  test_case c{{"BBBB = SSSS", "CCCC = AAAA", "SSSS + AAAA = SSSS"}, {{"BBBB"}, {"AAAA", "CCCC"}}};
  while (c.words.size() < positions) c.words.push_back({"AAAA"});
  return c;
}

TEST(IndexedParser, SentenceOfAnyLength) {
  const test_case c = long_sentence(600);
  parsed_case reference;
  parse_reference(reference, c);
  parsed_case indexed;
  indexed_parse_tables tables;
  parse_indexed(indexed, c, tables);
  EXPECT_EQ(indexed.state.nodes.count, 601 + 2 + 2 * 599);
  EXPECT_EQ(dump(indexed), dump(reference));
  // A short sentence after the long one uses the same tables.
  const test_case short_one = long_sentence(3);
  parsed_case short_reference;
  parse_reference(short_reference, short_one);
  parsed_case short_indexed;
  parse_indexed(short_indexed, short_one, tables);
  EXPECT_EQ(dump(short_indexed), dump(short_reference));
}

// Runs `make_all_nodes` on the n-word sentence of X + X = X with a deadline;
// returns how it ended and the nodes made.
template <typename Make>
std::pair<parse_end, long> ambiguous_with_deadline(int words, steady_deadline deadline,
                                                   Make&& make_all_nodes) {
  test_case c{{"XXXX + XXXX = XXXX"}, {}};
  for (int n = 0; n < words; ++n) c.words.push_back({"XXXX"});
  grammar_fixture state;
  build(state, c);
  parse_work work{state.grammar, state.nodes, state.log()};
  work.deadline = deadline;
  make_all_nodes(work);
  return {work.stopped, state.nodes.count};
}

TEST(Deadline, BothParsersEndOnceItHasPassed) {
  const auto passed = std::chrono::steady_clock::now() - std::chrono::seconds(1);
  indexed_parse_tables tables;
  const auto indexed = [&](parse_work& work) { make_all_nodes_indexed(work, tables); };
  // 15 words make 5,147,891 nodes; the clock is read after 1,024 combinations.
  const auto [end, nodes] = ambiguous_with_deadline(15, passed, indexed);
  EXPECT_EQ(end, parse_end::timeout);
  EXPECT_LT(nodes, 5000);
  const auto [reference_end, reference_nodes] =
      ambiguous_with_deadline(15, passed, make_all_nodes_reference);
  EXPECT_EQ(reference_end, parse_end::timeout);
  EXPECT_LT(reference_nodes, 5000);
  // A deadline that does not pass, or none, changes nothing.
  const auto later = std::chrono::steady_clock::now() + std::chrono::hours(1);
  EXPECT_EQ(ambiguous_with_deadline(7, later, indexed), std::make_pair(parse_end::complete, 301L));
  EXPECT_EQ(ambiguous_with_deadline(7, later, make_all_nodes_reference),
            std::make_pair(parse_end::complete, 301L));
  EXPECT_EQ(ambiguous_with_deadline(7, {}, indexed), std::make_pair(parse_end::complete, 301L));
}

}  // namespace
