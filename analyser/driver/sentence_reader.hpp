// Sentences of the input text, one input line each.
#pragma once

#include <cstdio>

#include "analyser/driver/analyser_state.hpp"

// Reads the next sentence from `stream` into `buffer` (size + 1 bytes) and
// returns it, or null when the input has ended.
//
// One line is one sentence; a line longer than size - 1 characters comes in
// pieces of size - 1 characters, each a sentence of its own, and a line end
// (LF or CR LF) directly behind a full piece ends that piece. The sentence is
// the text before the first sentence delimiter or control character, upper-
// cased, closed by one blank. A line without any byte of 32 or above ends the
// input. Reading from state.console shows message 7 first. Counts
// state.sentence_count. (The echo of a sentence read from a file is the
// printout's.)
unsigned char* read_sentence(analyser_state& state, FILE* stream, unsigned char* buffer, int size);
