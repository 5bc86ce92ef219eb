#include "sorter/word_chains.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "sorter/sorter_state.hpp"

ChainTable::~ChainTable() {
  for (word_entry* entry : heads) {
    while (entry != nullptr) {
      word_entry* next = entry->next;
      std::free(entry);
      entry = next;
    }
  }
}

int compare_text(const unsigned char* a, const unsigned char* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a - *b;
}

namespace {

// The stored entry `kept` has been seen once more.
void count_duplicate(SorterState& state, word_entry& kept) {
  --state.entry_count;
  ++state.duplicate_count;
  ++kept.count;
  state.highest_count = std::max(state.highest_count, kept.count);
}

}  // namespace

void insert_entry(SorterState& state, word_entry* entry) {
  word_entry** link = &state.chain_table.heads[entry->text()[0]];
  while (*link != nullptr) {
    const int order = compare_text(entry->text(), (*link)->text());
    if (order == 0) {
      count_duplicate(state, **link);
      std::free(entry);
      return;
    }
    if (order < 0) break;
    link = &(*link)->next;
  }
  entry->next = *link;
  *link = entry;
  state.highest_count = std::max(state.highest_count, 1);
}

int make_entry(SorterState& state, const std::string& line) {
  constexpr std::string_view kLineEnds("\n\r\0", 3);
  const std::size_t length = std::min(line.find_first_of(kLineEnds), line.size());
  if (length == 0) return 0;
  void* memory = state.allocate_entry(sizeof(word_entry) + length + 1);
  if (memory == nullptr) return -1;
  word_entry* entry = new (memory) word_entry{1, nullptr};
  std::memcpy(entry->text(), line.data(), length);
  entry->text()[length] = 0;
  insert_entry(state, entry);
  return 0;
}
