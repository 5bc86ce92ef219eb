#include "sorter/word_chains.hpp"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "sorter/line_keys.hpp"
#include "sorter/sorter_state.hpp"

entry_store::~entry_store() { std::free(list); }

namespace {

// Entries the first list has room for; every growth doubles the room.
constexpr std::size_t kFirstListRoom = 1024;

// The largest list: every entry has a place that is not kNoPlace.
constexpr std::size_t kMostEntries = kNoPlace;

// One hash in kSampleRate is sampled; the bits of the hash that choose are
// not those that pick a slot of the table.
constexpr std::size_t kSampleRate = 64;
constexpr int kSampleShift = 32;

// Sampled duplicates that show a word list to repeat its lines, so that the
// store hashes every entry from then on: at least kLeastSampledDuplicates,
// and enough to stand for a kHeldShare-th of the list.
constexpr std::size_t kLeastSampledDuplicates = 8;
constexpr std::size_t kHeldShare = 8;

// The bits of the hash that pick a recent slot.
constexpr int kRecentShift = 40;

bool is_sampled(std::uint64_t hash) {
  return (hash >> kSampleShift & (kSampleRate - 1)) == 0;
}

recent_slot& recent_slot_of(entry_store& store, std::uint64_t hash) {
  return store.recent[hash >> kRecentShift & (kRecentSlots - 1)];
}

void forget_recent(entry_store& store) { store.recent.fill(recent_slot{}); }

// A line being looked for: the entry it would make, without its tail, the
// tail in place, and the hash of its text once it is needed.
struct line_text {
  word_entry entry;
  const unsigned char* tail;
  std::size_t tail_length;
  std::uint64_t hash;
};

line_text line_text_of(const unsigned char* text, const keyed_line& keyed) {
  const std::size_t tail_length = keyed.length > kKeyedBytes ? keyed.length - kKeyedBytes : 0;
  return line_text{word_entry{{keyed.keys[0], keyed.keys[1]}, 1, kNoTail},
                   text + kKeyedBytes * (tail_length > 0), tail_length, 0};
}

// Where the line sorts against `entry`: negative before it, 0 when equal,
// positive after it.
int order_against(const entry_store& store, const line_text& line, const word_entry& entry) {
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    if (line.entry.keys[k] != entry.keys[k]) return line.entry.keys[k] < entry.keys[k] ? -1 : 1;
  }
  return compare_tail(line.tail, line.tail_length, tail_text(store.tails, entry));
}

bool is_text_of(const entry_store& store, const line_text& line, entry_place place) {
  return order_against(store, line, store.list[place]) == 0;
}

// A stored entry has been seen once more; its count is now `count`.
void count_duplicate(sorter_state& state, int count) {
  --state.entry_count;
  ++state.duplicate_count;
  state.highest_count = std::max(state.highest_count, count);
}

void count_duplicate(sorter_state& state, word_entry& kept) {
  count_duplicate(state, ++kept.count);
}

// The entry `merged`, of the same text as `kept`, was made for a line that
// was a duplicate: its lines become kept's.
void merge_entry(sorter_state& state, word_entry& kept, const word_entry& merged) {
  --state.entry_count;
  ++state.duplicate_count;
  kept.count += merged.count;
  state.highest_count = std::max(state.highest_count, kept.count);
}

bool belongs_in_table(const entry_store& store, std::uint64_t hash) {
  return store.finding == entry_store::lookup::hashed || is_sampled(hash);
}

// Replaces the table by `fresh`.
void take_table(entry_table& table, entry_table& fresh) {
  std::swap(table.checks, fresh.checks);
  std::swap(table.places, fresh.places);
  std::swap(table.capacity, fresh.capacity);
  std::swap(table.count, fresh.count);
}

// Places the entries of the table again in one of twice the slots: every
// entry of the list when it is hashed, else those of the sampled table.
// Returns false, leaving the table as it was, when there is no memory.
bool grow_table(entry_store& store, resize_function resize) {
  entry_table fresh;
  if (!remake_table(fresh, 2 * store.table.capacity, resize)) return false;
  if (store.finding == entry_store::lookup::hashed) {
    for (std::size_t i = 0; i < store.size; ++i)
      add_place(fresh, hash_of(store.list[i], store.tails), static_cast<entry_place>(i));
  } else {
    for_each_place(store.table, [&](entry_place place) {
      add_place(fresh, hash_of(store.list[place], store.tails), place);
    });
  }
  take_table(store.table, fresh);
  return true;
}

// Makes the table anew for the list, whose entries are all different: every
// entry that belongs in it is placed by its hash. Returns false, leaving the
// table without slots, when there is no memory for it.
bool place_list(entry_store& store, resize_function resize) {
  const bool hashed = store.finding == entry_store::lookup::hashed;
  if (!remake_table(store.table, capacity_for(hashed ? store.size : store.size / kSampleRate),
                    resize))
    return false;
  for (std::size_t i = 0; i < store.size; ++i) {
    const std::uint64_t hash = hash_of(store.list[i], store.tails);
    if (!belongs_in_table(store, hash)) continue;
    if (!has_room(store.table) && !grow_table(store, resize)) {
      drop_table(store.table);
      return false;
    }
    add_place(store.table, hash, static_cast<entry_place>(i));
  }
  store.table_current = true;
  return true;
}

