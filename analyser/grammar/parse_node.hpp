// Parse nodes of the current sentence: keeping them in `node_list`, making
// rule nodes, and the subcategory agreement that decides whether a rule
// applies to a node (and which values the new node carries).
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Numbers of the rule parts that components are matched against.
constexpr int kFirstPart = 1;
constexpr int kSecondPart = 2;

// Characters of a category name that identify the category. A shorter name is
// read as filled up with blanks, so "NP" is "NP  " and differs from "NPRO".
constexpr int kCategoryKeyLength = 4;

// Byte i (0 <= i < kCategoryKeyLength) of the category's identifying key.
unsigned char category_key_byte(const category_entry& category, int i);

// First byte of the category's name, 0 for an empty name.
unsigned char category_first_byte(const category_entry& category);

// Allocates a node in `state.sentence` and appends it to `node_list`. The value
// set and the label are referred to, not copied: they must live as long as the
// sentence. Returns the node, or null (making nothing) when the sentence has
// reached `state.node_limit`; `state.node_limit_reached` then tells the callers
// to stop. No memory: fatal_error "keep_node: malloc Fehler".
parse_node* keep_node(AnalyserState& state, category_entry* category,
                      const subcat_value_set* subcat_values, parse_node* left, parse_node* right,
                      grammar_rule* rule, int seg_start, int seg_end, const char* label);

// Links `node` behind the last node of `node_list`.
void append_node(AnalyserState& state, parse_node* node);

// True when `node_list` already holds a node of `rule` over exactly these
// components (compared by identity; two null right components are the same).
bool node_exists(const AnalyserState& state, const grammar_rule* rule, const parse_node* left,
                 const parse_node* right);

// Makes the node of `rule` over the current components and segment, with the
// values left in `subcat_scratch` by `apply_condition`, unless that node
// exists already. Raises `new_node_count` for a new node.
void make_node(AnalyserState& state, grammar_rule* rule);

// make_node without the search for an existing node, for a caller that tries
// every combination of rule and components only once. Returns the new node,
// or null at the node limit.
parse_node* make_new_node(AnalyserState& state, grammar_rule* rule);

// The first rule that `node` may begin: the rule in the `rule_index` slot of
// its initial byte; null when that byte has no slot or the slot is empty.
grammar_rule* first_rule_for(const AnalyserState& state, const parse_node& node);

// The rule after `rule` that `node` may still begin: the scan of a letter's
// rules stops at the first rule with a greater initial byte (the rules file
// is sorted), or at the end of the list.
grammar_rule* next_rule_for(const grammar_rule& rule, const parse_node& node);

// True for a rule with a second part.
inline bool is_binary(const grammar_rule& rule) { return rule.parts[1].category != nullptr; }

// The first node from `from` onwards that starts right behind `left`, or null.
parse_node* find_adjacent_node(const parse_node* left, parse_node* from);

// True when `node` has the category of part k (1 or 2) of `rule` and agrees
// with that part's value set.
bool part_matches(const grammar_rule& rule, const parse_node& node, int k);

// Value-set agreement of part k of `rule` with `node`: a missing set on either
// side agrees with everything; otherwise the group counts must be equal and
// each pair of groups must share a value.
bool subcat_agree(const grammar_rule& rule, const parse_node& node, int k);

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

// Tells the user that the current sentence was abandoned at the node limit
// (and waits in console mode, as after every sentence's results).
void report_node_limit(AnalyserState& state);
