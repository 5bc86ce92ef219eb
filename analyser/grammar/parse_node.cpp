#include "analyser/grammar/parse_node.hpp"

#include "analyser/driver/console.hpp"
#include "analyser/driver/fatal_error.hpp"
#include "analyser/driver/text_utils.hpp"
#include "analyser/lexicon/category_table.hpp"

namespace {
// Value of a condition digit that stands for "all values" on the component
// side and for "not stored" on the result side.
constexpr int kAnyGroup = 0;
constexpr unsigned char kAllValues = 0xFF;

// Digits of one condition step: binary rules read triples, unary rules pairs.
constexpr int kBinaryStep = 3;
constexpr int kUnaryStep = 2;
}  // namespace

unsigned char category_key_byte(const category_entry& category, int i) {
  return i < category.name_length ? category.name[i] : ' ';
}

unsigned char category_first_byte(const category_entry& category) {
  return category.name_length > 0 ? category.name[0] : 0;
}

parse_node* keep_node(AnalyserState& state, category_entry* category,
                      const subcat_value_set* subcat_values, parse_node* left, parse_node* right,
                      grammar_rule* rule, int seg_start, int seg_end, const char* label) {
  if (state.node_count >= state.node_limit) {
    state.node_limit_reached = true;
    return nullptr;
  }
  auto* node = state.sentence.make<parse_node>();
  if (node == nullptr) fatal_error(state, "keep_node: malloc Fehler");
  ++state.node_count;
  node->category = category;
  node->subcat_values = subcat_values;
  node->left_comp = left;
  node->right_comp = right;
  node->rule = rule;
  node->seg_start = seg_start;
  node->seg_end = seg_end;
  node->label = label;
  append_node(state, node);
  return node;
}

void append_node(AnalyserState& state, parse_node* node) {
  node->next = nullptr;
  if (state.node_list == nullptr) {
    state.node_list = node;
  } else {
    state.node_tail->next = node;
  }
  state.node_tail = node;
}

// Every node built on `left` was made after it and so stands behind it in
// `node_list`; the walk starts there instead of at the head. The answer is the
// same, but a unary chain no longer costs a walk over the whole list per node.
bool node_exists(const AnalyserState& state, const grammar_rule* rule, const parse_node* left,
                 const parse_node* right) {
  const parse_node* n = left != nullptr ? left : state.node_list;
  for (; n != nullptr; n = n->next) {
    if (n->left_comp == left && n->right_comp == right && n->rule == rule) return true;
  }
  return false;
}

// A copy of the count and groups of `scratch` in sentence storage, or null
// when the count is 0.
static const subcat_value_set* copy_scratch(AnalyserState& state, const unsigned char* scratch) {
  if (scratch[0] == 0) return nullptr;
  auto* values = static_cast<unsigned char*>(state.sentence.allocate(scratch[0] + 1));
  if (values == nullptr) fatal_error(state, "make_node: malloc Fehler");
  copy_bytes(values, scratch, scratch[0] + 1);
  return values;
}

void make_node(AnalyserState& state, grammar_rule* rule) {
  if (node_exists(state, rule, state.current_left, state.current_right)) return;
  make_new_node(state, rule);
}

parse_node* make_new_node(AnalyserState& state, grammar_rule* rule) {
  ++state.new_node_count;
  category_entry* result = rule->parts[2].category;
  if (state.trace_flag) {
    std::fprintf(state.out, "\n\t\t\tmake_node:hkr3=%p ", static_cast<void*>(result));
    put_bytes(state.out, result->name, result->name_length);
  }
  return keep_node(state, result, copy_scratch(state, state.subcat_scratch), state.current_left,
                   state.current_right, rule, state.current_seg_start, state.current_seg_end,
                   rule->label);
}

// `rule` unless it begins with a greater byte than `node`'s category: there
// the scan of a letter's rules ends.
static grammar_rule* within_letter_run(grammar_rule* rule, const parse_node& node) {
  if (rule == nullptr) return nullptr;
  const bool past =
      category_first_byte(*rule->parts[0].category) > category_first_byte(*node.category);
  return past ? nullptr : rule;
}

grammar_rule* first_rule_for(const AnalyserState& state, const parse_node& node) {
  const int slot = letter_slot(category_first_byte(*node.category));
  return slot < 0 ? nullptr : within_letter_run(state.rule_index[slot], node);
}

grammar_rule* next_rule_for(const grammar_rule& rule, const parse_node& node) {
  return within_letter_run(rule.next, node);
}

parse_node* find_adjacent_node(const parse_node* left, parse_node* from) {
  int target = left->seg_end + 1;
  for (parse_node* n = from; n != nullptr; n = n->next) {
    if (n->seg_start == target) return n;
  }
  return nullptr;
}

// True when the two categories agree in their identifying key; one and the
// same entry needs no comparison.
static bool same_category_key(const category_entry& a, const category_entry& b) {
  if (&a == &b) return true;
  for (int i = 0; i < kCategoryKeyLength; ++i) {
    if (category_key_byte(a, i) != category_key_byte(b, i)) return false;
  }
  return true;
}

bool part_matches(const grammar_rule& rule, const parse_node& node, int k) {
  return same_category_key(*rule.parts[k - 1].category, *node.category) &&
         subcat_agree(rule, node, k);
}

bool subcat_agree(const grammar_rule& rule, const parse_node& node, int k) {
  const subcat_value_set* a = rule.parts[k - 1].subcat_values;
  const subcat_value_set* b = node.subcat_values;
  if (a == nullptr || b == nullptr) return true;
  if (a[0] != b[0]) return false;
  for (int i = 1; i <= a[0]; ++i) {
    if ((a[i] & b[i]) == 0) return false;
  }
  return true;
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

void report_node_limit(AnalyserState& state) {
  std::fprintf(state.out, "\nNode limit of %ld nodes reached: sentence abandoned\n",
               state.node_limit);
  if (state.console_input == 1) wait_for_user(state);
}
