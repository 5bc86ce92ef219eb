// The pass-wise bottom-up parse of one sentence.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Makes every node the rules allow over the word nodes in `node_list`, then
// prints the results of the sentence.
void parse_sentence(AnalyserState& state);
