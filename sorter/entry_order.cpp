#include "sorter/entry_order.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numeric>

// strcmp compares the bytes as unsigned char, and the terminator makes the
// shorter of two texts, one the beginning of the other, sort first.
int compare_text(const unsigned char* a, const unsigned char* b) {
  return std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}

namespace {

// Bytes of a text that a key holds.
constexpr std::size_t kKeyBytes = sizeof(std::uint64_t);

const unsigned char* text_of(const entry_blocks& entries, const listed_entry& listed) {
  return entry_at(entries, listed.entry)->text();
}

// The `count` bytes of `text` from `offset` on as a number, most
// significant first, zeros standing in for the bytes behind its end. The
// text must not end before `offset`.
std::uint64_t bytes_at(const unsigned char* text, std::size_t offset, std::size_t count) {
  text += offset;
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < count; ++i) {
    key = key << CHAR_BIT | *text;
    if (*text != 0) ++text;
  }
  return key;
}

// The first key of `entry` in `order`: in byte order its text's first
// eight bytes; by falling count its count, inverted, then its text's first
// four. As no text holds a zero byte, ascending keys are the order itself as
// far as they reach.
std::uint64_t first_key(const word_entry& entry, entry_order order) {
  if (order == entry_order::by_text) return bytes_at(entry.text(), 0, kKeyBytes);
  constexpr std::size_t kTextBytes = kKeyBytes / 2;
  const std::uint64_t inverted_count = std::numeric_limits<std::uint32_t>::max() - entry.count;
  return inverted_count << (kTextBytes * CHAR_BIT) | bytes_at(entry.text(), 0, kTextBytes);
}

// The bytes of a text that the first key in `order` holds.
std::size_t first_key_bytes(entry_order order) {
  return order == entry_order::by_text ? kKeyBytes : kKeyBytes / 2;
}

bool key_before(const listed_entry& a, const listed_entry& b) { return a.key < b.key; }

// Whether the entries, their first keys set, are in the order of the walk.
bool in_order(const entry_blocks& entries, const listed_entry* first, const listed_entry* last) {
  return std::is_sorted(first, last, [&entries](const listed_entry& a, const listed_entry& b) {
    if (a.key != b.key) return a.key < b.key;
    return compare_text(text_of(entries, a), text_of(entries, b)) < 0;
  });
}

// Bits of a key that one pass of the radix sort distributes by: the
// counters of a pass stay in the first-level cache, and six passes cover a
// key.
constexpr int kDigitBits = 11;
constexpr std::size_t kDigitValues = std::size_t{1} << kDigitBits;
constexpr int kKeyBits = kKeyBytes * CHAR_BIT;

std::size_t digit_of(std::uint64_t key, int shift) { return key >> shift & (kDigitValues - 1); }

// Moves the `count` (at least one) entries at `from` to `to` in the order of
// their digits at `shift`, those of one digit in the order they came.
// Returns false, moving nothing, when they all have the same digit there.
bool distribute(const listed_entry* from, listed_entry* to, std::size_t count, int shift) {
  std::array<std::size_t, kDigitValues> places{};
  for (std::size_t i = 0; i < count; ++i) ++places[digit_of(from[i].key, shift)];
  if (places[digit_of(from[0].key, shift)] == count) return false;
  std::exclusive_scan(places.begin(), places.end(), places.begin(), std::size_t{0});
  for (std::size_t i = 0; i < count; ++i) to[places[digit_of(from[i].key, shift)]++] = from[i];
  return true;
}

// Sorts the `count` entries of `list` by key through `scratch`, room for as
// many, least significant digit first: as each pass keeps the order of the
// passes before among equal digits, the last leaves the keys in order.
void radix_sort(listed_entry* list, listed_entry* scratch, std::size_t count) {
  listed_entry* from = list;
  listed_entry* to = scratch;
  for (int shift = 0; shift < kKeyBits; shift += kDigitBits) {
    if (distribute(from, to, count, shift)) std::swap(from, to);
  }
  if (from != list) std::copy_n(from, count, list);
}

// Sorts the `count` entries of `list` by key, by radix when it is long and
// `resize` gives room for the scratch list, else by comparing keys.
void sort_keys(listed_entry* list, std::size_t count, resize_function resize) {
  void* scratch = nullptr;
  if (count >= kLeastRadixEntries && resize != nullptr)
    scratch = resize(nullptr, count * sizeof(listed_entry));
  if (scratch == nullptr) {
    std::sort(list, list + count, key_before);
    return;
  }
  radix_sort(list, static_cast<listed_entry*>(scratch), count);
  std::free(scratch);
}

// The first entry behind `first` whose key differs from its key, or `last`.
listed_entry* end_of_run(listed_entry* first, listed_entry* last) {
  const std::uint64_t key = first->key;
  return std::find_if(first + 1, last, [key](const listed_entry& e) { return e.key != key; });
}

void order_runs(const entry_blocks& entries, listed_entry* first, listed_entry* last,
                std::size_t offset);

// Orders a run of entries whose texts are equal up to `offset` and all go on
// beyond it by their bytes from `offset` on, a key at a time.
void sort_run(const entry_blocks& entries, listed_entry* first, listed_entry* last,
              std::size_t offset) {
  if (offset >= kMostKeyedBytes) {
    std::sort(first, last, [&entries, offset](const listed_entry& a, const listed_entry& b) {
      return compare_text(text_of(entries, a) + offset, text_of(entries, b) + offset) < 0;
    });
    return;
  }
  for (listed_entry* listed = first; listed != last; ++listed)
    listed->key = bytes_at(text_of(entries, *listed), offset, kKeyBytes);
  std::sort(first, last, key_before);
  order_runs(entries, first, last, offset + kKeyBytes);
}

// Orders every run of equal keys among the entries from `first` to `last`,
// which are sorted by keys that hold their texts' bytes up to `offset`. The
// keys of a run are equal in bytes none of which is zero: had they held a
// terminator, their texts would be equal, and no two are. So every text of
// a run goes on beyond `offset`. The texts of the runs ahead are asked for
// early, as the sorted list visits them in no order of their own.
void order_runs(const entry_blocks& entries, listed_entry* first, listed_entry* last,
                std::size_t offset) {
  listed_entry* asked_for = first;
  for (listed_entry* run = first; run != last;) {
    listed_entry* const run_end = end_of_run(run, last);
    const std::size_t ahead = std::min<std::size_t>(last - run_end, kPrefetchDistance);
    for (; asked_for < run_end + ahead; ++asked_for) prefetch_entry(entries, asked_for->entry);
    if (run_end - run > 1) sort_run(entries, run, run_end, offset);
    run = run_end;
  }
}

}  // namespace

// Entries of equal text do not exist, so the order is total and the result
// is one whatever order the list was in. Word lists often come sorted; their
// entries then come in order, and the sort is left out.
void sort_entries(const entry_blocks& entries, listed_entry* list, std::size_t count,
                  entry_order order, resize_function resize) {
  listed_entry* const end = list + count;
  for (listed_entry* listed = list; listed != end; ++listed)
    listed->key = first_key(*entry_at(entries, listed->entry), order);
  if (in_order(entries, list, end)) return;
  sort_keys(list, count, resize);
  order_runs(entries, list, end, first_key_bytes(order));
}
