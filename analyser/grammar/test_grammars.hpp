// Random grammars and sentences for the differential tests of the parsers,
// the counter and the outputs, written as text so that several fresh
// fixtures can be built from one case.
#pragma once

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "analyser/grammar/test_support.hpp"

namespace test_support {

// One grammar and one sentence, written as text so that two fresh states can
// be built from it: rules in the form of test_support's add_rule, and for each
// word position its readings as "CATEsubcat text".
struct test_case {
  std::vector<std::string> rules;
  std::vector<std::vector<std::string>> words;
  long node_limit = kNodeLimit;
};

// Builds the rules and the word nodes of `c`; false when the node limit
// stopped the word nodes.
inline bool build(grammar_fixture& state, const test_case& c) {
  for (const std::string& rule : c.rules) add_rule(state, rule);
  state.nodes.limit = c.node_limit;
  int position = 0;
  for (const std::vector<std::string>& readings : c.words) {
    ++position;
    for (const std::string& r : readings) {
      if (word_node(state, r.substr(0, 4), r.substr(4), position, position) == nullptr) {
        return false;
      }
    }
  }
  return true;
}

// The odds a random grammar is drawn with; each differential test tunes
// them for the outcomes it must reach. "1 in n" values are draws of
// pick(0, n - 1) == 0.
struct grammar_shape {
  int most_groups = 3;          // groups of a category: 0 to this
  int no_set_in = 6;            // a part without value set: 1 in this
  int other_count_in = 7;       // another number of groups: 1 in this
  int most_steps = 3;           // condition steps: 0 to this
  int highest_digit = 3;        // condition digits: 0 to this
  int stray_digit_in = 7;       // a digit after the steps: 1 in this
  int unary_in = 4;             // a unary rule: 1 in this
  bool labels = true;           // a label on 1 in 3 rules
};

// Draws categories, value sets, conditions and rules as text in the form of
// test_support's add_rule. A few categories from a pool in which several
// share an initial letter and one has no index slot, each with its own
// number of subcategory groups; binary and unary rules (unary cycles
// among them) with conditions, mostly in letter order.
class random_grammar {
 public:
  random_grammar(unsigned seed, const grammar_shape& shape) : random_(seed), shape_(shape) {}

  // The categories of the case being drawn.
  const std::vector<std::string>& names() const { return names_; }

 protected:
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
    for (std::size_t k = 0; k < names_.size(); ++k) groups_.push_back(pick(0, shape_.most_groups));
  }

  int pick_category() { return pick(0, static_cast<int>(names_.size()) - 1); }

  // Value groups for category k: its own count mostly, sometimes another; "()"
  // now and then; no set at all sometimes.
  std::string groups(int k) {
    if (pick(0, shape_.no_set_in - 1) == 0) return "";
    const int count = pick(0, shape_.other_count_in - 1) == 0 ? pick(0, 3) : groups_[k];
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
    const int steps = pick(0, shape_.most_steps);
    const int digit = shape_.highest_digit;
    for (int s = 0; s < steps; ++s) {
      for (int d = 0; d < (binary ? 3 : 2); ++d) text += " " + std::to_string(pick(0, digit));
      text += ",";
    }
    if (pick(0, shape_.stray_digit_in - 1) == 0) text += " " + std::to_string(pick(0, digit));
    return text;
  }

  std::string rule() {
    const bool binary = pick(0, shape_.unary_in - 1) != 0;
    std::string text = part(pick_category());
    if (binary) text += " + " + part(pick_category());
    text += " = " + part(pick_category()) + ";" + condition(binary);
    if (shape_.labels && pick(0, 2) == 0) text += " : L" + std::to_string(pick(0, 99));
    return text;
  }

  static void sort_by_initial(std::vector<std::string>& rules) {
    std::stable_sort(rules.begin(), rules.end(), [](const std::string& a, const std::string& b) {
      return static_cast<unsigned char>(a[0]) < static_cast<unsigned char>(b[0]);
    });
  }

  std::mt19937 random_;
  grammar_shape shape_;
  std::vector<std::string> names_;
  std::vector<int> groups_;
};

// Random grammars and sentences for the parsers' differential test: words
// with several readings, some of them twice, and a node limit that is
// small now and then, so that both parsers must stop at the same node.
class grammar_generator : public random_grammar {
 public:
  explicit grammar_generator(unsigned seed) : random_grammar(seed, grammar_shape{}) {}

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
};

}  // namespace test_support