// Merges the entries of one text that the list holds and hashes every
// entry from now on, or, when there is no memory for the table, goes on
// sampling.
void hash_every_entry(sorter_state& state) {
  entry_store& store = state.chain_table;
  entry_table fresh;
  if (!remake_table(fresh, capacity_for(store.size), state.resize_table)) return;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < store.size; ++i) {
    const word_entry entry = store.list[i];
    const std::uint64_t hash = hash_of(entry, store.tails);
    const entry_place found = find_place(fresh, hash, [&](entry_place place) {
      return compare_entries(store.list[place], entry, store.tails) == 0;
    });
    if (found != kNoPlace) {
      merge_entry(state, store.list[found], entry);
      continue;
    }
    store.list[kept] = entry;
    add_place(fresh, hash, static_cast<entry_place>(kept++));
  }
  store.size = kept;
  take_table(store.table, fresh);
  store.finding = entry_store::lookup::hashed;
  forget_recent(store);
}

void count_sampled_duplicate(sorter_state& state) {
  entry_store& store = state.chain_table;
  ++store.sampled_duplicates;
  if (store.sampled_duplicates >= kLeastSampledDuplicates &&
      store.sampled_duplicates * kSampleRate * kHeldShare >= store.size)
    hash_every_entry(state);
}

bool grow_list(entry_store& store, resize_function resize) {
  const std::size_t room = store.room == 0 ? kFirstListRoom : 2 * store.room;
  if (store.room == kMostEntries) return false;
  const std::size_t granted = std::min(room, kMostEntries);
  void* const block = resize(store.list, granted * sizeof(word_entry));
  if (block == nullptr) return false;
  store.list = static_cast<word_entry*>(block);
  store.room = granted;
  return true;
}

// Gives the list room for every entry. Returns false when there is no
// memory for it.
bool make_list_room(entry_store& store, resize_function resize) {
  while (store.room < store.size) {
    if (!grow_list(store, resize)) return false;
  }
  return true;
}

// Makes the list of the ordered texts, whose tails point into them. Returns
// false, changing nothing, when there is no memory for it.
bool list_ordered_texts(entry_store& store, resize_function resize) {
  if (!make_list_room(store, resize)) return false;
  std::size_t i = 0;
  for_each_ordered(store.ordered, store.tails,
                   [&](tail_ref ref, const unsigned char* text, std::size_t length, int count) {
                     word_entry& entry = store.list[i++];
                     entry = entry_of(text, length);
                     entry.count = count;
                     if (length > kKeyedBytes) entry.tail = ref + kKeyedBytes;
                     return true;
                   });
  forget_repeats(store.ordered);
  store.listed = true;
  return true;
}

// Leaves the ascending order: the table is made for the entries, which are
// all different. Returns false when there is no memory for it.
bool begin_table(sorter_state& state) {
  entry_store& store = state.chain_table;
  if (!store.listed && !list_ordered_texts(store, state.resize_table)) return false;
  store.finding =
      store.late_duplicates ? entry_store::lookup::sampled : entry_store::lookup::hashed;
  if (place_list(store, state.resize_table)) return true;
  store.finding = entry_store::lookup::in_order;
  return false;
}

// Whether a walk has moved the entries under the lookup.
bool is_lookup_disturbed(const entry_store& store) {
  return !store.table_current ||
         (store.finding == entry_store::lookup::in_order && !store.in_text_order);
}

// Makes the lookup whole again after a walk that moved the entries: a
// table is made anew, and a list that has left text order can no longer be
// kept in ascending order. Returns false when there is no memory for it.
bool restore_lookup(sorter_state& state) {
  entry_store& store = state.chain_table;
  if (!store.table_current && !place_list(store, state.resize_table)) return false;
  if (store.finding == entry_store::lookup::in_order && !store.in_text_order)
    return begin_table(state);
  return true;
}

// Makes a new entry for the line at the end of the list. Returns false when
// there is no memory for it.
bool append_entry(sorter_state& state, const line_text& line) {
  entry_store& store = state.chain_table;
  if (store.size == store.room && !grow_list(store, state.resize_table)) return false;
  word_entry& entry = store.list[store.size];
  entry = line.entry;
  if (line.tail_length > 0) {
    entry.tail = add_tail(store.tails, state.allocate_tail, line.tail, line.tail_length);
    if (entry.tail == kNoTail) return false;
  }
  ++store.size;
  if (state.highest_count == 0) state.highest_count = 1;
  return true;
}

// The place of the entry made last.
entry_place last_place(const entry_store& store) {
  return static_cast<entry_place>(store.size - 1);
}

