// Word lookup and the lexical analysis of a sentence into word nodes.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Cuts the sentence (terminated, upper-cased, closed by a blank) into words
// at `word_end_chars` and appends one word node per reading to `node_list`.
// Returns the number of word positions, 0 without words, -1 after a word that
// was neither found nor split.
int lex_analysis(AnalyserState& state, const unsigned char* sentence);
