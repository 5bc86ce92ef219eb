// The lexical analysis of a sentence into word nodes.
#pragma once

#include "analyser/driver/analyser_state.hpp"
#include "analyser/lexicon/word_lookup.hpp"

// Cuts the sentence (terminated, upper-cased, closed by a blank) into words
// at `word_end_chars` and appends one word node per reading to `node_list`:
// a word found whole gets its readings with their labels; a word beginning
// with a digit is a number and gets the first "NULL" entry with its own text
// as label; any other word is split into stem and ending. Returns the number
// of word positions, 0 without words, -1 after a word that was neither found
// nor split (message 6 and the word) or when the node limit stopped it.
// Starts the sentence's node count.
int lex_analysis(AnalyserState& state, const unsigned char* sentence);

// Tries the word as a stem of at least three bytes followed by an ending of
// `endings_list`, shortest ending first and, for one length, in file order;
// both halves must be in `index`. On success appends the stem's readings at
// `position` and the ending's at `position` + 1 (empty labels) and returns
// `position` + 1; otherwise makes nothing and returns 0.
int split_ending(AnalyserState& state, const unsigned char* word, const letter_index& index,
                 int position, int length);
