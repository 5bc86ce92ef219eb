// Sentences of the input text, one input line each.
#pragma once

#include <cstdio>

#include "analyser/driver/analyser_state.hpp"

// What one read of the input met.
enum class input_line {
  sentence,      // a sentence, in the buffer
  unreadable,    // under -utf8: a line that is no UTF-8 or holds a character the
                 // convention has no byte for; state.reading says what and why
  text_ended,    // a line without any byte of 32 or above: the end of the input
  input_ended,   // nothing left to read
};

// Reads the next line (or piece of one) from `stream` into `buffer` (size + 1
// bytes) and makes it a sentence.
//
// One line is one sentence; a line longer than size - 1 characters comes in
// pieces of size - 1 characters, each a sentence of its own, and a line end
// (LF or CR LF) directly behind a full piece ends that piece. The sentence is
// the text before the first sentence delimiter or control character, upper-
// cased (under -utf8 with the letters of ISO-8859-1), closed by one blank. A
// line without any byte of 32 or above ends the input. Reading from
// state.console shows message 7 first, but not again right after an
// unreadable line. An unreadable line is told on state.out ("FILE:LINE:
// COLUMN: REASON: bytes XX; sentence skipped") and counted in
// state.unreadable_lines; a sentence is counted in state.sentence_count.
// (The echo of a sentence read from a file is the printout's.)
input_line read_input_line(analyser_state& state, FILE* stream, unsigned char* buffer, int size);

// The next sentence, unreadable lines passed over, or null when the input has
// ended.
unsigned char* read_sentence(analyser_state& state, FILE* stream, unsigned char* buffer, int size);

// After the input text `stream` ended at a line without text: when it is a
// file (not the console, nor a pipe the run would wait on) and text follows
// that line, one line on state.errors says where the input ended and how many
// lines were not read: "NAME:LINE: the input ends here at a line without
// text; 2 lines after it were not read".
void report_unread_lines(analyser_state& state, FILE* stream);

// True for a stream over a regular file: reading it to its end cannot wait.
bool is_regular_file(FILE* stream);
