// The pass-wise parse of reference_parser.hpp, made fast: the same nodes in
// the same order, but every combination of first component, rule and second
// component is examined only once.
//
// Why that is enough: whether a combination makes a node depends only on the
// two components and the rule, so a combination examined in an earlier pass
// either made its node then or fails again. While a node N has its turn, every
// node made starts where N starts, never right behind N's end; so the second
// components N meets in a turn are the nodes at position N.seg_end + 1 that
// exist when the turn begins, in creation order, for each rule in file order.
// A node therefore remembers how many nodes of that position it has met, and
// in a later turn meets only the ones made since (its unary rules only in its
// first turn); without new ones it has no turn at all. Nodes are indexed by
// start position, so no list walk remains, and a pass reads only small
// per-node records, not the nodes themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analyser/grammar/paged_array.hpp"
#include "analyser/grammar/parse_node.hpp"

// The side tables of an indexed parse, kept by the caller from sentence to
// sentence (and so that a benchmark can weigh them). About 24 bytes per
// node, and about 40 per word position.
struct indexed_parse_tables {
  static constexpr int kNodePageBits = 12;
  static constexpr int kStartPageBits = 10;
  // By list position: the node, the word position right behind it, and how
  // many nodes of that position it has met (kNeverTried before its turn).
  struct node_entry {
    parse_node* node;
    std::uint32_t behind;
    std::uint32_t tried;
  };
  paged_array<node_entry, kNodePageBits> nodes;
  // By word position, the nodes that start there in creation order: their
  // list position and their category's key. The first `positions` are in
  // use (they reach one behind the last word).
  struct start_entry {
    std::uint32_t at;
    std::uint32_t key;
  };
  std::vector<paged_array<start_entry, kStartPageBits>> by_start;
  std::size_t positions = 0;
  // The rules by category when the grammar's own lookup is stale.
  rule_lookup own_rules;

  std::size_t bytes() const;
};

// True when every node in `nodes` covers positions 1 <= start <= end, as the
// lexical analysis makes them (a sentence may have any number of positions),
// and the node limit fits the side tables. Otherwise the list is left to
// make_all_nodes_reference.
bool indexed_parse_applies(const node_list& nodes);

// Makes exactly the nodes of make_all_nodes_reference, in the same order,
// with the same `new_node_count` per pass and the same early stops at the
// node limit and at `work.stop_at`; like it, it ends with parse_end::timeout
// once `work.deadline` has passed. Prints nothing. `tables` are emptied
// first.
// Precondition: indexed_parse_applies(work.nodes).
void make_all_nodes_indexed(parse_work& work, indexed_parse_tables& tables);
