// One pass of writing the sorted list to the output file.
#pragma once

#include <cstdio>

struct sorter_state;

// Writes every stored entry to `file`, one a line: its text (in UTF-8 with
// state.utf8_input, see utf8_of_code), with state.with_frequencies a blank
// and its count, then a line feed. Without state.by_frequency the entries
// come in ascending byte order of their texts as stored; with it, in groups
// of falling count, each group in that order. The lines go to the file in
// blocks of kOutputBufferBytes. Returns false at the first block that cannot
// be written whole, leaving the rest unwritten.
bool write_list(const sorter_state& state, std::FILE* file);