// Where the line sorts against the last ordered text.
int order_against_last(const entry_store& store, const line_text& line) {
  const ordered_texts& ordered = store.ordered;
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    if (line.entry.keys[k] != ordered.last_keys[k])
      return line.entry.keys[k] < ordered.last_keys[k] ? -1 : 1;
  }
  return compare_tail(line.tail, line.tail_length, last_tail(ordered, store.tails));
}

// Takes the line while the entries are ordered texts, as take_in_order.
int take_in_order_unlisted(sorter_state& state, const line_text& line, const unsigned char* text,
                           std::size_t length) {
  entry_store& store = state.chain_table;
  const int order = store.size == 0 ? 1 : order_against_last(store, line);
  if (order < 0) return 1;
  if (order == 0) {
    count_duplicate(state, count_last_again(store.ordered));
    return 0;
  }
  if (!add_ordered_text(store.ordered, store.tails, state.allocate_tail, state.resize_table, text,
                        length, line.entry.keys))
    return -1;
  ++store.size;
  if (state.highest_count == 0) state.highest_count = 1;
  return 0;
}

// Takes the line while the entries are in ascending order. Returns 1 when
// the line sorts before the last entry and so must be looked for otherwise.
int take_in_order(sorter_state& state, const line_text& line) {
  entry_store& store = state.chain_table;
  const int order = store.size == 0 ? 1 : order_against(store, line, store.list[store.size - 1]);
  if (order > 0) return append_entry(state, line) ? 0 : -1;
  if (order < 0) return 1;
  count_duplicate(state, store.list[store.size - 1]);
  return 0;
}

int take_by_table(sorter_state& state, const line_text& line) {
  entry_store& store = state.chain_table;
  const entry_place found = find_place(store.table, line.hash, [&](entry_place place) {
    return is_text_of(store, line, place);
  });
  if (found == kNoPlace) {
    if (!has_room(store.table) && !grow_table(store, state.resize_table)) return -1;
    if (!append_entry(state, line)) return -1;
    add_place(store.table, line.hash, last_place(store));
    store.in_text_order = false;
    return 0;
  }
  count_duplicate(state, store.list[found]);
  if (store.finding == entry_store::lookup::sampled) count_sampled_duplicate(state);
  return 0;
}

int take_by_recent(sorter_state& state, const line_text& line) {
  entry_store& store = state.chain_table;
  recent_slot& slot = recent_slot_of(store, line.hash);
  const auto hash = static_cast<std::uint32_t>(line.hash);
  if (slot.place != kNoPlace && slot.hash == hash && is_text_of(store, line, slot.place)) {
    count_duplicate(state, store.list[slot.place]);
    return 0;
  }
  if (!append_entry(state, line)) return -1;
  slot = recent_slot{hash, last_place(store)};
  store.in_text_order = false;
  return 0;
}

}  // namespace

int make_entry(sorter_state& state, std::string_view line) {
  const keyed_line keyed = keyed_line_of(line.data(), line.size());
  const std::size_t length = keyed.length;
  if (length == 0) return 0;
  entry_store& store = state.chain_table;
  if (is_lookup_disturbed(store) && !restore_lookup(state)) return -1;
  const auto* const bytes = reinterpret_cast<const unsigned char*>(line.data());
  line_text text = line_text_of(bytes, keyed);
  if (store.finding == entry_store::lookup::in_order) {
    const int taken = store.listed ? take_in_order(state, text)
                                   : take_in_order_unlisted(state, text, bytes, length);
    if (taken <= 0) return taken;
    if (!begin_table(state)) return -1;
  }
  text.hash = hash_of(text.entry.keys, text.tail, text.tail_length);
  if (belongs_in_table(store, text.hash)) return take_by_table(state, text);
  return take_by_recent(state, text);
}

// The sort puts the entries of one text side by side; the first of them
// takes the lines of the others.
void settle_entries(sorter_state& state) {
  entry_store& store = state.chain_table;
  if (store.finding != entry_store::lookup::sampled) return;
  sort_by_text(store.list, store.size, store.tails);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < store.size; ++i) {
    if (kept > 0 && compare_entries(store.list[kept - 1], store.list[i], store.tails) == 0)
      merge_entry(state, store.list[kept - 1], store.list[i]);
    else
      store.list[kept++] = store.list[i];
  }
  store.size = kept;
  drop_table(store.table);
  forget_recent(store);
  store.finding = entry_store::lookup::in_order;
  store.in_text_order = true;
  store.table_current = true;
}

void arrange_entries(const entry_store& store, entry_order order) {
  const bool moved = !store.in_text_order;
  if (moved) sort_by_text(store.list, store.size, store.tails);
  store.in_text_order = true;
  const bool reordered = order == entry_order::by_falling_count &&
                         order_by_falling_count(store.list, store.size);
  if (reordered) store.in_text_order = false;
  if ((moved || reordered) && store.table.capacity > 0) store.table_current = false;
}
