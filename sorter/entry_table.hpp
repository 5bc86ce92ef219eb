// The store's hash table: open addressing, in which the probe chain of a
// hash runs from the slot its low bits pick to the first empty slot. A slot
// is the place of an entry in the store's list and a check, 16 bits of the
// hash, kept in two arrays: a probe reads the checks alone, which take few
// enough bytes to stay in the cache, and looks at an entry only when its
// check is the one looked for. The table knows nothing of the entries; its
// user hands it hashes and tells it which entries match.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sorter/tail_blocks.hpp"

// The place of an entry in the store's list.
using entry_place = std::uint32_t;

// The place that no entry has.
constexpr entry_place kNoPlace = 0xFFFFFFFF;

struct entry_table {
  std::uint16_t* checks = nullptr;  // kEmptyCheck in an empty slot
  entry_place* places = nullptr;
  std::size_t capacity = 0;  // slots: 0 or a power of two
  std::size_t count = 0;     // entries placed

  entry_table() = default;
  entry_table(const entry_table&) = delete;
  entry_table& operator=(const entry_table&) = delete;
  ~entry_table();
};

// The check of an empty slot, which no hash has.
constexpr std::uint16_t kEmptyCheck = 0;

// The check of a hash: bits 16 to 31, the lowest of them set so that it is
// not kEmptyCheck. They tell apart the entries of a probe chain as far as
// they are not bits that picked its first slot.
inline std::uint16_t check_of(std::uint64_t hash) {
  constexpr int kCheckShift = 16;
  return static_cast<std::uint16_t>(hash >> kCheckShift | 1);
}

// Whether the table has room for one more entry: it holds at most three
// quarters as many entries as it has slots, so that an empty slot ends every
// probe chain soon.
bool has_room(const entry_table& table);

// The capacity of a table with room for `count` entries and one more.
std::size_t capacity_for(std::size_t count);

// Empties the table and gives it `capacity` slots (a power of two), with
// memory from `resize`. Returns false, leaving it empty and without slots,
// when there is no memory.
bool remake_table(entry_table& table, std::size_t capacity, resize_function resize);

// Releases the slots: the table is empty and without slots.
void drop_table(entry_table& table);

// Puts `place` into the first empty slot of the probe chain of `hash`. The
// table must have room.
void add_place(entry_table& table, std::uint64_t hash, entry_place place);

// The place in the probe chain of `hash` with the right check for which
// matches(place) holds, or kNoPlace.
template <typename predicate>
entry_place find_place(const entry_table& table, std::uint64_t hash, predicate matches) {
  if (table.capacity == 0) return kNoPlace;
  const std::size_t mask = table.capacity - 1;
  const std::uint16_t check = check_of(hash);
  for (std::size_t i = hash & mask; table.checks[i] != kEmptyCheck; i = (i + 1) & mask) {
    if (table.checks[i] == check && matches(table.places[i])) return table.places[i];
  }
  return kNoPlace;
}

// Calls visit(place) for every place in the table.
template <typename visitor>
void for_each_place(const entry_table& table, visitor visit) {
  for (std::size_t i = 0; i < table.capacity; ++i) {
    if (table.checks[i] != kEmptyCheck) visit(table.places[i]);
  }
}
