#include "sorter/entry_order.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <limits>

// strcmp compares the bytes as unsigned char, and the terminator makes the
// shorter of two texts, one the beginning of the other, sort first.
int compare_text(const unsigned char* a, const unsigned char* b) {
  return std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}

namespace {

// Bytes of a text that a key holds.
constexpr std::size_t kKeyBytes = sizeof(std::uint64_t);

// Values of one byte of a key: the groups one step of the sort makes.
constexpr std::size_t kDigitValues = std::size_t{1} << CHAR_BIT;

const unsigned char* text_of(const entry_blocks& entries, const listed_entry& listed) {
  return entry_at(entries, listed.entry)->text();
}

// The eight bytes of `text` from `offset` on as a number, most significant
// first, zeros standing in for the bytes behind its end. The text must not
// end before `offset`. As no text holds a zero byte, ascending keys are
// ascending texts as far as they reach.
std::uint64_t key_at(const unsigned char* text, std::size_t offset) {
  text += offset;
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < kKeyBytes; ++i) {
    key = key << CHAR_BIT | *text;
    if (*text != 0) ++text;
  }
  return key;
}

// Gives the entries from `first` to `last` the keys of their texts' bytes
// from `offset` on. The texts are asked for ahead
// of their use, as the entries of a group lie anywhere in the blocks.
void take_keys(const entry_blocks& entries, listed_entry* first, listed_entry* last,
               std::size_t offset) {
  for (listed_entry* listed = first; listed != last; ++listed) {
    if (last - listed > static_cast<std::ptrdiff_t>(kPrefetchDistance))
      prefetch_entry(entries, listed[kPrefetchDistance].entry);
    listed->key = key_at(text_of(entries, *listed), offset);
  }
}

// Byte `byte` of `key`, counting from the most significant.
std::size_t digit_of(std::uint64_t key, std::size_t byte) {
  return key >> ((kKeyBytes - 1 - byte) * CHAR_BIT) & (kDigitValues - 1);
}

// Where each group of one digit ends once distributed: bucket d runs from
// bounds[d] to bounds[d + 1].
using bucket_bounds = std::array<std::size_t, kDigitValues + 1>;

// Counts the digits at `byte` of the entries from `first` to `last`.
// Returns false when they all have one digit there, and so need no move.
bool count_digits(const listed_entry* first, const listed_entry* last, std::size_t byte,
                  bucket_bounds& bounds) {
  std::array<std::size_t, kDigitValues> counts{};
  for (const listed_entry* listed = first; listed != last; ++listed)
    ++counts[digit_of(listed->key, byte)];
  if (counts[digit_of(first->key, byte)] == static_cast<std::size_t>(last - first)) return false;
  bounds[0] = 0;
  for (std::size_t d = 0; d < kDigitValues; ++d) bounds[d + 1] = bounds[d] + counts[d];
  return true;
}

// Moves the entries into the groups of their digits at `byte`, in place:
// each entry taken out of a wrong group is carried to the next free place
// of its own, and the entry found there carried on in turn, until one
// belongs where the first was taken.
void distribute(listed_entry* first, std::size_t byte, const bucket_bounds& bounds) {
  bucket_bounds next = bounds;
  for (std::size_t d = 0; d < kDigitValues; ++d) {
    while (next[d] < bounds[d + 1]) {
      listed_entry moving = first[next[d]];
      for (std::size_t to = digit_of(moving.key, byte); to != d; to = digit_of(moving.key, byte))
        std::swap(moving, first[next[to]++]);
      first[next[d]++] = moving;
    }
  }
}

// The sort of one list: by text, or by keys that are all different.
class radix_sort {
 public:
  // `entries` null: the keys are all different, and no text is read.
  explicit radix_sort(const entry_blocks* entries) : entries_(entries) {}

  // Sorts the entries from `first` to `last`, whose keys hold their texts'
  // bytes from `offset` on and are equal before byte `byte`.
  void sort(listed_entry* first, listed_entry* last, std::size_t byte, std::size_t offset) const {
    if (last - first < 2) return;  // also the empty list, which may have no memory at all
    for (;;) {
      if (byte == kKeyBytes) {
        offset += kKeyBytes;
        if (offset >= kMostKeyedBytes) return compare_whole(first, last, offset);
        take_keys(*entries_, first, last, offset);
        byte = 0;
      }
      if (last - first < static_cast<std::ptrdiff_t>(kLeastDistributedEntries)) {
        insert_in_order(first, last);
        return sort_equal_keys(first, last, offset);
      }
      bucket_bounds bounds;
      if (count_digits(first, last, byte, bounds)) return sort_buckets(first, byte, offset, bounds);
      ++byte;
    }
  }

 private:
  // Distributes the entries by their digits at `byte` and sorts each group.
  // (Of texts, those of the digit 0 end there: there is one at most.)
  void sort_buckets(listed_entry* first, std::size_t byte, std::size_t offset,
                    const bucket_bounds& bounds) const {
    distribute(first, byte, bounds);
    for (std::size_t d = 0; d < kDigitValues; ++d) {
      if (bounds[d + 1] - bounds[d] > 1)
        sort(first + bounds[d], first + bounds[d + 1], byte + 1, offset);
    }
  }

  static void insert_in_order(listed_entry* first, listed_entry* last) {
    for (listed_entry* next = first + 1; next < last; ++next) {
      const listed_entry moving = *next;
      listed_entry* place = next;
      for (; place != first && moving.key < place[-1].key; --place) *place = place[-1];
      *place = moving;
    }
  }

  // Sorts each run of equal keys among the entries from `first` to
  // `last`, which are in the order of their keys, by the bytes beyond them.
  // Equal keys hold no terminator, as no two texts are equal, so all their
  // texts go on; keys that are all different leave no run.
  void sort_equal_keys(listed_entry* first, listed_entry* last, std::size_t offset) const {
    while (first != last) {
      listed_entry* run_end = first + 1;
      while (run_end != last && run_end->key == first->key) ++run_end;
      if (run_end - first > 1) sort(first, run_end, kKeyBytes, offset);
      first = run_end;
    }
  }

  // Texts equal in their first `offset` bytes.
  void compare_whole(listed_entry* first, listed_entry* last, std::size_t offset) const {
    std::sort(first, last, [this, offset](const listed_entry& a, const listed_entry& b) {
      return compare_text(text_of(*entries_, a) + offset, text_of(*entries_, b) + offset) < 0;
    });
  }

  const entry_blocks* entries_;
};

}  // namespace

void sort_by_text(const entry_blocks& entries, listed_entry* list, std::size_t count) {
  take_keys(entries, list, list + count, 0);
  radix_sort(&entries).sort(list, list + count, 0, 0);
}

// The key of an entry is its count, inverted, above its place in the list:
// all different, and ascending in the order wanted.
void order_by_falling_count(const entry_blocks& entries, listed_entry* list, std::size_t count) {
  constexpr int kPlaceBits = 32;
  const auto [lowest, highest] =
      std::minmax_element(list, list + count, [&entries](const listed_entry& a, const listed_entry& b) {
        return entry_at(entries, a.entry)->count < entry_at(entries, b.entry)->count;
      });
  if (count == 0 || entry_at(entries, lowest->entry)->count == entry_at(entries, highest->entry)->count)
    return;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t inverted =
        std::numeric_limits<std::uint32_t>::max() - static_cast<std::uint32_t>(entry_at(entries, list[i].entry)->count);
    list[i].key = inverted << kPlaceBits | i;
  }
  radix_sort(nullptr).sort(list, list + count, 0, 0);
}
