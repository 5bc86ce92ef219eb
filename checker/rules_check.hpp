// The rules check: reads a rules file character by character, echoes it part
// by part, and reports the first syntax error (with "-all", the first of
// every rule).
//
// A rule is a binary rule "first part + second part = result part ;
// condition [: label] ." or a unary rule "first part = result part ;
// condition [: label] .", over any number of lines. A part is a main category
// and optional groups such as GEN(1,2). Line ends are not echoed; every part
// goes on a line of its own instead. "$" starts a comment that runs to its
// line end and is echoed whole.
#pragma once

#include <cstdio>
#include <string_view>

#include "checker/checker_state.hpp"

// Checks `file` and returns the number of rules. An error gives up the rule
// it is found in; the check then stops, or with "-all" goes on behind the
// "." that ends that rule.
long long check_rules(checker_state& state, FILE* file);

// True when the first character of `last_entry` is greater than the first
// character of `frame_text` (signed bytes; 0 for an empty text); then it has
// first written "\nsort error: last_entry=%s frame=%s\n".
bool check_rule_order(checker_state& state, std::string_view frame_text,
                      std::string_view last_entry);
