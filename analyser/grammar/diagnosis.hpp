// Why a sentence has no complete analysis: the fewest constituents that
// cover it from left to right (its fragments), the rules that would join two
// neighbouring fragments but are blocked by their value sets or their
// condition, and the rules that would extend a fragment but lack a
// neighbour of the category they need.
#pragma once

#include <vector>

#include "analyser/grammar/parse_node.hpp"

// Why a rule does not join two neighbouring fragments.
enum class block_reason {
  first_part,   // the first fragment's values do not agree with the rule's first part
  second_part,  // the second fragment's values do not agree with the rule's second part
  condition,    // a triple of the condition finds no common value
};

struct blocked_rule {
  const grammar_rule* rule = nullptr;
  const parse_node* first = nullptr;   // the two constituents it would join
  const parse_node* second = nullptr;
  block_reason reason = block_reason::condition;
  // The group that fails: of the rule part (first_part, second_part) or of
  // the first component (condition); 0 when the group counts differ.
  int group = 0;
  int second_group = 0;  // condition: the second component's group
  // The two sides: rule part and fragment, or first and second fragment;
  // and the failing group's bytes on both sides (all values where a side
  // lacks the group).
  const subcat_value_set* first_values = nullptr;
  const subcat_value_set* second_values = nullptr;
  unsigned char first_group_byte = kAllValues;
  unsigned char second_group_byte = kAllValues;
};

// A rule that would extend a fragment, whose other part has no constituent
// of its category where it would have to stand: behind the fragment (the
// second part missing) or before it (the first).
struct missing_part {
  const grammar_rule* rule = nullptr;
  int fragment = 0;  // index into `fragments`
  int part = kSecondPart;  // the part that is missing: kFirstPart or kSecondPart
  // The word the missing part would start at (second part) or end at (first
  // part); it may lie outside the sentence, at 0 or at word_count + 1.
  int position = 0;
};

struct sentence_diagnosis {
  // The fragments left to right; a null entry stands for a word position
  // that no node covers (`uncovered` lists those positions).
  std::vector<const parse_node*> fragments;
  std::vector<int> uncovered;
  // For each pair of neighbouring fragments (index of the first): the rules
  // blocked between any constituent of the first fragment's span and any of
  // the second's, in the order of the nodes and rules, each way of failing
  // once.
  std::vector<std::vector<blocked_rule>> blocked;
  // For each fragment, left to right: the binary rules the parser tries
  // whose one part the fragment matches (category and values) while no node
  // of the other part's category stands beside it, in rule order, each rule
  // with the part behind before the part in front.
  std::vector<missing_part> missing;
};

// The diagnosis of a sentence of `word_count` positions over all its nodes.
// Among coverings with the fewest fragments, each fragment is the node made
// first. Only rules the parser tries for the first constituent are looked
// at, and at most kMaxPairsLooked pairs of constituents per neighbours.
constexpr int kMaxPairsLooked = 10000;
sentence_diagnosis diagnose(const grammar_tables& grammar, const node_list& nodes,
                            int word_count);
