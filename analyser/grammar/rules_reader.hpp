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

#include "analyser/driver/analyser_state.hpp"

// Reads the rules file name from the next line of `config_file`, loads that
// file into state.rule_list and state.rule_index, and closes it. Ends the run
// with "no entry for grammar file in the confi.file" when the line is
// missing, with "Regeln: Dateifehler" when the file cannot be opened.
void read_grammar(AnalyserState& state, FILE* config_file);

// Loads the rules of an open rules stream: empties rule_index, then appends
// every complete rule to rule_list, numbering rules from 1 in file order and
// entering each in the index slot of its first category's initial (when that
// slot is still empty and the initial has one). A rule that lacks a part,
// has its separators out of order, or is cut off by the end of the file is
// skipped with "read_grammar(): rule %d skipped" and keeps its number.
// With tracing on, the rules text is echoed rule by rule.
void read_rules(AnalyserState& state, FILE* rules);
