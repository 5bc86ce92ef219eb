// What the writers share about an analysis: its tree walked depth first, the
// word at every position, and the complete analyses of a sentence.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analyser/grammar/sentence_analysis.hpp"

// A stack whose first entries stay in place, so that the walk of a tree of
// everyday depth allocates nothing; deeper ones go on in a vector.
template <typename T>
class small_stack {
 public:
  bool empty() const { return size_ == 0; }
  void push(const T& value) {
    if (size_ < kInPlace) {
      in_place_[size_] = value;
    } else {
      beyond_.push_back(value);
    }
    ++size_;
  }
  T pop() {
    --size_;
    if (size_ < kInPlace) return in_place_[size_];
    const T value = beyond_.back();
    beyond_.pop_back();
    return value;
  }

 private:
  static constexpr std::size_t kInPlace = 64;
  T in_place_[kInPlace];
  std::vector<T> beyond_;
  std::size_t size_ = 0;
};

// Visits the tree below `root` depth first, the left component before the
// right one: enter(node, second) before a node's components, where `second`
// tells a right component; leave(node) after them. Iterative, so that a deep
// chain of unary rules cannot exhaust the call stack.
template <typename Enter, typename Leave>
void walk_tree(const parse_node* root, Enter&& enter, Leave&& leave) {
  struct step {
    const parse_node* node;
    bool second;
    bool leaving;
  };
  small_stack<step> pending;
  pending.push({root, false, false});
  while (!pending.empty()) {
    const step s = pending.pop();
    if (s.leaving) {
      leave(s.node);
      continue;
    }
    enter(s.node, s.second);
    pending.push({s.node, s.second, true});
    if (s.node->right_comp != nullptr) pending.push({s.node->right_comp, true, false});
    if (s.node->left_comp != nullptr) pending.push({s.node->left_comp, false, false});
  }
}

// The text of every word position, from 1 (entry 0 is empty): a word's own
// text, or for a split word its stem and then its ending.
std::vector<std::string_view> position_words(const sentence_words& words);

// The complete analyses of the sentence in node-list order (the first is the
// one the printout shows).
std::vector<const parse_node*> complete_analyses(const sentence_analysis& analysis);

// How many of `found` complete analyses an output shows: the first alone, or
// with -all at most `limit` (-max-analyses).
std::size_t analyses_shown(std::size_t found, bool all, long limit);

// The number of complete analyses of the sentence: its exact count when the
// analysis has one, else the complete analyses among the nodes made.
analysis_count analyses_of(const sentence_analysis& analysis);

// A count as written everywhere: its digits, or "unbounded".
std::string count_text(const analysis_count& count);

// The values of one group byte, from 1 to 8, in increasing order: a list
// that needs no allocation (the writers list the values of every node).
class group_value_list {
 public:
  explicit group_value_list(unsigned char group) {
    for (int v = 1; v <= kHighestValue; ++v) {
      if (group & (1u << (v - 1))) values_[count_++] = v;
    }
  }
  const int* begin() const { return values_; }
  const int* end() const { return values_ + count_; }

 private:
  static constexpr int kHighestValue = 8;
  int values_[kHighestValue] = {};
  int count_ = 0;
};

inline group_value_list group_values(unsigned char group) { return group_value_list(group); }
