// The store of distinct lines: a hash table that finds the entry of a text
// at once, and a list of all entries that is sorted when the store is walked.
// Taking a line costs a hash and a few probes however many entries there
// are; a walk sorts the n entries once, in O(n log n), in either order.
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
  int count;  // input lines with this text; 1 when the entry is made

  unsigned char* text() { return reinterpret_cast<unsigned char*>(this + 1); }
  const unsigned char* text() const { return reinterpret_cast<const unsigned char*>(this + 1); }
};

// A slot of the hash table: an entry and the hash of its text, or no entry.
struct entry_slot {
  std::uint64_t hash;
  word_entry* entry;
};

// An entry of the list, with the key it is sorted by (see arrange_entries).
struct listed_entry {
  std::uint64_t key;
  word_entry* entry;
};

// The store: a hash table with open addressing, in which the probe chain of
// a text runs from the slot its hash picks to the first empty slot, and the
// list of all entries. Both live in one block: `capacity` slots, then room
// for three quarters as many entries; a full table grows into a new block.
// Owns every entry and releases them all when it goes.
struct ChainTable {
  entry_slot* slots = nullptr;
  std::size_t capacity = 0;  // slots; 0 or a power of two
  // The entries in the order they came, until a walk sorts them in place.
  // A walk orders the list and sets its keys but changes neither the set of
  // entries nor their counts, which is why a const table can be walked.
  listed_entry* list = nullptr;
  std::size_t size = 0;

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
    if (!visit(*table.list[i].entry)) return false;
  }
  return true;
}
