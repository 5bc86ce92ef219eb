// The store of distinct lines: a list of entries (see word_entry) in the
// order they came, which a walk sorts once, in either order, and the means
// to find the entry of a line again as it comes:
//   - while the lines come in ascending order, as those of a sorted word
//     list do, a text is new when it sorts after the last entry and a
//     duplicate when it equals it; the entries are sorted already and are
//     kept as whole texts in less room than the list (see ordered_texts),
//     until a line comes out of order;
//   - from the first line out of order on, a hash table holds every entry,
//     and taking a line costs a hash and a few probes however many entries
//     there are;
//   - or, where the duplicates need not be known as the lines come, the
//     table holds only a sample of the entries, and a small table of recent
//     entries finds the lines that repeat soon. A line that neither finds
//     is taken as new, so the list may hold duplicates, which settle_entries
//     merges after the last line: the sort puts them side by side. A word
//     list without duplicates is thus taken without a probe at a random
//     place of memory. Once the sample shows many duplicates the store
//     merges those it holds and hashes every entry from then on, so the
//     duplicates held stay a small share of the list.
// Entries come in through make_entry and go out through for_each_entry;
// nothing else looks inside the store, so it can be replaced without
// touching its callers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sorter/entry_order.hpp"
#include "sorter/entry_table.hpp"
#include "sorter/ordered_texts.hpp"
#include "sorter/word_entry.hpp"

struct sorter_state;

// An entry as a walk hands it out: its text in two parts, the one behind
// the other, and its count.
struct walked_entry {
  // The first part, at the start of at least kKeyedBytes that may be read
  // (and copied whole, as a fixed size copies fastest).
  std::string_view beginning;
  std::string_view rest;  // its tail
  int count;
};

// Slots of the table of recent entries.
constexpr std::size_t kRecentSlots = 4096;

// An entry lately made or found, by the low 32 bits of its hash.
struct recent_slot {
  std::uint32_t hash = 0;
  entry_place place = kNoPlace;
};

// Owns its list, tails and table and releases them all when it goes.
struct entry_store {
  // How a line finds its entry (see above).
  enum class lookup { in_order, hashed, sampled };

  // The entries in the order they came, until a walk sorts them in place.
  // A walk orders the list but changes neither the set of entries nor their
  // counts, which is why a const store can be walked.
  word_entry* list = nullptr;
  std::size_t size = 0;  // entries, listed or not
  std::size_t room = 0;  // entries the list has room for
  // Whether the list holds the entries. Until then they are the ordered
  // texts, whose texts the list's tails still point into.
  bool listed = false;
  tail_blocks tails;
  ordered_texts ordered;
  entry_table table;
  lookup finding = lookup::in_order;
  // Set before the first line: whether the duplicates may be left to
  // settle_entries, so that the store samples rather than hashes.
  bool late_duplicates = false;
  // Lines of sampled hashes that found their entry while sampling.
  std::size_t sampled_duplicates = 0;
  std::array<recent_slot, kRecentSlots> recent;
  // Whether the list is known to be in ascending order of the texts.
  mutable bool in_text_order = true;
  // Whether the table's places are still those of the entries: a walk that
  // moves the entries leaves the table to be made anew.
  mutable bool table_current = true;

  entry_store() = default;
  entry_store(const entry_store&) = delete;
  entry_store& operator=(const entry_store&) = delete;
  ~entry_store();
};

// Stores the text of `line` up to its first line feed, carriage return or
// zero byte, as a new entry of count 1. When the store finds that text
// already, the line is counted as a duplicate instead and needs no memory:
// entry_count falls by one, duplicate_count and the stored entry's count rise
// by one, highest_count follows. (While late_duplicates holds the store may
// take a duplicate as new; settle_entries then counts it.) Returns 0 when
// the text was stored or counted, and when it is empty, which stores
// nothing; -1, changing no count, when the text is taken as new and
// state.resize_table has no memory for a larger list or table, or the text
// needs room in a tail block (every text while the entries are ordered
// texts, else a text longer than its keys) and state.allocate_tail has no
// memory for one (see add_tail).
int make_entry(sorter_state& state, std::string_view line);

// Ends the input: merges the entries of one text that the store holds while
// late_duplicates, as make_entry would have counted their lines, so that
// every count is final. Needs no memory. A store that holds no duplicates
// is left as it is.
void settle_entries(sorter_state& state);

// Sorts the list of `store` into `order`, unless it is in that order.
void arrange_entries(const entry_store& store, entry_order order);

// `entry` of `store` as a walk hands it out; its beginning is written to
// `keyed`, which has room for kKeyedBytes.
inline walked_entry walked(const entry_store& store, const word_entry& entry,
                           unsigned char* keyed) {
  put_keyed_bytes(entry, keyed);
  const std::string_view rest =
      entry.tail == kNoTail
          ? std::string_view()
          : std::string_view(reinterpret_cast<const char*>(tail_at(store.tails, entry.tail)));
  return walked_entry{
      std::string_view(reinterpret_cast<const char*>(keyed), keyed_length(entry)), rest,
      entry.count};
}

// Calls visit(walked_entry) for every stored entry in `order` until visit
// returns false. Returns false when visit stopped the walk. A store that
// holds duplicates (see settle_entries) hands each of them out.
template <typename visitor>
bool for_each_entry(const entry_store& store, visitor visit,
                    entry_order order = entry_order::by_text) {
  if (!store.listed) {
    const auto visit_text = [&visit](tail_ref, const unsigned char* text, std::size_t length,
                                     int count) {
      return visit(
          walked_entry{std::string_view(reinterpret_cast<const char*>(text), length), {}, count});
    };
    return order == entry_order::by_text
               ? for_each_ordered(store.ordered, store.tails, visit_text)
               : for_each_ordered_by_count(store.ordered, store.tails, visit_text);
  }
  arrange_entries(store, order);
  unsigned char keyed[kKeyedBytes];
  for (std::size_t i = 0; i < store.size; ++i) {
    if (!visit(walked(store, store.list[i], keyed))) return false;
  }
  return true;
}
