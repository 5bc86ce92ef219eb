#include "sorter/word_chains.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "sorter/sorter_state.hpp"

ChainTable::~ChainTable() {
  for (std::size_t i = 0; i < size; ++i) std::free(list()[i]);
  std::free(heads);
}

int compare_text(const unsigned char* a, const unsigned char* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a - *b;
}

namespace {

// Hash chains of the first block; every growth doubles them, so the capacity
// stays a power of two and a hash finds its chain by masking.
constexpr std::size_t kFirstCapacity = 256;

// FNV-1a over the bytes of a terminated text.
std::uint32_t hash_of(const unsigned char* text) {
  constexpr std::uint32_t kOffsetBasis = 2166136261u;
  constexpr std::uint32_t kPrime = 16777619u;
  std::uint32_t hash = kOffsetBasis;
  for (; *text != 0; ++text) hash = (hash ^ *text) * kPrime;
  return hash;
}

word_entry*& head_of(const ChainTable& table, std::uint32_t hash) {
  return table.heads[hash & (table.capacity - 1)];
}

void link_into_chain(const ChainTable& table, word_entry* entry) {
  word_entry*& head = head_of(table, entry->hash);
  entry->next = head;
  head = entry;
}

// The stored entry with the text of `entry` (its hash set), or null.
word_entry* find_entry(const ChainTable& table, const word_entry& entry) {
  if (table.capacity == 0) return nullptr;
  for (word_entry* stored = head_of(table, entry.hash); stored != nullptr; stored = stored->next) {
    if (stored->hash == entry.hash && compare_text(stored->text(), entry.text()) == 0)
      return stored;
  }
  return nullptr;
}

// Moves the table into a block of twice the capacity: the list is copied and
// the chains are linked anew. Returns false, leaving the table as it was,
// when `allocate` has no memory for the block. (The block's size cannot
// overflow: the capacity is at most twice the entries, each of which takes
// more memory than two pointers.)
bool grow(ChainTable& table, allocate_function allocate) {
  const std::size_t capacity = table.capacity == 0 ? kFirstCapacity : 2 * table.capacity;
  auto** heads = static_cast<word_entry**>(allocate(2 * capacity * sizeof(word_entry*)));
  if (heads == nullptr) return false;
  std::fill_n(heads, capacity, nullptr);
  std::copy_n(table.list(), table.size, heads + capacity);
  std::free(table.heads);
  table.heads = heads;
  table.capacity = capacity;
  for (std::size_t i = 0; i < table.size; ++i) link_into_chain(table, table.list()[i]);
  return true;
}

// The stored entry `kept` has been seen once more.
void count_duplicate(SorterState& state, word_entry& kept) {
  --state.entry_count;
  ++state.duplicate_count;
  ++kept.count;
  state.highest_count = std::max(state.highest_count, kept.count);
}

bool text_before(const word_entry* a, const word_entry* b) {
  return compare_text(a->text(), b->text()) < 0;
}

bool count_before(const word_entry* a, const word_entry* b) {
  if (a->count != b->count) return a->count > b->count;
  return text_before(a, b);
}

}  // namespace

bool insert_entry(SorterState& state, word_entry* entry) {
  ChainTable& table = state.chain_table;
  entry->hash = hash_of(entry->text());
  if (word_entry* stored = find_entry(table, *entry)) {
    count_duplicate(state, *stored);
    std::free(entry);
    return true;
  }
  if (table.size == table.capacity && !grow(table, state.allocate_table)) {
    std::free(entry);
    return false;
  }
  table.list()[table.size++] = entry;
  link_into_chain(table, entry);
  state.highest_count = std::max(state.highest_count, 1);
  return true;
}

int make_entry(SorterState& state, const std::string& line) {
  constexpr std::string_view kLineEnds("\n\r\0", 3);
  const std::size_t length = std::min(line.find_first_of(kLineEnds), line.size());
  if (length == 0) return 0;
  void* memory = state.allocate_entry(sizeof(word_entry) + length + 1);
  if (memory == nullptr) return -1;
  word_entry* entry = new (memory) word_entry{1, 0, nullptr};
  std::memcpy(entry->text(), line.data(), length);
  entry->text()[length] = 0;
  return insert_entry(state, entry) ? 0 : -1;
}

// Entries of equal text do not exist, so both orders are total and the
// unstable sort gives one result whatever order the list was in.
void arrange_entries(const ChainTable& table, EntryOrder order) {
  word_entry** first = table.list();
  if (order == EntryOrder::by_text) {
    std::sort(first, first + table.size, text_before);
  } else {
    std::sort(first, first + table.size, count_before);
  }
}
