#include "analyser/grammar/parse_node.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/linked_list.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
// Value of a condition digit that stands for "all values" on the component
// side and for "not stored" on the result side.
constexpr int kAnyGroup = 0;

// Digits of one condition step: binary rules read triples, unary rules pairs.
constexpr int kBinaryStep = 3;
constexpr int kUnaryStep = 2;
}  // namespace

void node_list::clear() {
  storage.reset();
  head = nullptr;
  tail = nullptr;
  count = 0;
}

parse_node* keep_node(node_list& nodes, category_entry* category,
                      const subcat_value_set* subcat_values, parse_node* left, parse_node* right,
                      grammar_rule* rule, int seg_start, int seg_end, const char* label) {
  if (nodes.count >= nodes.limit) return nullptr;
  auto* node =
      needing_memory("keep_node: malloc Fehler", [&] { return nodes.storage.make<parse_node>(); });
  ++nodes.count;
  node->category = category;
  node->subcat_values = subcat_values;
  node->left_comp = left;
  node->right_comp = right;
  node->rule = rule;
  node->seg_start = seg_start;
  node->seg_end = seg_end;
  node->label = label;
  append_record(nodes.head, nodes.tail, node);
  return node;
}

// Every node built on `left` was made after it and so stands behind it in
// `node_list`; the walk starts there instead of at the head. The answer is the
// same, but a unary chain no longer costs a walk over the whole list per node.
bool node_exists(const node_list& nodes, const grammar_rule* rule, const parse_node* left,
                 const parse_node* right) {
  const parse_node* n = left != nullptr ? left : nodes.head;
  for (; n != nullptr; n = n->next) {
    if (n->left_comp == left && n->right_comp == right && n->rule == rule) return true;
  }
  return false;
}

// A copy of the count and groups of `scratch` in sentence storage, or null
// when the count is 0.
static const subcat_value_set* copy_scratch(arena& storage, const unsigned char* scratch) {
  if (scratch[0] == 0) return nullptr;
  return needing_memory("make_node: malloc Fehler", [&] {
    auto* values = static_cast<unsigned char*>(storage.allocate(scratch[0] + 1));
    copy_bytes(values, scratch, scratch[0] + 1);
    return values;
  });
}

void make_node(parse_work& work, const candidate& c) {
  if (node_exists(work.nodes, c.rule, c.left, c.right)) return;
  make_new_node(work, c);
}

parse_node* make_new_node(parse_work& work, const candidate& c) {
  ++work.new_node_count;
  category_entry* result = c.rule->parts[2].category;
  if (work.log.trace) {
    std::fprintf(work.log.out, "\n\t\t\tmake_node:hkr3=%p ", static_cast<void*>(result));
    write_text(work.log.out, result->name, result->name_length, work.log.utf8);
  }
  const subcat_value_set* values = copy_scratch(work.nodes.storage, work.subcat_scratch);
  parse_node* node = keep_node(work.nodes, result, values, c.left, c.right, c.rule, c.seg_start,
                               c.seg_end, c.rule->label);
  if (node == nullptr) {
    work.stopped = parse_end::node_limit;
  } else if (work.stop_at != nullptr && is_complete_analysis(*node, *work.stop_at)) {
    work.stopped = parse_end::first_analysis;
  }
  return node;
}

bool is_complete_analysis(const parse_node& node, const analysis_target& target) {
  // The span first: it rules out almost every node without a look at the name.
  if (node.seg_start != 1 || node.seg_end != target.word_count) return false;
  const category_entry& category = *node.category;
  return category.name_length >= target.start_length &&
         compare_bytes(category.name, target.start_category, target.start_length) == 0;
}

const parse_node* find_axiom_node(const parse_node* first, const analysis_target& target) {
  for (const parse_node* node = first; node != nullptr; node = node->next) {
    if (is_complete_analysis(*node, target)) return node;
  }
  return nullptr;
}

grammar_rule* first_rule_for(const grammar_tables& grammar, const parse_node& node) {
  return first_rule_of_letter(grammar, category_first_byte(*node.category));
}

grammar_rule* next_rule_for(const grammar_rule& rule, const parse_node& node) {
  return next_rule_of_letter(rule, category_first_byte(*node.category));
}

parse_node* find_adjacent_node(const parse_node* left, parse_node* from) {
  int target = left->seg_end + 1;
  for (parse_node* n = from; n != nullptr; n = n->next) {
    if (n->seg_start == target) return n;
  }
  return nullptr;
}

unsigned char subcat_group(const parse_node& node, int i) {
  if (i == kAnyGroup || node.subcat_values == nullptr || i > node.subcat_values[0]) {
    return kAllValues;
  }
  return node.subcat_values[i];
}

bool apply_condition(const grammar_rule& rule, const parse_node& left, const parse_node* right,
                     unsigned char* scratch) {
  const subcat_value_set* result = rule.parts[2].subcat_values;
  scratch[0] = 0;
  if (result != nullptr) copy_bytes(scratch, result, result[0] + 1);
  const condition_values* condition = rule.condition;
  if (condition == nullptr) return true;
  const int count = condition[0];
  const int step = right != nullptr ? kBinaryStep : kUnaryStep;
  // A step is taken while at least two digits remain; a missing result digit
  // of a binary step stores nothing.
  for (int d = 1; count - d + 1 >= kUnaryStep; d += step) {
    unsigned char v = subcat_group(left, condition[d]);
    int t = condition[d + 1];
    if (right != nullptr) {
      v &= subcat_group(*right, condition[d + 1]);
      if (v == 0) return false;
      t = d + 2 <= count ? condition[d + 2] : kAnyGroup;
    }
    if (t != kAnyGroup) scratch[t] = v;
  }
  return true;
}
