// The filter file: a plain text file of items "left=right", one a line, each
// naming a byte value and the byte value that replaces it in every line of
// the word lists. Lines beginning with "!" are comments; empty lines are
// ignored; blanks are ignored anywhere in an item, also inside a number.
#pragma once

#include <cstdio>
#include <span>
#include <string>

struct sorter_state;

// Characters that one side of an item may hold once its blanks are dropped;
// a longer side makes the item wrong.
constexpr std::size_t kSideCapacity = 11;

// Opens the filter file `name` through state.open_file and reads it with
// read_filter_items. When it cannot be opened, writes
// "\n--- Filter File not Found ---" to state.out, leaves filter_active off and
// returns -1.
int read_filter(sorter_state& state, const std::string& name);

// Resets filter_map to no change, sets filter_active and enters the items of
// `file` in file order, a later item for the same byte replacing an earlier
// one. The end of the file ends a last line that has no line feed. At the
// first wrong item writes "\n--- wrong filter item %s ---\n" with the line to
// state.err and returns -1, keeping the items before it. When the file cannot
// be read, writes "\n--- Filter File not Found ---" and returns -1. Returns 0
// when the whole file was read.
int read_filter_items(sorter_state& state, std::FILE* file);

// Replaces every byte of `line` before its first zero byte by its entry in
// filter_map. Each byte is translated once: items do not chain.
void apply_filter(const sorter_state& state, std::span<unsigned char> line);
