#include "analyser/grammar/analysis_count.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "analyser/grammar/parser.hpp"
#include "analyser/grammar/test_grammars.hpp"

using namespace test_support;

namespace {

// One reading of a word position: a category name (longer names than four
// characters are lexicon categories of their own) and a subcategory text.
struct reading {
  std::string name;
  std::string subcat;
};

// A grammar and a sentence as text: rules in the form of test_support's
// add_rule, and for each word position its readings.
struct count_case {
  std::vector<std::string> rules;
  std::vector<std::vector<reading>> words;
};

// Names that begin other names are interned first, so that each gets an
// entry of its own, whatever order a case uses them in.
const char* const kLongNames[] = {"ABCDE", "SSSSX"};

void build_case(grammar_fixture& state, const count_case& c) {
  for (const char* name : kLongNames) category(state, name);
  for (const std::string& rule : c.rules) add_rule(state, rule);
  int position = 0;
  for (const std::vector<reading>& readings : c.words) {
    ++position;
    for (const reading& r : readings) word_node(state, r.name, r.subcat, position, position);
  }
}

// Parses to the end or to `limit` nodes, as the analyser does without
// stopping at the first analysis.
parse_end parse_all(grammar_fixture& state, long limit) {
  state.nodes.limit = limit;
  parse_work work{state.grammar, state.nodes, state.log()};
  return parse_sentence(work);
}

analysis_target target_for(const std::string& start, int word_count) {
  return {byte_data(start), byte_count(start), word_count};
}

long complete_nodes(const grammar_fixture& state, const analysis_target& target) {
  long count = 0;
  for (const parse_node* n = state.nodes.head; n != nullptr; n = n->next) {
    count += is_complete_analysis(*n, target) ? 1 : 0;
  }
  return count;
}

analysis_count count_of(const grammar_fixture& state, const std::string& start, int word_count) {
  return count_analyses(state.grammar, state.nodes.head, target_for(start, word_count));
}

std::string text_of(const analysis_count& count) {
  return count.unbounded ? "unbounded" : count.value.to_decimal();
}

// Random grammars and sentences in the manner of the parser's differential
// test, tuned for the counter: fewer groups and condition digits, no labels,
// lexicon categories with longer names, positions with several readings.
class count_case_generator : public random_grammar {
 public:
  explicit count_case_generator(unsigned seed) : random_grammar(seed, kCountShape) {}

  count_case next() {
    count_case c;
    pick_categories();
    const int rule_count = pick(1, 8);
    for (int i = 0; i < rule_count; ++i) c.rules.push_back(rule());
    if (pick(0, 5) != 0) sort_by_initial(c.rules);
    const int positions = pick(1, 7);
    for (int p = 0; p < positions; ++p) c.words.push_back(readings());
    return c;
  }

 private:
  static constexpr grammar_shape kCountShape{2, 5, 9, 2, 2, 9, 3, false};

  // A lexicon category: one of the case's, or a longer name whose first four
  // characters may be one of them.
  std::string word_category() {
    if (pick(0, 9) == 0) return kLongNames[pick(0, 1)];
    return names_[pick_category()];
  }

