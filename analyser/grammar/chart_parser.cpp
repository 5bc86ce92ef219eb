#include "analyser/grammar/chart_parser.hpp"

#include "analyser/grammar/parse_node.hpp"

namespace {
// `tried` of a node that has not had its first turn; no count reaches it.
constexpr std::uint32_t kNeverTried = UINT32_MAX;
// Word positions a sentence can have: every word takes at least one byte of
// the sentence buffer. Positions count from 1, and the one behind the last
// word is looked up too.
constexpr int kMaxWordPositions = kSentenceCapacity;
constexpr int kStartPositions = kMaxWordPositions + 2;

// What one turn works with: the state, the tables, and the node's place.
struct turn {
  AnalyserState& state;
  indexed_parse_tables& tables;
  std::uint32_t at;  // list position of the node having its turn
};

void index_node(indexed_parse_tables& tables, parse_node* node) {
  const std::uint32_t at = tables.nodes.size();
  tables.nodes.push_back(node);
  tables.behind.push_back(static_cast<std::uint16_t>(node->seg_end + 1));
  tables.tried.push_back(kNeverTried);
  tables.by_start[node->seg_start].push_back(at);
}

// Empties the tables (keeping their pages) and enters the word nodes.
void start_tables(const AnalyserState& state, indexed_parse_tables& tables) {
  tables.nodes.clear();
  tables.behind.clear();
  tables.tried.clear();
  tables.by_start.resize(kStartPositions);
  for (auto& starting : tables.by_start) starting.clear();
  for (parse_node* node = state.node_list; node != nullptr; node = node->next) {
    index_node(tables, node);
  }
}

// Makes the node of `rule` over the current components and segment.
void make_indexed_node(const turn& t, grammar_rule* rule) {
  if (parse_node* made = make_new_node(t.state, rule)) index_node(t.tables, made);
}

void try_unary(const turn& t, grammar_rule* rule) {
  AnalyserState& state = t.state;
  state.current_right = nullptr;
  state.current_seg_end = state.current_left->seg_end;
  if (apply_condition(*rule, *state.current_left, nullptr, state.subcat_scratch)) {
    make_indexed_node(t, rule);
  }
}

// Tries the nodes rights[from] to rights[upto - 1] as second component.
void try_binary(const turn& t, grammar_rule* rule, std::uint32_t from, std::uint32_t upto) {
  AnalyserState& state = t.state;
  const auto& rights = t.tables.by_start[t.tables.behind[t.at]];
  for (std::uint32_t k = from; k < upto && !state.node_limit_reached; ++k) {
    parse_node* right = t.tables.nodes[rights[k]];
    if (!part_matches(*rule, *right, kSecondPart)) continue;
    if (!apply_condition(*rule, *state.current_left, right, state.subcat_scratch)) continue;
    state.current_right = right;
    state.current_seg_end = right->seg_end;
    make_indexed_node(t, rule);
  }
}

// The turn of the node at list position t.at: on its first turn it meets
// every node behind it and its unary rules apply; later only the nodes behind
// it made since its last turn. The nodes behind it cannot grow during the
// turn, as every node made starts where this one starts.
void take_turn(const turn& t) {
  indexed_parse_tables& tables = t.tables;
  const bool first_turn = tables.tried[t.at] == kNeverTried;
  const std::uint32_t from = first_turn ? 0 : tables.tried[t.at];
  const std::uint32_t upto = tables.by_start[tables.behind[t.at]].size();
  tables.tried[t.at] = upto;
  parse_node* node = tables.nodes[t.at];
  t.state.current_left = node;
  t.state.current_seg_start = node->seg_start;
  for (grammar_rule* rule = first_rule_for(t.state, *node);
       rule != nullptr && !t.state.node_limit_reached; rule = next_rule_for(*rule, *node)) {
    if (!part_matches(*rule, *node, kFirstPart)) continue;
    if (is_binary(*rule)) {
      try_binary(t, rule, from, upto);
    } else if (first_turn) {
      try_unary(t, rule);
    }
  }
}

// A node needs a turn before its first one and when nodes were made behind
// it since its last one.
bool needs_turn(const indexed_parse_tables& tables, std::uint32_t at) {
  return tables.tried[at] != tables.by_start[tables.behind[at]].size();
}
}  // namespace

std::size_t indexed_parse_tables::bytes() const {
  std::size_t total = nodes.bytes() + behind.bytes() + tried.bytes();
  total += by_start.capacity() * sizeof(by_start[0]);
  for (const auto& starting : by_start) total += starting.bytes();
  return total;
}

bool indexed_parse_applies(const AnalyserState& state) {
  if (state.node_limit >= static_cast<long>(kNeverTried)) return false;
  for (const parse_node* node = state.node_list; node != nullptr; node = node->next) {
    if (node->seg_start < 1 || node->seg_start > node->seg_end) return false;
    if (node->seg_end > kMaxWordPositions) return false;
  }
  return true;
}

void make_all_nodes_indexed(AnalyserState& state, indexed_parse_tables& tables) {
  start_tables(state, tables);
  do {
    state.new_node_count = 0;
    for (std::uint32_t at = 0; at < tables.nodes.size() && !state.node_limit_reached; ++at) {
      if (needs_turn(tables, at)) take_turn({state, tables, at});
    }
  } while (state.new_node_count > 0 && !state.node_limit_reached);
}
