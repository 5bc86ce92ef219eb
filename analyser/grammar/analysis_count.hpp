// Exact numbers of analyses without making the nodes.
//
// The node list holds one node per derivation, so an ambiguous sentence has
// far more nodes than memory holds. But whether a rule applies to a node,
// and what the new node carries, depend only on the node's category entry,
// its words and its value set; nodes that agree in these combine alike. A
// packed chart keeps one item per such class with the number of its nodes:
// the sum, over the rule applications that make the item, of the products of
// the numbers of their components.
#pragma once

#include <cstdint>
#include <vector>

#include "analyser/base/arena.hpp"
#include "analyser/base/big_count.hpp"
#include "analyser/base/deadline.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/grammar/rules_reader.hpp"

struct analysis_count {
  bool unbounded = false;  // a unary cycle: infinitely many analyses
  big_count value;         // the exact number when bounded (0 when unbounded)
  // The deadline passed before the count was done: there is no number
  // (`unbounded` false, `value` 0).
  bool timed_out = false;
};

// One class of nodes that the rules cannot tell apart: same category entry,
// same words, same value set.
struct packed_item {
  parse_node proxy{};     // category, value set and words, as the rules see a node
  big_count derivations;  // the number of its nodes, when bounded
  bool unbounded = false;
  // In the chart's rules: the rules that the parser tries with such a node
  // as first component and whose part 1 it matches.
  std::uint32_t rules_begin = 0;
  std::uint32_t rules_end = 0;
};

// A unary rule application within a span: item `to` has a node for every
// node of item `from`.
struct unary_edge {
  std::uint32_t from;
  std::uint32_t to;
};

// The storage of a count's packed chart, kept by the caller from sentence to
// sentence so that a count of a short sentence allocates nothing. Only the
// count looks inside.
struct count_workspace {
  std::vector<packed_item> items;
  std::vector<std::uint32_t> span_first;
  std::vector<grammar_rule*> rules;
  arena value_sets;
  std::vector<unary_edge> edges;
  std::vector<std::uint32_t> waiting;
  std::vector<std::uint32_t> out_first;
  std::vector<std::uint32_t> out;
  std::vector<std::uint32_t> ready;
  std::vector<const parse_node*> words;

  // Empties it for the next count; the storage of a long sentence's count
  // is given back rather than kept.
  void clear();
};

// The number of complete analyses (nodes for which is_complete_analysis(node,
// target) holds after a full parse) of the sentence whose word nodes are the
// nodes from `first` while their rule is null, without making nodes. It is
// what parse_sentence would leave in the list, counted, whenever that parse
// ends; `unbounded` when the parse would make such nodes without end.
// Word nodes cover 1 <= seg_start <= seg_end, as the lexical analysis makes
// them (a sentence may have any number of positions); a word node outside
// that cannot stand in a sentence and is left out. The time grows with the
// cube of the sentence's positions, the memory with their square. Once
// `deadline` has passed (the clock is read every kStepsPerClockLook steps)
// the count gives up and says `timed_out`.
// `workspace` holds the chart's storage (null: the count makes its own).
// No memory: fatal "count_analyses: malloc Fehler".
analysis_count count_analyses(const grammar_tables& grammar, const parse_node* first,
                              const analysis_target& target, const steady_deadline& deadline = {},
                              count_workspace* workspace = nullptr);

// The number of nodes, word nodes included, that a full parse of the same
// word nodes makes: finite exactly when the parse ends, and then equal to
// the node count it ends with (so it tells beforehand whether a node limit
// stops the parse). Word nodes, time, memory and deadline as for
// count_analyses. No memory: fatal "count_nodes: malloc Fehler".
analysis_count count_nodes(const grammar_tables& grammar, const parse_node* first,
                           const steady_deadline& deadline = {});

// The numbers of the rules that some complete analysis of the same word
// nodes uses, each once, in increasing order: the rule applications that
// the packed chart reaches top-down from its complete items, so every
// analysis counts, not only the first, and none is made. A unary cycle
// gives the rules of its applications like any other. Word nodes as for
// count_analyses. No memory: fatal "rules_of_analyses: malloc Fehler".
std::vector<int> rules_of_analyses(const grammar_tables& grammar, const parse_node* first,
                                   const analysis_target& target);
