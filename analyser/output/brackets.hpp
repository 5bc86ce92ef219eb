// The results of a parsed sentence: the first complete analysis as a
// bracketed line (with numbered subcategory values, tree and node table on
// request), or message 10 and the node table when there is none.
#pragma once

#include <string>
#include <vector>

#include "analyser/driver/analyser_state.hpp"

// The bracketed text of one analysis and the nodes in the order they were
// numbered (node k + 1 is entry k). Both grow as needed: an analysis of any
// size is written whole.
struct bracket_output {
  std::string bracket_text;
  std::vector<const parse_node*> numbered_nodes;
};

// Prints the results of the sentence in `node_list` and, in console mode,
// waits for the user.
void print_results(AnalyserState& state);

// The first node of the chain whose category name begins with `name` (byte for
// byte) and that covers words 1 to `word_count`, or null.
const parse_node* find_axiom_node(const AnalyserState& state, const parse_node* first,
                                  const std::string& name);

// Appends the bracket form of `node` and everything below it: the category
// name (and ":number" under OUT_SUBCAT), then, when the node has components,
// "(", the first, a blank unless the first ended with ")", the second, ")".
// Numbers the nodes in text order into `numbered_nodes`.
void draw_brackets(AnalyserState& state, const parse_node* node, bracket_output& output);

// One line ":k " and the value set for every numbered node.
void print_numbered_subcats(AnalyserState& state, const bracket_output& output);
