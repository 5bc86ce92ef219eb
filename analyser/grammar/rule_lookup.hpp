// The rules a node may begin as first component, found by the node's
// category instead of a walk over the rules of its initial letter with a
// comparison of names at every rule.
//
// For a node whose category begins with byte c the parser tries the rules
// from the `rule_index` slot of c up to the first rule whose first part
// begins with a greater byte (the rules file is sorted), and of those only
// the ones whose first part has the node's category key. Which rules these
// are depends on the key alone, so the lookup holds them, in that order, for
// every key that begins a rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "analyser/grammar/grammar_rule.hpp"

struct grammar_tables;

// The first rule of the scan for a category that begins with `initial`: the
// rule in its `rule_index` slot, or null when the byte has no slot, the slot
// is empty, or its rule begins with a greater byte.
grammar_rule* first_rule_of_letter(const grammar_tables& grammar, unsigned char initial);

// The rule after `rule` in that scan: null at the end of the list or at a
// rule whose first part begins with a greater byte than `initial`.
grammar_rule* next_rule_of_letter(const grammar_rule& rule, unsigned char initial);

class rule_lookup {
 public:
  // Builds the lookup over the rules `grammar` holds now.
  // No memory: throws std::bad_alloc.
  void build(const grammar_tables& grammar);

  // True when it was built over the rules `grammar` holds now: a rule
  // appended since then makes it stale.
  bool is_current_for(const grammar_tables& grammar) const;

  // The rules the scan of the category's initial letter reaches and whose
  // first part has the category's key, in file order.
  std::span<grammar_rule* const> rules_for(const category_entry& category) const;

 private:
  // The rules of one key; an empty slot has begin == end.
  struct slot {
    std::uint32_t key = 0;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
  };
  // The slot of `key`, or the empty slot where it would go.
  std::size_t slot_of(std::uint32_t key) const;

  std::vector<slot> slots_;  // open addressing, a power of two, at most half full
  int slot_bits_ = 0;
  std::vector<grammar_rule*> rules_;
  const grammar_rule* last_rule_ = nullptr;  // the grammar's last rule when built
};

// The grammar's own lookup (`first_rules`), or, when rules were added to the
// grammar since it was built, `own` built over the rules as they stand.
const rule_lookup& current_rule_lookup(const grammar_tables& grammar, rule_lookup& own);
