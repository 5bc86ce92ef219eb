// The node table: every node of the sentence in the order it was made.
#pragma once

#include <cstdio>

#include "analyser/base/log_output.hpp"
#include "analyser/grammar/parse_node.hpp"

// Prints the sentence, the heading, the rule of dashes and one row per node
// of the chain from `first`: identity, the four key characters of its
// category (a shorter name filled with blanks), left and right component,
// rule number (-1 for a word node), segment and value set; the texts in
// UTF-8 with `log.utf8`.
void print_node_list(const log_output& log, const unsigned char* sentence,
                     const parse_node* first);

// Prints each group of the set as " (" and its values from highest to lowest,
// separated by ",", then ")"; a group of all values (or none) as " ()".
// Prints nothing for an absent set. No line end.
void print_subcat_values(std::FILE* out, const subcat_value_set* values);

// One group of a set as print_subcat_values writes it: " (3,1)" or " ()".
void print_subcat_group(std::FILE* out, unsigned char group);
