#include "sorter/word_chains.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "sorter/sorter_state.hpp"

ChainTable::~ChainTable() {
  for (std::size_t i = 0; i < size; ++i) std::free(list[i]);
  std::free(slots);
}

// strcmp compares the bytes as unsigned char, and the terminator makes the
// shorter of two texts, one the beginning of the other, sort first.
// strcmp compares the bytes as unsigned char, and the terminator makes the
// shorter of two texts, one the beginning of the other, sort first.
int compare_text(const unsigned char* a, const unsigned char* b) {
  return std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}

namespace {

// Slots of the first block; every growth doubles them, so the capacity stays
// a power of two and a hash picks its slot by masking.
constexpr std::size_t kFirstCapacity = 1024;

// FNV-1a over the bytes of a terminated text. 64 bits make two texts of one
// hash so rare that a probe compares texts almost only when they are equal.
std::uint64_t hash_of(const unsigned char* text) {
  constexpr std::uint64_t kOffsetBasis = 14695981039346656037u;
  constexpr std::uint64_t kPrime = 1099511628211u;
  std::uint64_t hash = kOffsetBasis;
  for (; *text != 0; ++text) hash = (hash ^ *text) * kPrime;
  return hash;
}

bool is_full(const ChainTable& table) { return table.size == table.capacity / 2; }

// The stored entry with `text` (whose hash is `hash`), or null.
word_entry* find_entry(const ChainTable& table, const unsigned char* text, std::uint64_t hash) {
  if (table.capacity == 0) return nullptr;
  const std::size_t mask = table.capacity - 1;
  for (std::size_t i = hash & mask; table.slots[i].entry != nullptr; i = (i + 1) & mask) {
    const entry_slot& slot = table.slots[i];
    if (slot.hash == hash && compare_text(slot.entry->text(), text) == 0) return slot.entry;
  }
  return nullptr;
}

// Puts `slot` into the first empty slot of its probe chain.
void place_slot(ChainTable& table, entry_slot slot) {
  const std::size_t mask = table.capacity - 1;
  std::size_t i = slot.hash & mask;
  while (table.slots[i].entry != nullptr) i = (i + 1) & mask;
  table.slots[i] = slot;
}

// Moves the table into a block of twice the capacity: the list is copied and
// the slots are placed anew by the hashes they hold, without a look at the
// entries. Returns false, leaving the table as it was, when `allocate` has no
// memory for the block. (The block's size cannot overflow: the capacity is at
// most four times the entries, each of which takes more memory than a slot.)
bool grow(ChainTable& table, allocate_function allocate) {
  const std::size_t capacity = table.capacity == 0 ? kFirstCapacity : 2 * table.capacity;
  void* block = allocate(capacity * sizeof(entry_slot) + capacity / 2 * sizeof(word_entry*));
  if (block == nullptr) return false;
  auto* const slots = static_cast<entry_slot*>(block);
  auto** const list = reinterpret_cast<word_entry**>(slots + capacity);
  std::fill_n(slots, capacity, entry_slot{0, nullptr});
  std::copy_n(table.list, table.size, list);
  entry_slot* const old_slots = table.slots;
  const std::size_t old_capacity = table.capacity;
  table.slots = slots;
  table.capacity = capacity;
  table.list = list;
  for (std::size_t i = 0; i < old_capacity; ++i) {
    if (old_slots[i].entry != nullptr) place_slot(table, old_slots[i]);
  }
  std::free(old_slots);
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
  const std::uint64_t hash = hash_of(entry->text());
  if (word_entry* stored = find_entry(table, entry->text(), hash)) {
    count_duplicate(state, *stored);
    std::free(entry);
    return true;
  }
  if (is_full(table) && !grow(table, state.allocate_table)) {
    std::free(entry);
    return false;
  }
  table.list[table.size++] = entry;
  place_slot(table, entry_slot{hash, entry});
  state.highest_count = std::max(state.highest_count, 1);
  return true;
}

int make_entry(SorterState& state, const std::string& line) {
  constexpr std::string_view kLineEnds("\n\r\0", 3);
  const std::size_t length = std::min(line.find_first_of(kLineEnds), line.size());
  if (length == 0) return 0;
  void* memory = state.allocate_entry(sizeof(word_entry) + length + 1);
  if (memory == nullptr) return -1;
  word_entry* entry = new (memory) word_entry{1};
  std::memcpy(entry->text(), line.data(), length);
  entry->text()[length] = 0;
  return insert_entry(state, entry) ? 0 : -1;
}

// Entries of equal text do not exist, so both orders are total and the
// unstable sort gives one result whatever order the list was in.
void arrange_entries(const ChainTable& table, EntryOrder order) {
  word_entry** first = table.list;
  if (order == EntryOrder::by_text) {
    std::sort(first, first + table.size, text_before);
  } else {
    std::sort(first, first + table.size, count_before);
  }
}
