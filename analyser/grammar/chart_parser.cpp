#include "analyser/grammar/chart_parser.hpp"

#include <algorithm>

namespace {
// `tried` of a node that has not had its first turn; no count reaches it.
constexpr std::uint32_t kNeverTried = UINT32_MAX;

using node_entry = indexed_parse_tables::node_entry;
using start_entry = indexed_parse_tables::start_entry;

// What one turn works with: the parse, the tables, the rules by category,
// and the node's place.
struct turn {
  parse_work& work;
  indexed_parse_tables& tables;
  const rule_lookup& rules;
  std::uint32_t at;  // list position of the node having its turn
};

void index_node(indexed_parse_tables& tables, parse_node* node) {
  const std::uint32_t at = tables.nodes.size();
  tables.nodes.push_back({node, static_cast<std::uint32_t>(node->seg_end) + 1, kNeverTried});
  tables.by_start[node->seg_start].push_back({at, node->category->key});
}

// Empties the tables (keeping their pages; of the start positions only those
// the last sentence used) and enters the word nodes. Every node made lies
// within the word nodes' positions, so the positions up to the one behind
// the last word suffice.
void start_tables(const node_list& nodes, indexed_parse_tables& tables) {
  tables.nodes.clear();
  for (std::size_t p = 0; p < tables.positions; ++p) tables.by_start[p].clear();
  int last = 0;
  for (const parse_node* node = nodes.head; node != nullptr; node = node->next) {
    last = std::max(last, node->seg_end);
  }
  tables.positions = static_cast<std::size_t>(last) + 2;
  if (tables.by_start.size() < tables.positions) tables.by_start.resize(tables.positions);
  for (parse_node* node = nodes.head; node != nullptr; node = node->next) {
    index_node(tables, node);
  }
}

// Makes the candidate's node and indexes it (none at the node limit).
void make_indexed_node(const turn& t, const candidate& c) {
  if (parse_node* node = make_new_node(t.work, c)) index_node(t.tables, node);
}

void try_unary(const turn& t, grammar_rule* rule, parse_node* left) {
  if (apply_condition(*rule, *left, nullptr, t.work.subcat_scratch)) {
    make_indexed_node(t, {rule, left, nullptr, left->seg_start, left->seg_end});
  }
}

// Tries the nodes rights[from] to rights[upto - 1] as second component; the
// key of their category rules out most of them.
void try_binary(const turn& t, grammar_rule* rule, parse_node* left,
                const paged_array<start_entry, indexed_parse_tables::kStartPageBits>& rights,
                std::uint32_t from, std::uint32_t upto) {
  const std::uint32_t key = rule->parts[1].category->key;
  for (std::uint32_t k = from; k < upto; ++k) {
    if (t.work.step()) return;
    if (rights[k].key != key) continue;
    parse_node* right = t.tables.nodes[rights[k].at].node;
    if (!subcat_agree(*rule, *right, kSecondPart)) continue;
    if (!apply_condition(*rule, *left, right, t.work.subcat_scratch)) continue;
    make_indexed_node(t, {rule, left, right, left->seg_start, right->seg_end});
    if (t.work.stopping()) return;
  }
}

// The turn of the node at list position t.at: on its first turn it meets
// every node behind it and its unary rules apply; later only the nodes behind
// it made since its last turn. The nodes behind it cannot grow during the
// turn, as every node made starts where this one starts.
void take_turn(const turn& t) {
  node_entry& entry = t.tables.nodes[t.at];
  const bool first_turn = entry.tried == kNeverTried;
  const std::uint32_t from = first_turn ? 0 : entry.tried;
  const auto& rights = t.tables.by_start[entry.behind];
  const std::uint32_t upto = rights.size();
  entry.tried = upto;
  parse_node* node = entry.node;
  for (grammar_rule* rule : t.rules.rules_for(*node->category)) {
    if (!subcat_agree(*rule, *node, kFirstPart)) continue;
    if (is_binary(*rule)) {
      try_binary(t, rule, node, rights, from, upto);
    } else if (first_turn && !t.work.step()) {
      try_unary(t, rule, node);
    }
    if (t.work.stopping()) return;
  }
}

// A node needs a turn before its first one and when nodes were made behind
// it since its last one.
bool needs_turn(const indexed_parse_tables& tables, std::uint32_t at) {
  const node_entry& entry = tables.nodes[at];
  return entry.tried != tables.by_start[entry.behind].size();
}
}  // namespace

std::size_t indexed_parse_tables::bytes() const {
  std::size_t total = nodes.bytes();
  total += by_start.capacity() * sizeof(by_start[0]);
  for (const auto& starting : by_start) total += starting.bytes();
  return total;
}

bool indexed_parse_applies(const node_list& nodes) {
  if (nodes.limit >= static_cast<long>(kNeverTried)) return false;
  for (const parse_node* node = nodes.head; node != nullptr; node = node->next) {
    if (node->seg_start < 1 || node->seg_start > node->seg_end) return false;
  }
  return true;
}

void make_all_nodes_indexed(parse_work& work, indexed_parse_tables& tables) {
  start_tables(work.nodes, tables);
  const rule_lookup& rules = current_rule_lookup(work.grammar, tables.own_rules);
  do {
    work.new_node_count = 0;
    for (std::uint32_t at = 0; at < tables.nodes.size(); ++at) {
      if (needs_turn(tables, at)) take_turn({work, tables, rules, at});
      if (work.stopping()) return;
    }
  } while (work.new_node_count > 0);
}
