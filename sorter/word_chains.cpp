#include "sorter/word_chains.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "sorter/sorter_state.hpp"

ChainTable::~ChainTable() {
  for (std::size_t i = 0; i < size; ++i) std::free(list[i].entry);
  std::free(slots);
}

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
// Its multiplications carry bits only upwards, so the high half, which every
// byte has stirred, is folded into the low bits that pick the slot.
std::uint64_t hash_of(const unsigned char* text) {
  constexpr std::uint64_t kOffsetBasis = 14695981039346656037u;
  constexpr std::uint64_t kPrime = 1099511628211u;
  constexpr int kHalf = 32;
  std::uint64_t hash = kOffsetBasis;
  for (; *text != 0; ++text) hash = (hash ^ *text) * kPrime;
  return hash ^ (hash >> kHalf);
}

// Entries a table of `capacity` slots takes: three quarters of it, so that
// an empty slot ends every probe chain soon.
std::size_t room_of(std::size_t capacity) { return capacity / 4 * 3; }

bool is_full(const ChainTable& table) { return table.size == room_of(table.capacity); }

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
// memory for the block. (Its size cannot overflow: beyond the first block,
// each is twice the size of the one in use.)
bool grow(ChainTable& table, allocate_function allocate) {
  const std::size_t capacity = table.capacity == 0 ? kFirstCapacity : 2 * table.capacity;
  void* block = allocate(capacity * sizeof(entry_slot) + room_of(capacity) * sizeof(listed_entry));
  if (block == nullptr) return false;
  auto* const slots = static_cast<entry_slot*>(block);
  auto* const list = reinterpret_cast<listed_entry*>(slots + capacity);
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

// Bytes of a key, and the bytes of the text that go into it.
constexpr int kKeyBytes = 8;
constexpr int kByteBits = 8;

// The first `count` bytes of `text` as a number, most significant first,
// zeros standing in for the bytes behind its end.
std::uint64_t leading_bytes(const unsigned char* text, int count) {
  std::uint64_t key = 0;
  for (int i = 0; i < count; ++i) {
    key = key << kByteBits | *text;
    if (*text != 0) ++text;
  }
  return key;
}

// The key of `entry` in `order`: in byte order its text's first eight
// bytes; by falling count its count, inverted, then its text's first four.
// As no text holds a zero byte, ascending keys are the order itself as far
// as they reach, and entries of equal keys are ordered by their whole texts.
std::uint64_t key_of(const word_entry& entry, EntryOrder order) {
  if (order == EntryOrder::by_text) return leading_bytes(entry.text(), kKeyBytes);
  constexpr int kHalf = kKeyBytes / 2;
  const std::uint64_t inverted_count = std::numeric_limits<std::uint32_t>::max() - entry.count;
  return inverted_count << (kHalf * kByteBits) | leading_bytes(entry.text(), kHalf);
}

bool listed_before(const listed_entry& a, const listed_entry& b) {
  if (a.key != b.key) return a.key < b.key;
  return compare_text(a.entry->text(), b.entry->text()) < 0;
}

// The characters of `line` before its first line feed, carriage return or
// zero byte. A plain loop: find_first_of searches the set once per byte.
std::size_t text_length(const std::string& line) {
  std::size_t length = 0;
  while (length < line.size() && line[length] != '\n' && line[length] != '\r' &&
         line[length] != '\0')
    ++length;
  return length;
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
  table.list[table.size++] = listed_entry{0, entry};
  place_slot(table, entry_slot{hash, entry});
  state.highest_count = std::max(state.highest_count, 1);
  return true;
}

int make_entry(SorterState& state, const std::string& line) {
  const std::size_t length = text_length(line);
  if (length == 0) return 0;
  void* memory = state.allocate_entry(sizeof(word_entry) + length + 1);
  if (memory == nullptr) return -1;
  word_entry* entry = new (memory) word_entry{1};
  std::memcpy(entry->text(), line.data(), length);
  entry->text()[length] = 0;
  return insert_entry(state, entry) ? 0 : -1;
}

// The keys make most comparisons of the sort look at the list alone, not
// at the entries all over memory. Entries of equal text do not exist, so
// the order is total and the unstable sort gives one result whatever order
// the list was in.
void arrange_entries(const ChainTable& table, EntryOrder order) {
  listed_entry* const end = table.list + table.size;
  for (listed_entry* listed = table.list; listed != end; ++listed)
    listed->key = key_of(*listed->entry, order);
  std::sort(table.list, end, listed_before);
}
