#include "analyser/grammar/reference_parser.hpp"

namespace {
// Tries every node from the head of the list that starts right behind the
// left component as second component of the candidate's rule.
void try_right_components(parse_work& work, candidate c) {
  parse_node* from = work.nodes.head;
  while (parse_node* right = find_adjacent_node(c.left, from)) {
    if (work.step()) return;
    if (work.log.trace) {
      std::fprintf(work.log.out, "\t\tla,right_comp=%p %p\n", static_cast<void*>(from),
                   static_cast<void*>(right));
    }
    from = right->next;
    if (!part_matches(*c.rule, *right, kSecondPart)) continue;
    c.right = right;
    c.seg_end = right->seg_end;
    if (apply_condition(*c.rule, *c.left, right, work.subcat_scratch)) make_node(work, c);
    if (work.stopping()) return;
  }
}

// Applies `rule`, whose first part `node` matches, with `node` as first component.
void apply_rule(parse_work& work, grammar_rule* rule, parse_node* node) {
  const candidate c{rule, node, nullptr, node->seg_start, node->seg_end};
  if (work.log.trace) {
    std::fprintf(work.log.out, "\tleft_comp,seg_start,seg_end=%p %4d %4d\n",
                 static_cast<void*>(node), c.seg_start, c.seg_end);
  }
  if (is_binary(*rule)) {
    try_right_components(work, c);
  } else if (apply_condition(*rule, *node, nullptr, work.subcat_scratch)) {
    make_node(work, c);
  }
}

// Tries `node` as first component of every rule of its initial letter.
void try_rules(parse_work& work, parse_node* node) {
  for (grammar_rule* rule = first_rule_for(work.grammar, *node); rule != nullptr;
       rule = next_rule_for(*rule, *node)) {
    if (work.step()) return;
    if (work.log.trace) {
      std::fprintf(work.log.out, "ka,ra,rnu= %p %p %2d\n", static_cast<void*>(node),
                   static_cast<void*>(rule), rule->rule_number);
    }
    if (part_matches(*rule, *node, kFirstPart)) apply_rule(work, rule, node);
    if (work.stopping()) return;
  }
}
}  // namespace

void make_all_nodes_reference(parse_work& work) {
  do {
    work.new_node_count = 0;
    for (parse_node* node = work.nodes.head; node != nullptr; node = node->next) {
      try_rules(work, node);
      if (work.stopping()) return;
    }
  } while (work.new_node_count > 0);
}
