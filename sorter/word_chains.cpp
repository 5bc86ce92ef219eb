#include "sorter/word_chains.hpp"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "sorter/sorter_state.hpp"

entry_store::~entry_store() { std::free(list); }

namespace {

// Slots of the first block; every growth doubles them, so the capacity stays
// a power of two and a hash picks its slot by masking.
constexpr std::size_t kFirstCapacity = 1024;

// Bytes of a text that one step of the hash takes.
constexpr std::size_t kWordBytes = sizeof(std::uint64_t);

// A hash of the `length` bytes at `text`, taken eight at a time: each word
// is mixed into the state by a multiplication, and MurmurHash3's finaliser
// then carries the high bits, which a multiplication only ever moves
// upwards, down into the low half that the table keeps.
std::uint32_t hash_of(const unsigned char* text, std::size_t length) {
  constexpr std::uint64_t kWordMultiplier = 0x9E3779B97F4A7C15u;
  constexpr std::uint64_t kFirstMultiplier = 0xFF51AFD7ED558CCDu;
  constexpr std::uint64_t kSecondMultiplier = 0xC4CEB9FE1A85EC53u;
  constexpr int kShift = 33;
  std::uint64_t hash = length;
  std::size_t i = 0;
  for (; i + kWordBytes <= length; i += kWordBytes) {
    std::uint64_t word;
    std::memcpy(&word, text + i, kWordBytes);
    hash = (hash ^ word) * kWordMultiplier;
  }
  if (i < length) {
    std::uint64_t word = 0;
    for (; i < length; ++i) word = word << CHAR_BIT | text[i];
    hash = (hash ^ word) * kWordMultiplier;
  }
  hash = (hash ^ (hash >> kShift)) * kFirstMultiplier;
  hash = (hash ^ (hash >> kShift)) * kSecondMultiplier;
  return static_cast<std::uint32_t>(hash ^ (hash >> kShift));
}

// Entries a table of `capacity` slots takes: three quarters of it, so that
// an empty slot ends every probe chain soon.
std::size_t room_of(std::size_t capacity) { return capacity / 4 * 3; }

// Slots of the largest table, whose slot a hash of 32 bits can pick. A store
// that would need more reports a shortage of memory.
constexpr std::size_t kMostCapacity = std::size_t{1} << 32;

bool is_full(const entry_store& table) { return table.size == room_of(table.capacity); }

// The check of an empty slot, which no hash has.
constexpr std::uint16_t kEmptyCheck = 0;

// The check of a hash: its high 16 bits, the lowest of them set so that it
// is not kEmptyCheck. They tell apart the texts of a probe chain as far as
// they are not bits that picked its first slot.
std::uint16_t check_of(std::uint32_t hash) {
  constexpr int kCheckShift = 16;
  return static_cast<std::uint16_t>(hash >> kCheckShift | 1);
}

// Whether the `length` bytes at `text` are the text of `entry`.
bool is_text_of(const unsigned char* text, std::size_t length, const word_entry& entry) {
  return entry.length == length && std::memcmp(text, entry.text(), length) == 0;
}

// The entry with the `length` bytes at `text` (whose hash is `hash`) that
// the slots hold, or null.
word_entry* find_entry(const entry_store& table, const unsigned char* text, std::size_t length,
                       std::uint32_t hash) {
  const std::size_t mask = table.capacity - 1;
  const std::uint16_t check = check_of(hash);
  for (std::size_t i = hash & mask; table.checks[i] != kEmptyCheck; i = (i + 1) & mask) {
    if (table.checks[i] != check) continue;
    word_entry* const entry = entry_at(table.entries, table.slot_entries[i]);
    if (is_text_of(text, length, *entry)) return entry;
  }
  return nullptr;
}

// Fills the list, unless it is filled, with every entry in the order they
// were made, and so in ascending order of their texts: until the list is
// needed the entries are made in that order, and the list's room stays
// untouched.
void list_all(const entry_store& table) {
  if (table.listed) return;
  std::size_t i = 0;
  for_each_made(table.entries, [&](entry_ref ref, const word_entry&) {
    table.list[i++] = listed_entry{0, ref, 0};
    return true;
  });
  table.listed = true;
  table.in_text_order = true;
}

// Puts the listed entry into the first empty slot of its probe chain.
void place_slot(entry_store& table, const listed_entry& listed) {
  const std::size_t mask = table.capacity - 1;
  std::size_t i = listed.hash & mask;
  while (table.checks[i] != kEmptyCheck) i = (i + 1) & mask;
  table.checks[i] = check_of(listed.hash);
  table.slot_entries[i] = listed.entry;
}

// Empties the slots and places every entry of the list by the hash it keeps
// there, without a look at the entries.
void place_all(entry_store& table) {
  std::fill_n(table.checks, table.capacity, kEmptyCheck);
  for (std::size_t i = 0; i < table.size; ++i) place_slot(table, table.list[i]);
}

// Gives every entry of the list the hash of its text and places them all:
// the slots become hashed. Until then no hash has been needed.
void hash_all(entry_store& table) {
  list_all(table);
  for (std::size_t i = 0; i < table.size; ++i) {
    const word_entry& entry = *entry_at(table.entries, table.list[i].entry);
    table.list[i].hash = hash_of(entry.text(), entry.length);
  }
  place_all(table);
  table.hashed = true;
}

// Where the `length` bytes at `text` sort against the greatest entry, whose
// text takes the table's greatest_length bytes: negative before it, 0 when
// equal, positive after it.
int order_against_greatest(const entry_store& table, const unsigned char* text,
                           std::size_t length) {
  const std::size_t shorter = std::min(length, table.greatest_length);
  const int order = std::memcmp(text, table.greatest->text(), shorter);
  if (order != 0) return order;
  return (length > table.greatest_length) - (length < table.greatest_length);
}

// The stored entry with the `length` bytes at `text`, or null, and in
// `hash` the hash of the text once the slots are hashed. Before, every entry
// sorts before the greatest: a text after it is new, one equal to it is the
// greatest, and a text before it makes the slots hashed.
word_entry* find_stored(entry_store& table, const unsigned char* text, std::size_t length,
                        std::uint32_t& hash) {
  if (!table.hashed) {
    if (table.greatest == nullptr) return nullptr;
    const int order = order_against_greatest(table, text, length);
    if (order > 0) return nullptr;
    if (order == 0) return table.greatest;
    hash_all(table);
  }
  hash = hash_of(text, length);
  return find_entry(table, text, length, hash);
}

// Resizes the table's block to twice the capacity: the list stays at its
// start, where the C library may keep it without a copy, and hashed slots
// are placed anew. Returns false, leaving the table as it was, when the
// table is as large as it can be or `resize` has no memory for the block.
// (Its size cannot overflow: the capacity is bounded.)
bool grow(entry_store& table, resize_function resize) {
  const std::size_t capacity = table.capacity == 0 ? kFirstCapacity : 2 * table.capacity;
  if (capacity > kMostCapacity) return false;
  const std::size_t room = room_of(capacity);
  void* const block =
      resize(table.list,
             room * sizeof(listed_entry) + capacity * (sizeof(entry_ref) + sizeof(std::uint16_t)));
  if (block == nullptr) return false;
  table.list = static_cast<listed_entry*>(block);
  table.slot_entries = reinterpret_cast<entry_ref*>(table.list + room);
  table.checks = reinterpret_cast<std::uint16_t*>(table.slot_entries + capacity);
  table.capacity = capacity;
  if (table.hashed) place_all(table);
  return true;
}

// The stored entry `kept` has been seen once more.
void count_duplicate(sorter_state& state, word_entry& kept) {
  --state.entry_count;
  ++state.duplicate_count;
  ++kept.count;
  state.highest_count = std::max(state.highest_count, kept.count);
}

// Bit 7 of every byte of `word` that is zero, and perhaps of bytes above
// the lowest such byte; the lowest bit set is exact.
constexpr std::uint64_t zero_bytes_of(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  return (word - kOnes) & ~word & kHighBits;
}

bool ends_text(char c) { return c == '\n' || c == '\r' || c == '\0'; }

// The characters of `line` before its first line feed, carriage return or
// zero byte. Eight bytes are looked at together while eight are left: the
// bytes that end a text show as zero bytes of the word itself or of the
// word with every byte turned into that byte's difference from the line
// feed or the carriage return.
std::size_t text_length(std::string_view line) {
  constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Au;
  constexpr std::uint64_t kReturns = 0x0D0D0D0D0D0D0D0Du;
  std::size_t length = 0;
  for (; length + kWordBytes <= line.size(); length += kWordBytes) {
    std::uint64_t word;
    std::memcpy(&word, line.data() + length, kWordBytes);
    const std::uint64_t ends =
        zero_bytes_of(word) | zero_bytes_of(word ^ kLineFeeds) | zero_bytes_of(word ^ kReturns);
    if (ends != 0) return length + std::countr_zero(ends) / CHAR_BIT;
  }
  while (length < line.size() && !ends_text(line[length])) ++length;
  return length;
}

// Makes a new entry for the `length` bytes at `text` and puts it in the
// list, and in the slots by `hash` when they are hashed, else it is the
// greatest. Returns -1 when there is no memory for it, else 0.
int store_new(sorter_state& state, const unsigned char* text, std::size_t length,
              std::uint32_t hash) {
  entry_store& table = state.chain_table;
  if (is_full(table) && !grow(table, state.resize_table)) return -1;
  entry_ref ref = kNoEntry;
  word_entry* const entry = add_entry(table.entries, state.allocate_entry, text, length, ref);
  if (entry == nullptr) return -1;
  if (table.listed) table.list[table.size] = listed_entry{0, ref, hash};
  if (table.hashed) {
    place_slot(table, table.list[table.size]);
    table.in_text_order = false;
  } else {
    table.greatest = entry;
    table.greatest_length = length;
  }
  ++table.size;
  state.highest_count = std::max(state.highest_count, 1);
  return 0;
}

}  // namespace

int make_entry(sorter_state& state, std::string_view line) {
  const std::size_t length = text_length(line);
  if (length == 0) return 0;
  const auto* const text = reinterpret_cast<const unsigned char*>(line.data());
  std::uint32_t hash = 0;
  if (word_entry* const stored = find_stored(state.chain_table, text, length, hash)) {
    count_duplicate(state, *stored);
    return 0;
  }
  return store_new(state, text, length, hash);
}

void arrange_entries(const entry_store& table, entry_order order) {
  list_all(table);
  if (!table.in_text_order) sort_by_text(table.entries, table.list, table.size);
  table.in_text_order = true;
  if (order == entry_order::by_text) return;
  order_by_falling_count(table.entries, table.list, table.size);
  table.in_text_order = false;
}