  std::vector<reading> readings() {
    std::vector<reading> result;
    const int count = pick(0, 3) == 0 ? pick(2, 3) : 1;
    for (int r = 0; r < count; ++r) {
      const std::string name = word_category();
      const auto own = std::find(names_.begin(), names_.end(), name);
      result.push_back({name, groups(own == names_.end() ? 0 : own - names_.begin())});
    }
    if (pick(0, 7) == 0) result.push_back(result.front());  // the same reading twice
    return result;
  }
};

constexpr int kDifferentialCases = 4000;
constexpr long kParseLimit = 600;

// How a case came out, for the check that the generator reaches them all.
struct outcome_mix {
  int with_analyses = 0;  // parsed to the end, some complete analysis
  int without = 0;        // parsed to the end, none
  int unbounded = 0;      // the counter says unbounded; the parse hits the limit
  int too_many = 0;       // finite, but more nodes than the limit
};

std::string describe(const count_case& c) {
  std::string text = "rules:\n";
  for (const std::string& r : c.rules) text += "  " + r + "\n";
  text += "words:";
  for (const auto& readings : c.words) {
    text += " [";
    for (const reading& r : readings) text += " " + r.name + r.subcat;
    text += " ]";
  }
  return text;
}

// Compares the counter with the complete nodes of a finished parse for
// several targets: every start category of the case, a longer lexicon name,
// the empty name (any category), and every prefix of the sentence.
void expect_counts_match(const grammar_fixture& state, const std::vector<std::string>& names,
                         int word_count, const std::string& context) {
  std::vector<std::string> starts = names;
  starts.insert(starts.end(), {"", "A", "SSSSX", "ABCDE"});
  for (const std::string& start : starts) {
    const analysis_target target = target_for(start, word_count);
    ASSERT_EQ(text_of(count_analyses(state.grammar, state.nodes.head, target)),
              std::to_string(complete_nodes(state, target)))
        << "start '" << start << "'\n"
        << context;
  }
  for (int k = 0; k <= word_count + 1; ++k) {
    const analysis_target target = target_for("", k);
    ASSERT_EQ(text_of(count_analyses(state.grammar, state.nodes.head, target)),
              std::to_string(complete_nodes(state, target)))
        << "words 1-" << k << "\n"
        << context;
  }
}

// A parse stopped by the limit has made some of the nodes only: no target
// may have more complete nodes in it than a finite count says.
void expect_counts_bound(const grammar_fixture& state, const std::vector<std::string>& names,
                         int word_count, const std::string& context) {
  std::vector<std::string> starts = names;
  starts.push_back("");
  for (const std::string& start : starts) {
    const analysis_target target = target_for(start, word_count);
    const analysis_count count = count_analyses(state.grammar, state.nodes.head, target);
    if (count.unbounded) continue;
    ASSERT_GE(count.value, big_count(complete_nodes(state, target))) << "start '" << start << "'\n"
                                                                     << context;
  }
}

void check_case(const count_case& c, const std::vector<std::string>& names, outcome_mix& mix) {
  grammar_fixture state;
  build_case(state, c);
  const int word_count = static_cast<int>(c.words.size());
  const analysis_count nodes = count_nodes(state.grammar, state.nodes.head);
  const analysis_count whole = count_of(state, "", word_count);
  const parse_end end = parse_all(state, kParseLimit);
  const std::string context = describe(c);
  if (nodes.unbounded || !nodes.value.fits_in(kParseLimit)) {
    // A parse without end, or one longer than the limit, must hit the limit.
    ASSERT_EQ(end, parse_end::node_limit) << text_of(nodes) << " nodes\n" << context;
    expect_counts_bound(state, names, word_count, context);
    ++(whole.unbounded ? mix.unbounded : mix.too_many);
    return;
  }
  ASSERT_EQ(end, parse_end::complete) << context;
  ASSERT_EQ(nodes.value.to_uint64(), static_cast<std::uint64_t>(state.nodes.count)) << context;
  expect_counts_match(state, names, word_count, context);
  ++(whole.value.is_zero() ? mix.without : mix.with_analyses);
}

TEST(AnalysisCount, EqualsTheCompleteNodesOfTheParse) {
  count_case_generator generator(20240612);
  outcome_mix mix;
  for (int i = 0; i < kDifferentialCases; ++i) {
    const count_case c = generator.next();
    ASSERT_NO_FATAL_FAILURE(check_case(c, generator.names(), mix)) << "case " << i;
  }
  // Every outcome must come up often enough to be tested.
  constexpr int kEnough = kDifferentialCases / 20;
  EXPECT_GT(mix.with_analyses, kEnough);
  EXPECT_GT(mix.without, kEnough);
  EXPECT_GT(mix.unbounded, kEnough);
  EXPECT_GT(mix.too_many, kDifferentialCases / 100);
}

count_case ambiguous_case(int words) {
  count_case c{{"XXXX + XXXX = XXXX"}, {}};
  for (int i = 0; i < words; ++i) c.words.push_back({{"XXXX", ""}});
  return c;
}

// n words under X + X = X have C(n-1) analyses, the binary bracketings.
TEST(AnalysisCount, CatalanNumbersExactly) {
  std::vector<big_count> catalan{big_count(1)};  // C(k+1) = sum C(i) C(k-i)
  for (int k = 0; k < 40; ++k) {
    big_count next;
    for (int i = 0; i <= k; ++i) next.add_product(catalan[i], catalan[k - i]);
    catalan.push_back(next);
  }
  for (int n = 1; n <= 40; ++n) {
    grammar_fixture state;
    build_case(state, ambiguous_case(n));
    const analysis_count count = count_of(state, "XXXX", n);
    ASSERT_FALSE(count.unbounded);
    ASSERT_EQ(count.value, catalan[n - 1]) << n << " words";
  }
  const struct {
    int words;
    const char* count;
  } rows[] = {{1, "1"},
              {10, "4862"},
              {20, "1767263190"},
              {30, "1002242216651368"},
              {40, "680425371729975800390"}};
  for (const auto& row : rows) {
    grammar_fixture state;
    build_case(state, ambiguous_case(row.words));
    EXPECT_EQ(text_of(count_of(state, "XXXX", row.words)), row.count) << row.words << " words";
  }
}

// The node list of X + X = X: every stretch of L words has C(L-1) nodes.
TEST(CountNodes, IsTheLengthOfTheNodeListAndDecidesTheLimit) {
  grammar_fixture big;
  build_case(big, ambiguous_case(15));
  EXPECT_EQ(text_of(count_nodes(big.grammar, big.nodes.head)), "5147891");
  for (long limit : {301L, 300L}) {
    grammar_fixture state;
    build_case(state, ambiguous_case(7));
    ASSERT_EQ(text_of(count_nodes(state.grammar, state.nodes.head)), "301");
    EXPECT_EQ(parse_all(state, limit), limit == 301 ? parse_end::complete : parse_end::node_limit);
  }
}

// A table of small grammars: each row a case, a start category, the number
// of words the analysis covers, and the count expected. Each finite row is
// also parsed, and the complete nodes counted.
struct exact_row {
  const char* what;
  count_case c;
  std::string start;
  const char* count;
};

TEST(AnalysisCount, SmallGrammars) {
  const count_case cycle{{"AAAA = BBBB", "BBBB = AAAA"}, {{{"AAAA", ""}}}};
  const count_case unreachable_cycle{{"AAAA + AAAA = SSSS", "CCCC = DDDD", "DDDD = CCCC"},
                                    {{{"AAAA", ""}}, {{"AAAA", ""}}}};
  const count_case cycle_below{{"AAAA + BBBB = SSSS", "BBBB = BBBB"},
                              {{{"AAAA", ""}}, {{"BBBB", ""}}}};
  const count_case cycle_behind{{"SSSS = TTTT", "TTTT = TTTT"}, {{{"SSSS", ""}}}};
  const count_case broken_by_values{{"AAAA (1) = AAAA (2)"}, {{{"AAAA", "(1)"}}}};
  // Readings (1), (2) and (1) again; the condition carries group 1 over, so
  // the results of one category and span are two items: (1) twice, (2) once.
  const count_case two_items{{"AAAA + BBBB = SSSS (); 1 0 1", "SSSS (1) = TTTT"},
                            {{{"AAAA", "(1)"}, {"AAAA", "(2)"}, {"AAAA", "(1)"}}, {{"BBBB", ""}}}};
  const count_case no_common_value{{"AAAA + BBBB = SSSS; 1 1 0"},
                                  {{{"AAAA", "(1)"}}, {{"BBBB", "(2)"}}}};
  // The scan of A's rules ends at the B rule; the last rule is never tried.
  const count_case letter_order{{"AAAA = CCCC", "BBBB = SSSS", "AAAA = SSSS"}, {{{"AAAA", ""}}}};
  const count_case long_names{{"SSSS + SSSS = SSSS"}, {{{"SSSSX", ""}}, {{"SSSS", ""}}}};
  const count_case homograph{{"AAAA + BBBB = SSSS", "CCCC = AAAA"},
                            {{{"AAAA", ""}, {"CCCC", ""}}, {{"BBBB", ""}, {"BBBB", ""}}}};
  const exact_row rows[] = {
      {"unary cycle", cycle, "AAAA", "unbounded"},
      {"unary cycle, other category", cycle, "BBBB", "unbounded"},
      {"cycle not reached", unreachable_cycle, "SSSS", "1"},
      {"cycle in a component", cycle_below, "SSSS", "unbounded"},
      {"cycle behind the target", cycle_behind, "SSSS", "1"},
      {"cycle at the target", cycle_behind, "TTTT", "unbounded"},
      {"value sets end the chain", broken_by_values, "AAAA", "2"},
      {"two items, one span", two_items, "SSSS", "3"},
      {"only the item with value 1", two_items, "TTTT", "2"},
      {"no common value", no_common_value, "SSSS", "0"},
      {"rule behind a greater letter", letter_order, "SSSS", "0"},
      {"rule before it", letter_order, "CCCC", "1"},
      {"long name: its own entry", long_names, "SSSSX", "0"},
      {"long name: matches four characters", long_names, "SSSS", "1"},
      {"homographs", homograph, "SSSS", "4"},
  };
  for (const exact_row& row : rows) {
    grammar_fixture state;
    build_case(state, row.c);
    const int word_count = static_cast<int>(row.c.words.size());
    const analysis_target target = target_for(row.start, word_count);
    EXPECT_EQ(text_of(count_analyses(state.grammar, state.nodes.head, target)), row.count)
        << row.what;
    const parse_end end = parse_all(state, kParseLimit);
    if (std::string(row.count) == "unbounded") {
      EXPECT_EQ(end, parse_end::node_limit) << row.what;
    } else if (end == parse_end::complete) {
      EXPECT_EQ(std::to_string(complete_nodes(state, target)), row.count) << row.what;
    }
  }
}

TEST(AnalysisCount, LongNameCountsForItsWordOnly) {
  grammar_fixture state;
  build_case(state, {{"SSSS + SSSS = SSSS"}, {{{"SSSSX", ""}}, {{"SSSS", ""}}}});
  EXPECT_EQ(text_of(count_of(state, "SSSSX", 1)), "1");
  EXPECT_EQ(text_of(count_of(state, "SSSS", 1)), "1");
}

TEST(AnalysisCount, EmptyCases) {
  grammar_fixture state;
  build_case(state, {{"AAAA + AAAA = AAAA"}, {}});
  EXPECT_EQ(text_of(count_of(state, "AAAA", 1)), "0");  // no word nodes
  EXPECT_EQ(text_of(count_nodes(state.grammar, state.nodes.head)), "0");
  grammar_fixture words;
  build_case(words, {{"AAAA + AAAA = AAAA"}, {{{"AAAA", ""}}, {{"AAAA", ""}}}});
  for (int word_count : {0, -1, 3, 1000}) {
    EXPECT_EQ(text_of(count_of(words, "AAAA", word_count)), "0") << word_count;
  }
  EXPECT_EQ(text_of(count_of(words, "AAAA", 2)), "1");
  grammar_fixture no_rules;
  build_case(no_rules, {{}, {{{"SSSS", ""}}}});
  EXPECT_EQ(text_of(count_of(no_rules, "SSSS", 1)), "1");
}

// Word nodes the lexical analysis cannot make are left out, without harm;
// positions beyond those of a sentence line are as good as any.
TEST(AnalysisCount, WordNodesOutsideTheSentenceAreLeftOut) {
  grammar_fixture state;
  add_rule(state, "AAAA + AAAA = AAAA");
  word_node(state, "AAAA", "", 1, 1);
  word_node(state, "AAAA", "", 0, 0);
  word_node(state, "AAAA", "", -5, 3);
  word_node(state, "AAAA", "", 3, 2);
  word_node(state, "AAAA", "", 401, 401);
  word_node(state, "AAAA", "", 1, 401);
  word_node(state, "AAAA", "", 2, 2);
  EXPECT_EQ(text_of(count_of(state, "AAAA", 2)), "1");
  // 1-1, 2-2, 401-401, 1-401 and the rule node over 1-2.
  EXPECT_EQ(text_of(count_nodes(state.grammar, state.nodes.head)), "5");
}

// A word node may cover several positions; it combines like any node there.
TEST(AnalysisCount, WordNodeOverTwoPositions) {
  grammar_fixture state;
  add_rule(state, "XXXX + XXXX = XXXX");
  word_node(state, "XXXX", "", 1, 1);
  word_node(state, "XXXX", "", 2, 3);
  word_node(state, "XXXX", "", 1, 2);
  word_node(state, "XXXX", "", 2, 2);
  word_node(state, "XXXX", "", 3, 3);
  // Words 1-3: 1 + (2-3) and (1-2) + 3, each part two ways.
  EXPECT_EQ(text_of(count_of(state, "XXXX", 3)), "4");
  const analysis_count nodes = count_nodes(state.grammar, state.nodes.head);
  ASSERT_EQ(parse_all(state, kParseLimit), parse_end::complete);
  EXPECT_EQ(complete_nodes(state, target_for("XXXX", 3)), 4);
  EXPECT_EQ(text_of(nodes), std::to_string(state.nodes.count));
}

// Rule nodes already in the list are not word nodes: the count starts from
// the word nodes in front of them.
TEST(AnalysisCount, CountsFromTheWordNodesOnly) {
  grammar_fixture state;
  build_case(state, ambiguous_case(4));
  ASSERT_EQ(parse_all(state, kParseLimit), parse_end::complete);
  EXPECT_EQ(text_of(count_of(state, "XXXX", 4)), "5");
  EXPECT_EQ(text_of(count_nodes(state.grammar, state.nodes.head)),
            std::to_string(state.nodes.count));
}

// The rules of the nodes that the complete analyses of a finished parse are
// made of, read off the node list: the judge of rules_of_analyses.
std::vector<int> rules_in_complete_nodes(const grammar_fixture& state,
                                         const analysis_target& target) {
  std::vector<int> rules;
  std::vector<const parse_node*> waiting;
  for (const parse_node* n = state.nodes.head; n != nullptr; n = n->next) {
    if (is_complete_analysis(*n, target)) waiting.push_back(n);
  }
  while (!waiting.empty()) {
    const parse_node* n = waiting.back();
    waiting.pop_back();
    if (n->rule == nullptr) continue;
    rules.push_back(n->rule->rule_number);
    waiting.push_back(n->left_comp);
    if (n->right_comp != nullptr) waiting.push_back(n->right_comp);
  }
  std::sort(rules.begin(), rules.end());
  rules.erase(std::unique(rules.begin(), rules.end()), rules.end());
  return rules;
}

// Every parse that ends gives the rules of its complete analyses; one that
// the limit stops has used no rule the chart does not name.
TEST(RulesOfAnalyses, AreTheRulesOfTheCompleteNodesOfTheParse) {
  count_case_generator generator(20250101);
  int compared = 0;
  for (int i = 0; i < kDifferentialCases / 2; ++i) {
    const count_case c = generator.next();
    grammar_fixture state;
    build_case(state, c);
    const int words = static_cast<int>(c.words.size());
    const parse_end end = parse_all(state, kParseLimit);
    std::vector<std::string> starts = generator.names();
    starts.push_back("");
    for (const std::string& start : starts) {
      const analysis_target target = target_for(start, words);
      const std::vector<int> chart = rules_of_analyses(state.grammar, state.nodes.head, target);
      const std::vector<int> parse = rules_in_complete_nodes(state, target);
      if (end == parse_end::complete) {
        ASSERT_EQ(chart, parse) << "start '" << start << "', case " << i << "\n" << describe(c);
        compared += chart.empty() ? 0 : 1;
      } else {
        ASSERT_TRUE(std::includes(chart.begin(), chart.end(), parse.begin(), parse.end()))
            << "start '" << start << "', case " << i << "\n" << describe(c);
      }
    }
  }
  EXPECT_GT(compared, kDifferentialCases / 20);
}

// Of "X + X = X" and a rule that no analysis reaches, only the first is used,
// however many the bracketings; a unary cycle's rules count as used.
TEST(RulesOfAnalyses, SmallGrammars) {
  grammar_fixture state;
  build_case(state, {{"XXXX + XXXX = XXXX", "XXXX = ZZZZ", "YYYY + XXXX = XXXX", "ZZZZ = XXXX"},
                     {{{"XXXX", ""}}, {{"XXXX", ""}}, {{"XXXX", ""}}}});
  EXPECT_EQ(rules_of_analyses(state.grammar, state.nodes.head, target_for("XXXX", 3)),
            (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(rules_of_analyses(state.grammar, state.nodes.head, target_for("YYYY", 3)),
            std::vector<int>{});
  EXPECT_EQ(rules_of_analyses(state.grammar, state.nodes.head, target_for("XXXX", 0)),
            std::vector<int>{});
}

// More positions than an input line can give: S over words 1 to k for every
// k, twice from word 2 on, where a second reading also becomes an A.
TEST(AnalysisCount, SentenceOfAnyLength) {
  count_case c{{"BBBB = SSSS", "CCCC = AAAA", "SSSS + AAAA = SSSS"},
               {{{"BBBB", ""}}, {{"AAAA", ""}, {"CCCC", ""}}}};
  while (c.words.size() < 600) c.words.push_back({{"AAAA", ""}});
  grammar_fixture state;
  build_case(state, c);
  const analysis_count nodes = count_nodes(state.grammar, state.nodes.head);
  EXPECT_EQ(text_of(count_of(state, "SSSS", 600)), "2");
  EXPECT_EQ(text_of(count_of(state, "SSSS", 450)), "2");
  ASSERT_EQ(parse_all(state, kNodeLimit), parse_end::complete);
  EXPECT_EQ(complete_nodes(state, target_for("SSSS", 600)), 2);
  EXPECT_EQ(text_of(nodes), std::to_string(state.nodes.count));
}

TEST(AnalysisCount, GivesUpOnceTheDeadlineHasPassed) {
  grammar_fixture state;
  build_case(state, ambiguous_case(40));
  const std::string start = "XXXX";
  const analysis_target target = target_for(start, 40);
  const auto passed = std::chrono::steady_clock::now() - std::chrono::seconds(1);
  const analysis_count late = count_analyses(state.grammar, state.nodes.head, target, passed);
  EXPECT_TRUE(late.timed_out);
  EXPECT_FALSE(late.unbounded);
  EXPECT_TRUE(late.value.is_zero());
  EXPECT_TRUE(count_nodes(state.grammar, state.nodes.head, passed).timed_out);
  const auto later = std::chrono::steady_clock::now() + std::chrono::hours(1);
  const analysis_count in_time = count_analyses(state.grammar, state.nodes.head, target, later);
  EXPECT_FALSE(in_time.timed_out);
  EXPECT_EQ(text_of(in_time), "680425371729975800390");
  EXPECT_FALSE(count_nodes(state.grammar, state.nodes.head, later).timed_out);
}

}  // namespace

// A workspace kept from count to count, as an analyser keeps it, gives every
// count a fresh one gives: after small and large charts, unary cycles and
// counts cut short, over other grammars each time.
TEST(AnalysisCount, AKeptWorkspaceGivesTheCountsOfFreshOnes) {
  count_workspace kept;
  const auto same_with_kept = [&](const grammar_fixture& state, const analysis_target& target,
                                  const steady_deadline& deadline = {}) {
    const analysis_count fresh = count_analyses(state.grammar, state.nodes.head, target, deadline);
    const analysis_count reused =
        count_analyses(state.grammar, state.nodes.head, target, deadline, &kept);
    EXPECT_EQ(reused.unbounded, fresh.unbounded);
    EXPECT_EQ(reused.timed_out, fresh.timed_out);
    EXPECT_EQ(reused.value, fresh.value);
  };
  count_case_generator generator(20261208);
  for (int i = 0; i < 300; ++i) {
    const count_case c = generator.next();
    grammar_fixture state;
    build_case(state, c);
    const int words = static_cast<int>(c.words.size());
    for (const std::string& start : generator.names()) {
      ASSERT_NO_FATAL_FAILURE(same_with_kept(state, target_for(start, words))) << "case " << i;
    }
    if (i % 100 == 50) {  // a chart far larger than the workspace keeps
      grammar_fixture large;
      build_case(large, ambiguous_case(200));
      same_with_kept(large, target_for("XXXX", 200));
      same_with_kept(large, target_for("XXXX", 200),
                     std::chrono::steady_clock::now() - std::chrono::seconds(1));
    }
  }
}
