// The store of distinct lines: a hash table that finds the entry of a text
// at once, and a list of all entries that is sorted when the store is walked.
// Taking a line costs a hash and a few probes however many entries there
// are; a walk sorts the n entries once, in O(n log n), in either order.
// While the lines come in ascending order, as those of a sorted word list
// do, the table is not needed: a text is new when it sorts after the
// greatest entry and a duplicate when it equals it, and the list is sorted
// already. Entries come in through `make_entry` and go out through
// `for_each_entry`; nothing else looks inside the store, so it can be
// replaced without touching its callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sorter/entry_blocks.hpp"
#include "sorter/entry_order.hpp"

struct sorter_state;

// The store: a hash table with open addressing, in which the probe chain of
// a text runs from the slot its hash picks to the first empty slot, the list
// of all entries, and the blocks the entries live in. A slot is an entry
// and a check, 16 bits of the hash of its text, kept in two arrays: a probe
// reads the checks alone, which take few enough bytes to stay in the cache,
// and looks at an entry only when its check is the text's. The table and
// the list share one block: room for three quarters as many entries as
// there are slots, then the entries of the slots, then their checks; a full
// table grows by resizing the block, which keeps the list at its start. Owns
// every block and releases them all when it goes.
struct entry_store {
  std::uint16_t* checks = nullptr;  // kEmptyCheck in an empty slot
  entry_ref* slot_entries = nullptr;
  std::size_t capacity = 0;  // slots; 0 or a power of two
  // Whether the slots hold every entry. Until a text comes that sorts before
  // the greatest entry they are left empty, untouched.
  bool hashed = false;
  word_entry* greatest = nullptr;  // the last entry made while not hashed
  std::size_t greatest_length = 0;
  // The entries in the order they came, until a walk sorts them in place.
  // A walk orders the list and sets its keys but changes neither the set of
  // entries nor their counts, which is why a const table can be walked.
  // While the entries come in ascending order the list is left unfilled,
  // as their blocks hold them in that order, until hashing or a walk by
  // count needs it.
  listed_entry* list = nullptr;
  std::size_t size = 0;
  mutable bool listed = false;  // whether the list holds every entry
  // Whether the list is known to be in ascending order of the texts: as the
  // entries came before the slots were hashed, or as a walk in that order
  // left it.
  mutable bool in_text_order = true;
  entry_blocks entries;

  entry_store() = default;
  entry_store(const entry_store&) = delete;
  entry_store& operator=(const entry_store&) = delete;
  ~entry_store();
};

// Stores the text of `line` up to its first line feed, carriage return or
// zero byte, as a new entry of count 1. When the store holds that text
// already, the line is counted as a duplicate instead and needs no memory:
// entry_count falls by one, duplicate_count and the stored entry's count rise
// by one, highest_count follows. Returns 0 when the text was stored or
// counted, and when it is empty, which stores nothing; -1, changing no count,
// when the text is new and either the table is full and state.resize_table
// has no memory to grow it, or the entry needs a new block and
// state.allocate_entry has no memory for one (see add_entry).
int make_entry(sorter_state& state, std::string_view line);

// Fills the list of `table` and sorts it into `order`, unless it is in that
// order.
void arrange_entries(const entry_store& table, entry_order order);

// Calls visit(entry) for every stored entry in `order` until visit returns
// false. Returns false when visit stopped the walk.
template <typename visitor>
bool for_each_entry(const entry_store& table, visitor visit,
                    entry_order order = entry_order::by_text) {
  if (!table.listed && order == entry_order::by_text)
    return for_each_made(table.entries,
                         [&visit](entry_ref, const word_entry& entry) { return visit(entry); });
  arrange_entries(table, order);
  for (std::size_t i = 0; i < table.size; ++i) {
    if (i + kPrefetchDistance < table.size)
      prefetch_entry(table.entries, table.list[i + kPrefetchDistance].entry);
    if (!visit(*entry_at(table.entries, table.list[i].entry))) return false;
  }
  return true;
}
