// Putting the list of entries into the order of a walk: ascending byte
// order of the texts, or groups of falling count, each group in ascending
// byte order. The sort is a radix sort from the first byte on, in place: it
// distributes the entries by one byte of their key at a time, a number that
// holds eight bytes of the text, and looks at the texts themselves only
// every eight bytes, where the key of a group of equal beginnings is taken
// anew.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sorter/entry_blocks.hpp"

// An entry of the list, with the hash of its text, by which the store's
// table places it, and the key it is sorted by.
struct listed_entry {
  std::uint64_t key;
  entry_ref entry;
  std::uint32_t hash;
};

// The orders of a walk: ascending order of the texts, or groups of falling
// count, each group in ascending order of the texts.
enum class entry_order { by_text, by_falling_count };

// Compares two terminated texts byte by byte as unsigned values: negative
// when `a` sorts first, positive when `b` does, 0 only for identical texts.
// A text that is the beginning of the other sorts first.
int compare_text(const unsigned char* a, const unsigned char* b);

// Groups of fewer entries than this are put in order by insertion rather
// than distributed: a pass over 256 counters would not pay for itself.
constexpr std::size_t kLeastDistributedEntries = 32;

// Texts whose first this many bytes are equal are ordered by comparing them
// whole rather than a byte at a time, which bounds the depth of the sort
// whatever the length of the texts.
constexpr std::size_t kMostKeyedBytes = 256;

// Sorts the `count` entries of `list`, which live in `entries` and whose
// texts are all different, into ascending order of their texts; their keys
// are overwritten, their hashes kept. Needs no memory beyond the list.
void sort_by_text(const entry_blocks& entries, listed_entry* list, std::size_t count);

// Reorders the `count` entries of `list`, which are in ascending order of
// their texts, into groups of falling count, keeping that order within each
// group; their keys are overwritten, their hashes kept. A list whose entries
// all have one count is left as it is.
void order_by_falling_count(const entry_blocks& entries, listed_entry* list, std::size_t count);
