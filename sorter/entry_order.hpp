// Putting the list of entries into the order of a walk: ascending byte
// order of the texts, or groups of falling count, each group in ascending
// byte order. A sort compares keys, numbers that hold the first bytes of the
// texts, and looks at the texts only where the keys are equal.
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

// Lists of fewer entries are sorted by comparing keys: a radix sort would
// not pay for its passes over the counters.
constexpr std::size_t kLeastRadixEntries = 1024;

// Texts whose first this many bytes are equal are ordered by comparing them
// whole rather than a key at a time, which bounds the depth of the sort
// whatever the length of the texts.
constexpr std::size_t kMostKeyedBytes = 256;

// Sorts the `count` entries of `list`, which live in `entries` and whose
// texts are all different, into `order`; their keys are overwritten, their
// hashes kept. A list in that order already is left as it is. For a list of
// kLeastRadixEntries or more, `resize` (when not null) is asked for room
// for a second list, through which the keys are distributed by radix in a
// few passes instead of being compared with one another; without it the
// sort works in place.
void sort_entries(const entry_blocks& entries, listed_entry* list, std::size_t count,
                  entry_order order, resize_function resize);
