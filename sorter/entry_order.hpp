// Putting the list of entries into the order of a walk: ascending byte
// order of the texts, or groups of falling count, each group in ascending
// byte order. The sort by text is a radix sort from the first byte on, in
// place: it distributes the entries by one byte of their keys at a time and
// reads their tails only where texts share all the bytes of their keys.
#pragma once

#include <cstddef>

#include "sorter/word_entry.hpp"

// The orders of a walk: ascending order of the texts, or groups of falling
// count, each group in ascending order of the texts.
enum class entry_order { by_text, by_falling_count };

// Groups of fewer entries than this are put in order by comparing them
// rather than distributed: a pass over 256 counters would not pay for
// itself.
constexpr std::size_t kLeastDistributedEntries = 192;

// Lists of at least this many entries are sorted on two threads where the
// machine has two processors or more (a thread costs some 50 µs to start).
constexpr std::size_t kLeastSharedEntries = std::size_t{1} << 15;

// Sorts the `count` entries of `list`, whose tails are in `tails`, into
// ascending order of their texts; entries of one text end up side by side.
// Needs no memory beyond the list.
void sort_by_text(word_entry* list, std::size_t count, const tail_blocks& tails);

// Reorders the `count` entries of `list`, which are in ascending order of
// their texts, into groups of falling count, keeping that order within each
// group. A list whose entries all have one count is left as it is. Takes
// memory for half the list when it can, and sorts slower without it.
// Returns whether it moved any entry.
bool order_by_falling_count(word_entry* list, std::size_t count);
