// The pass-wise bottom-up parse of one sentence.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Makes every node the rules allow over the word nodes in `node_list`, then
// prints the results of the sentence. Each pass tries every node, in list
// order, as first component of the rules of its initial letter (in file
// order) and, for a binary rule, every node starting right behind it (in list
// order) as second component; passes repeat until one makes no node. That
// order decides which analysis is printed. At the node limit the sentence is
// abandoned with a message instead of results.
// The nodes are made by the indexed parser (chart_parser.hpp); a traced parse
// prints every combination it examines and so runs the reference
// (reference_parser.hpp), which makes the same nodes in the same order.
// Precondition: `node_list` holds the sentence's word nodes, word_count >= 1.
void parse_sentence(AnalyserState& state);
