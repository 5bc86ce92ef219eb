#include "analyser/grammar/reference_parser.hpp"

#include "analyser/grammar/parse_node.hpp"

namespace {
// Tries every node from the head of the list that starts right behind the
// current left component as second component of `rule`.
void try_right_components(AnalyserState& state, grammar_rule* rule) {
  parse_node* left = state.current_left;
  parse_node* from = state.node_list;
  while (!state.node_limit_reached) {
    parse_node* right = find_adjacent_node(left, from);
    if (right == nullptr) return;
    state.current_right = right;
    if (state.trace_flag) {
      std::fprintf(state.out, "\t\tla,right_comp=%p %p\n", static_cast<void*>(from),
                   static_cast<void*>(right));
    }
    from = right->next;
    if (part_matches(*rule, *right, kSecondPart)) {
      state.current_seg_end = right->seg_end;
      if (apply_condition(*rule, *left, right, state.subcat_scratch)) make_node(state, rule);
    }
  }
}

// Applies `rule`, whose first part `node` matches, with `node` as first component.
void apply_rule(AnalyserState& state, grammar_rule* rule, parse_node* node) {
  state.current_left = node;
  state.current_seg_start = node->seg_start;
  state.current_seg_end = node->seg_end;
  if (state.trace_flag) {
    std::fprintf(state.out, "\tleft_comp,seg_start,seg_end=%p %4d %4d\n", static_cast<void*>(node),
                 state.current_seg_start, state.current_seg_end);
  }
  state.current_right = nullptr;
  if (is_binary(*rule)) {
    try_right_components(state, rule);
  } else if (apply_condition(*rule, *node, nullptr, state.subcat_scratch)) {
    make_node(state, rule);
  }
}

// Tries `node` as first component of every rule of its initial letter.
void try_rules(AnalyserState& state, parse_node* node) {
  for (grammar_rule* rule = first_rule_for(state, *node);
       rule != nullptr && !state.node_limit_reached; rule = next_rule_for(*rule, *node)) {
    if (state.trace_flag) {
      std::fprintf(state.out, "ka,ra,rnu= %p %p %2d\n", static_cast<void*>(node),
                   static_cast<void*>(rule), rule->rule_number);
    }
    if (part_matches(*rule, *node, kFirstPart)) apply_rule(state, rule, node);
  }
}
}  // namespace

void make_all_nodes_reference(AnalyserState& state) {
  do {
    state.new_node_count = 0;
    for (parse_node* node = state.node_list; node != nullptr && !state.node_limit_reached;
         node = node->next) {
      try_rules(state, node);
    }
  } while (state.new_node_count > 0 && !state.node_limit_reached);
}
