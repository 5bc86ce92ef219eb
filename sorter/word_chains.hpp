// The store of distinct lines: hash chains that find the entry of a text at
// once, and a list of all entries that is sorted when the store is walked.
// Entries come in through `make_entry`/`insert_entry` and go out through
// `for_each_entry`; nothing else looks inside the store, so it can be
// replaced without touching its callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SorterState;

// One distinct input line. The record is followed in the same allocation by
// its text: the line's characters and a terminating zero byte.
struct word_entry {
  int count;           // input lines with this text; 1 when the entry is made
  std::uint32_t hash;  // of the text; set by insert_entry
  word_entry* next;    // the following entry of the same hash chain

  unsigned char* text() { return reinterpret_cast<unsigned char*>(this + 1); }
  const unsigned char* text() const { return reinterpret_cast<const unsigned char*>(this + 1); }
};

// The entries of the store in one block of 2 * capacity pointers: first the
// heads of `capacity` hash chains, then the list of the `size` entries. The
// table grows before size would pass capacity, so a chain holds one entry on
// average. Owns every entry and releases them all when it goes.
struct ChainTable {
  word_entry** heads = nullptr;
  std::size_t capacity = 0;
  std::size_t size = 0;

  // The list of all entries. A walk sorts it in place: the order of the list
  // is the walk's business, the set of entries and their counts are not
  // touched, which is why a const table can be walked.
  word_entry** list() const { return heads + capacity; }

  ChainTable() = default;
  ChainTable(const ChainTable&) = delete;
  ChainTable& operator=(const ChainTable&) = delete;
  ~ChainTable();
};

// Compares two terminated texts byte by byte as unsigned values: negative
// when `a` sorts first, positive when `b` does, 0 only for identical texts.
// A text that is the beginning of the other sorts first.
int compare_text(const unsigned char* a, const unsigned char* b);

// Takes `entry` (count 1, text set) into the store. When the store already
// holds its text, the entry is released and counted as a duplicate instead:
// entry_count falls by one, duplicate_count and the stored entry's count rise
// by one, highest_count follows. Returns false, releasing the entry and
// changing no count, when the table is full and state.allocate_table has no
// memory to grow it.
bool insert_entry(SorterState& state, word_entry* entry);

// Stores the text of `line` up to its first line feed, carriage return or
// zero byte. Returns 0 when it was stored (or counted as a duplicate) and when
// that text is empty, which stores nothing; -1 when state.allocate_entry has
// no memory for the entry or the table cannot grow to take it.
int make_entry(SorterState& state, const std::string& line);

// The orders of a walk: ascending order of the texts, or groups of falling
// count, each group in ascending order of the texts.
enum class EntryOrder { by_text, by_falling_count };

// Sorts the list of `table` into `order`.
void arrange_entries(const ChainTable& table, EntryOrder order);

// Calls visit(entry) for every stored entry in `order` until visit returns
// false. Returns false when visit stopped the walk.
template <typename Visit>
bool for_each_entry(const ChainTable& table, Visit visit, EntryOrder order = EntryOrder::by_text) {
  arrange_entries(table, order);
  for (std::size_t i = 0; i < table.size; ++i) {
    if (!visit(*table.list()[i])) return false;
  }
  return true;
}
