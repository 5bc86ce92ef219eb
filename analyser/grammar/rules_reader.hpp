// The rules file and the grammar loader.
//
// A rules file is free-form text; a rule ends with "." (not with the line
// end), and line ends are ignored, so a rule may span lines and a line may
// hold several rules:
//   binary:  FIRST + SECOND = RESULT ; condition : label .
//   unary:   FIRST = RESULT ; condition : label .
// A part is a main category (its first four non-blank characters) and a
// subcategory text such as " GEN(1,2)NUM()"; the condition holds digits; the
// label is optional. Blanks are ignored outside the label. "$" outside the
// label starts a comment that runs to the line end, whatever its length.
// Inside the label every character but "." and ":" is label text.
#pragma once

#include <cstdio>
#include <string>

#include "analyser/base/arena.hpp"
#include "analyser/base/log_output.hpp"
#include "analyser/grammar/grammar_rule.hpp"
#include "analyser/grammar/rule_lookup.hpp"
#include "analyser/lexicon/category_table.hpp"

// The grammar: the rules in file order, entered through the first letter of
// their first part, and the same rules found by the category of a first
// component. Loaded once at start-up, read-only afterwards.
struct grammar_tables {
  std::string file_name;  // the rules file it was loaded from
  arena storage;          // rules, their value sets and conditions
  grammar_rule* rule_list = nullptr;
  grammar_rule* rule_tail = nullptr;
  grammar_rule* rule_index[kLetterSlots] = {};
  rule_lookup first_rules;  // built by read_rules over the rules it loaded
};

// Loads the rules of an open rules stream: empties rule_index, then appends
// every complete rule to rule_list, numbering rules from 1 in file order and
// entering each in the index slot of its first category's initial (when that
// slot is still empty and the initial has one). A rule that lacks a part,
// has its separators out of order, or is cut off by the end of the file is
// skipped with "read_grammar(): rule %d skipped" and keeps its number.
// Then builds `first_rules`.
// With tracing on, the rules text is echoed rule by rule; warnings and trace
// go to `log.out`. No memory: fatal "store_rule: malloc Fehler" (or the text
// of the table builder that ran out).
void read_rules(grammar_tables& grammar, category_table& categories, FILE* rules,
                const log_output& log);
