// Parse nodes of the current sentence: keeping them in the node list, making
// rule nodes, and the subcategory agreement that decides whether a rule
// applies to a node (and which values the new node carries).
#pragma once

#include "analyser/base/arena.hpp"
#include "analyser/base/deadline.hpp"
#include "analyser/base/log_output.hpp"
#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/category_table.hpp"

// Numbers of the rule parts that components are matched against.
constexpr int kFirstPart = 1;
constexpr int kSecondPart = 2;

// Default bound on the nodes of one sentence. A unary cycle in the grammar,
// or ambiguity that explodes, would otherwise make nodes until memory runs
// out; at the bound the sentence is abandoned with a message (about 640 MB
// of nodes at most).
constexpr long kNodeLimit = 10'000'000;

// One constituent of the current sentence.
struct parse_node {
  parse_node* next;
  category_entry* category;
  const subcat_value_set* subcat_values;
  parse_node* left_comp;
  parse_node* right_comp;
  grammar_rule* rule;
  const char* label;  // the rule's label, the entry's label or a number's text
  int seg_start;
  int seg_end;
};

// The nodes of the current sentence in creation order, with the storage of
// the nodes, their value sets and labels, and the bound on their number.
struct node_list {
  node_list() = default;
  // Nodes whose storage begins with a block of `first_block_size` bytes.
  explicit node_list(std::size_t first_block_size) : storage(first_block_size) {}

  arena storage;
  parse_node* head = nullptr;
  parse_node* tail = nullptr;
  long count = 0;
  long limit = kNodeLimit;

  // Abandons the nodes for the next sentence; the storage is reused.
  void clear();
};

// How the making of a sentence's nodes ended.
enum class parse_end {
  complete,        // every node the rules allow was made
  node_limit,      // the node limit stopped it
  first_analysis,  // it stopped at the first complete analysis, as asked
  timeout,         // its deadline passed
};

// Allocates a node in the list's storage and appends it. The value set and
// the label are referred to, not copied: they must live as long as the
// sentence. At the node limit it makes nothing and returns null.
// No memory: fatal "keep_node: malloc Fehler".
parse_node* keep_node(node_list& nodes, category_entry* category,
                      const subcat_value_set* subcat_values, parse_node* left, parse_node* right,
                      grammar_rule* rule, int seg_start, int seg_end, const char* label);

// True when the list already holds a node of `rule` over exactly these
// components (compared by identity; two null right components are the same).
bool node_exists(const node_list& nodes, const grammar_rule* rule, const parse_node* left,
                 const parse_node* right);

// One rule application about to be made: the rule, the components it joins
// and the words they cover.
struct candidate {
  grammar_rule* rule;
  parse_node* left;
  parse_node* right;  // null for a unary rule
  int seg_start;
  int seg_end;
};

// The nodes of a complete analysis: a category whose name begins with
// `start_category` (byte for byte), covering words 1 to `word_count`.
struct analysis_target {
  const unsigned char* start_category;
  int start_length;
  int word_count;
};

bool is_complete_analysis(const parse_node& node, const analysis_target& target);

// The first node of the chain from `first` that is a complete analysis, or null.
const parse_node* find_axiom_node(const parse_node* first, const analysis_target& target);

struct indexed_parse_tables;

// What one parse works with: the rules, the sentence's nodes, where trace
// lines go, the analysis it may stop at (null: make every node), the side
// tables of the indexed parser kept from sentence to sentence (null: fresh
// ones), the time by which it must end (none: no bound), the nodes made in
// the current pass, how it stopped, and the value set of the node about to
// be made.
struct parse_work {
  const grammar_tables& grammar;
  node_list& nodes;
  log_output log;
  const analysis_target* stop_at = nullptr;
  indexed_parse_tables* tables = nullptr;
  // Once it has passed, the parse ends with parse_end::timeout; the clock is
  // read every kStepsPerClockLook combinations examined.
  steady_deadline deadline{};
  long new_node_count = 0;
  // Why the parse stops early; `complete` while it goes on. The loops of
  // the parsers test it after every node made.
  parse_end stopped = parse_end::complete;
  unsigned steps = 0;  // combinations examined, for the deadline
  unsigned char subcat_scratch[kMaxGroups + 1] = {};

  bool stopping() const { return stopped != parse_end::complete; }
  // Counts one combination examined; true when the parse must stop (the
  // deadline has just passed, or it stopped before).
  bool step() {
    if (deadline_passed(deadline, steps)) stopped = parse_end::timeout;
    return stopping();
  }
};

// Makes the node of the candidate with the values left in `subcat_scratch` by
// `apply_condition`, unless the list holds it already. Raises
// `new_node_count` for a new node; stops the parse as make_new_node does.
void make_node(parse_work& work, const candidate& c);

// make_node without the search for an existing node, for a caller that tries
// every combination only once. Returns the new node; when it is the analysis
// `stop_at` asks for, it sets `stopped` to first_analysis. At the node limit
// it makes nothing, sets `stopped` to node_limit and returns null.
// No memory for its value set: fatal "make_node: malloc Fehler".
parse_node* make_new_node(parse_work& work, const candidate& c);

// The first rule that `node` may begin: the rule in the `rule_index` slot of
// its initial byte; null when that byte has no slot or the slot is empty.
grammar_rule* first_rule_for(const grammar_tables& grammar, const parse_node& node);

// The rule after `rule` that `node` may still begin: the scan of a letter's
// rules stops at the first rule with a greater initial byte (the rules file
// is sorted), or at the end of the list.
grammar_rule* next_rule_for(const grammar_rule& rule, const parse_node& node);

// The first node from `from` onwards that starts right behind `left`, or null.
parse_node* find_adjacent_node(const parse_node* left, parse_node* from);

// True when the two categories agree in their identifying key.
inline bool same_category_key(const category_entry& a, const category_entry& b) {
  return a.key == b.key;
}

// Value-set agreement of part k of `rule` with `node`: a missing set on either
// side agrees with everything; otherwise the group counts must be equal and
// each pair of groups must share a value.
inline bool subcat_agree(const grammar_rule& rule, const parse_node& node, int k) {
  const subcat_value_set* a = rule.parts[k - 1].subcat_values;
  const subcat_value_set* b = node.subcat_values;
  if (a == nullptr || b == nullptr) return true;
  if (a[0] != b[0]) return false;
  for (int i = 1; i <= a[0]; ++i) {
    if ((a[i] & b[i]) == 0) return false;
  }
  return true;
}

// True when `node` has the category of part k (1 or 2) of `rule` (the same
// key) and agrees with that part's value set.
inline bool part_matches(const grammar_rule& rule, const parse_node& node, int k) {
  return rule.parts[k - 1].category->key == node.category->key && subcat_agree(rule, node, k);
}

// Group i of the node's value set; 0xFF (all values) for i = 0, and also for a
// group the node does not have (no value set, or fewer groups), which
// constrains nothing, as a missing value set agrees with everything.
unsigned char subcat_group(const parse_node& node, int i);

// Copies part 3's value set into `scratch` (count 0 without one) and applies
// the rule's condition: triples (left group, right group, result group) for a
// binary rule, pairs (component group, result group) for a unary one (`right`
// null). Returns false when a binary triple's groups share no value. An
// incomplete trailing triple still has to agree but stores nothing; a final
// single digit is ignored. `scratch` must hold kMaxGroups + 1 bytes.
bool apply_condition(const grammar_rule& rule, const parse_node& left, const parse_node* right,
                     unsigned char* scratch);
