#include "analyser/grammar/chart_parser.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "analyser/grammar/reference_parser.hpp"
#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

// One grammar and one sentence, written as text so that two fresh states can
// be built from it: rules in the form of test_support's add_rule, and for each
// word position its readings as "CATEsubcat text".
struct test_case {
  std::vector<std::string> rules;
  std::vector<std::vector<std::string>> words;
  long node_limit = kNodeLimit;
};

// One case parsed: the fixture and whether the node limit stopped it.
struct parsed_case {
  grammar_fixture state;
  bool limit_reached = false;
};

// Builds the rules and the word nodes of `c`; false when the node limit
// stopped the word nodes.
bool build(grammar_fixture& state, const test_case& c) {
  for (const std::string& rule : c.rules) add_rule(state, rule);
  state.nodes.limit = c.node_limit;
  try {
    int position = 0;
    for (const std::vector<std::string>& readings : c.words) {
      ++position;
      for (const std::string& r : readings) {
        word_node(state, r.substr(0, 4), r.substr(4), position, position);
      }
    }
  } catch (const parse_stopped&) {
    return false;
  }
  return true;
}

// Runs `make_all_nodes` on the fixture; true when the node limit stopped it.
template <typename Make>
bool stopped_by_limit(grammar_fixture& state, Make&& make_all_nodes) {
  parse_work work{state.grammar, state.nodes, state.log()};
  try {
    make_all_nodes(work);
  } catch (const parse_stopped& stop) {
    return stop.why == parse_end::node_limit;
  }
  return false;
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

// Random grammars and sentences: a few categories from a pool in which
// several share an initial letter and one has no index slot, each with its
// own number of subcategory groups; binary and unary rules with conditions
// and labels, mostly in letter order; words with several readings, some of
// them twice. Unary cycles are left in: the node limit ends them, and both
// parsers must stop at the same node.
class grammar_generator {
 public:
  explicit grammar_generator(unsigned seed) : random_(seed) {}

  test_case next() {
    test_case c;
    pick_categories();
    const int rule_count = pick(1, 9);
    for (int i = 0; i < rule_count; ++i) c.rules.push_back(rule());
    if (pick(0, 4) != 0) sort_by_initial(c.rules);
    const int positions = pick(1, 6);
    for (int p = 0; p < positions; ++p) {
      std::vector<std::string> readings;
      const int count = pick(0, 3) == 0 ? pick(2, 3) : 1;
      for (int r = 0; r < count; ++r) readings.push_back(part(pick_category()));
      if (pick(0, 8) == 0) readings.push_back(readings.front());  // a duplicate reading
      c.words.push_back(readings);
    }
    c.node_limit = pick(0, 3) == 0 ? pick(1, 60) : pick(100, 300);
    return c;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  // Two to four categories of the pool, so that rules often apply.
  void pick_categories() {
    static const char* const pool[] = {"AAAA", "ABCD", "AXYZ", "BBBB", "BACK",
                                       "CCCC", "SSSS", "^UML", "aaaa"};
    std::vector<std::string> all(std::begin(pool), std::end(pool));
    std::shuffle(all.begin(), all.end(), random_);
    all.resize(pick(2, 4));
    names_ = all;
    groups_.clear();
    for (std::size_t k = 0; k < names_.size(); ++k) groups_.push_back(pick(0, 3));
  }

  int pick_category() { return pick(0, static_cast<int>(names_.size()) - 1); }

  // Value groups for category k: its own count mostly, sometimes another; "()"
  // now and then; no set at all sometimes.
  std::string groups(int k) {
    if (pick(0, 5) == 0) return "";
    int count = pick(0, 6) == 0 ? pick(0, 3) : groups_[k];
    std::string text = " ";
    for (int g = 0; g < count; ++g) {
      text += "G" + std::to_string(g) + "(";
      if (pick(0, 3) != 0) {
        for (int v = 1; v <= 3; ++v) {
          if (pick(0, 1) == 1) text += std::to_string(v) + ",";
        }
        if (text.back() == ',') text.pop_back();
      }
      text += ")";
    }
    return text;
  }

  std::string part(int k) { return names_[k] + groups(k); }

  std::string condition(bool binary) {
    std::string text;
    const int steps = pick(0, 3);
    for (int s = 0; s < steps; ++s) {
      for (int d = 0; d < (binary ? 3 : 2); ++d) text += " " + std::to_string(pick(0, 3));
      text += ",";
    }
    if (pick(0, 6) == 0) text += " " + std::to_string(pick(0, 3));  // a stray digit
    return text;
  }

  std::string rule() {
    const bool binary = pick(0, 3) != 0;
    std::string text = part(pick_category());
    if (binary) text += " + " + part(pick_category());
    text += " = " + part(pick_category()) + ";" + condition(binary);
    if (pick(0, 2) == 0) text += " : L" + std::to_string(pick(0, 99));
    return text;
  }

  static void sort_by_initial(std::vector<std::string>& rules) {
    std::stable_sort(rules.begin(), rules.end(), [](const std::string& a, const std::string& b) {
      return static_cast<unsigned char>(a[0]) < static_cast<unsigned char>(b[0]);
    });
  }

  std::mt19937 random_;
  std::vector<std::string> names_;
  std::vector<int> groups_;
};

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
      {1, 1, true},   {1, 3, true},  {400, 400, true},  {0, 0, false},
      {-1, 1, false}, {2, 1, false}, {401, 401, false}, {3, 2, false},
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

}  // namespace
