// The bracket form of an analysis: every constituent as its category name,
// followed by its components in parentheses, and the numbered subcategory
// listing that goes with it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/base/log_output.hpp"
#include "analyser/grammar/parse_node.hpp"

// The bracketed text of one analysis and the nodes in the order they were
// numbered (node k + 1 is entry k). Both grow as needed: an analysis of any
// size is written whole.
struct bracket_output {
  std::string bracket_text;
  std::vector<const parse_node*> numbered_nodes;
};

// Appends the bracket form of `node` and everything below it: the category
// name (and ":number" when `numbered`), then, when the node has components,
// "(", the first, a blank unless the first ended with ")", the second, ")".
// Numbers the nodes in text order into `numbered_nodes`. While tracing it
// writes "in draw_brackets()" for every node.
void draw_brackets(const parse_node* node, bool numbered, const log_output& log,
                   bracket_output& output);

// The bracket line of an analysis: "<", its bracket form, ">".
bracket_output bracket_line(const parse_node* axiom, bool numbered, const log_output& log);

// The bracket line with every word node's word behind its label and "=":
// "<SATZ(NPHR(DETA=DER NOMN=HUND)VPHR(VERB=BELLT))>", numbered
// "<SATZ:1(NPHR:2(DETA:3=DER ...". `words` holds the word at every position
// (position_words). Traces nothing.
std::string bracket_line_with_words(const parse_node* axiom, bool numbered,
                                    const std::vector<std::string_view>& words);

// The words of the word nodes (the leaves) of `output`, left to right.
std::vector<std::string_view> leaf_words(const bracket_output& output,
                                         const std::vector<std::string_view>& words);

// One line ":k " and the value set for every numbered node.
void print_numbered_subcats(std::FILE* out, const bracket_output& output);
