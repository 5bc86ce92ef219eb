#include "sorter/entry_table.hpp"

#include <algorithm>
#include <cstdlib>

entry_table::~entry_table() { std::free(checks); }

namespace {

// Slots of the smallest table; every growth doubles them, so the capacity
// stays a power of two and a hash picks its slot by masking.
constexpr std::size_t kLeastCapacity = 1024;

std::size_t room_of(std::size_t capacity) { return capacity / 4 * 3; }

}  // namespace

bool has_room(const entry_table& table) { return table.count < room_of(table.capacity); }

std::size_t capacity_for(std::size_t count) {
  std::size_t capacity = kLeastCapacity;
  while (room_of(capacity) <= count) capacity *= 2;
  return capacity;
}

// The checks and the places share one block, the places behind the checks.
// (The size cannot overflow: the list, and with it the capacity, is bounded
// by the places an entry_place can say.)
bool remake_table(entry_table& table, std::size_t capacity, resize_function resize) {
  drop_table(table);
  void* const block = resize(nullptr, capacity * (sizeof(std::uint16_t) + sizeof(entry_place)));
  if (block == nullptr) return false;
  table.checks = static_cast<std::uint16_t*>(block);
  table.places = reinterpret_cast<entry_place*>(table.checks + capacity);
  table.capacity = capacity;
  std::fill_n(table.checks, capacity, kEmptyCheck);
  return true;
}

void drop_table(entry_table& table) {
  std::free(table.checks);
  table.checks = nullptr;
  table.places = nullptr;
  table.capacity = 0;
  table.count = 0;
}

void add_place(entry_table& table, std::uint64_t hash, entry_place place) {
  const std::size_t mask = table.capacity - 1;
  std::size_t i = hash & mask;
  while (table.checks[i] != kEmptyCheck) i = (i + 1) & mask;
  table.checks[i] = check_of(hash);
  table.places[i] = place;
  ++table.count;
}
