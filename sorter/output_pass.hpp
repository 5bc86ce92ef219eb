// One pass of writing the sorted list to the output file.
#pragma once

#include <cstdio>

struct sorter_state;

// Writes every stored entry to `file`, one a line: its text, with
// state.with_frequencies a blank and its count, then a line feed. Without
// state.by_frequency the entries come in ascending byte order; with it, in
// groups of falling count, each group in ascending byte order. Returns false
// at the first entry whose writing fails, leaving the rest unwritten.
bool write_list(const sorter_state& state, std::FILE* file);
