// One rule of the grammar: two components (the second absent in a unary
// rule) and the result they make, each a category with a value set, the
// condition that carries values over, and a label.
#pragma once

#include "analyser/lexicon/category_table.hpp"

// Characters kept of a rule label.
constexpr int kRuleLabelLength = 19;

struct rule_part {
  category_entry* category;  // null for part 2 of a unary rule
  const subcat_value_set* subcat_values;
};

struct grammar_rule {
  grammar_rule* next;
  rule_part parts[3];  // first component, second component, result
  const condition_values* condition;
  char label[kRuleLabelLength + 5];  // terminated
  int rule_number;
  long line;  // the line of the rules file where the rule begins, from 1
};

// True for a rule with a second part.
inline bool is_binary(const grammar_rule& rule) { return rule.parts[1].category != nullptr; }
