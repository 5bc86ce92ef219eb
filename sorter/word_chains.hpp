// The store of distinct lines: 256 chains, one per first byte, each sorted by
// `compare_text`. Entries come in through `make_entry`/`insert_entry` and go
// out through `for_each_entry`; nothing else looks inside the chains, so the
// store can be replaced without touching its callers.
#pragma once

#include <array>
#include <string>

struct SorterState;

// One chain per value of a text's first byte.
constexpr int kChainCount = 256;

// One distinct input line. The record is followed in the same allocation by
// its text: the line's characters and a terminating zero byte.
struct word_entry {
  int count;  // input lines with this text; 1 when the entry is made
  word_entry* next;

  unsigned char* text() { return reinterpret_cast<unsigned char*>(this + 1); }
  const unsigned char* text() const { return reinterpret_cast<const unsigned char*>(this + 1); }
};

// The chain heads. Owns every entry linked into them and releases them all
// when it goes.
struct ChainTable {
  std::array<word_entry*, kChainCount> heads{};

  ChainTable() = default;
  ChainTable(const ChainTable&) = delete;
  ChainTable& operator=(const ChainTable&) = delete;
  ~ChainTable();
};

// Compares two terminated texts byte by byte as unsigned values: negative
// when `a` sorts first, positive when `b` does, 0 only for identical texts.
// A text that is the beginning of the other sorts first.
int compare_text(const unsigned char* a, const unsigned char* b);

// Links `entry` (count 1, text set) into the chain of its first byte, in
// order. When the chain already holds its text, the entry is released and
// counted as a duplicate instead: entry_count falls by one, duplicate_count
// and the stored entry's count rise by one, highest_count follows.
void insert_entry(SorterState& state, word_entry* entry);

// Stores the text of `line` up to its first line feed, carriage return or
// zero byte. Returns 0 when it was stored (or counted as a duplicate) and when
// that text is empty, which stores nothing; -1 when state.allocate_entry has
// no memory for the entry.
int make_entry(SorterState& state, const std::string& line);

// Calls visit(entry) for every stored entry in ascending order of the texts
// until visit returns false. Returns false when visit stopped the walk.
template <typename Visit>
bool for_each_entry(const ChainTable& table, Visit visit) {
  for (const word_entry* head : table.heads) {
    for (const word_entry* entry = head; entry != nullptr; entry = entry->next) {
      if (!visit(*entry)) return false;
    }
  }
  return true;
}
