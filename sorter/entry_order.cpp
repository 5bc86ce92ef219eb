#include "sorter/entry_order.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <system_error>
#include <thread>

namespace {

// Values of one byte of a key: the groups one step of the sort makes.
constexpr std::size_t kDigitValues = std::size_t{1} << CHAR_BIT;

// Byte `byte` of `key`, counting from the most significant.
std::size_t digit_of(std::uint64_t key, std::size_t byte) {
  return key >> ((kKeyBytes - 1 - byte) * CHAR_BIT) & (kDigitValues - 1);
}

// Where each group of one digit ends once distributed: bucket d runs from
// bounds[d] to bounds[d + 1].
using bucket_bounds = std::array<std::size_t, kDigitValues + 1>;

// Counts the digits at `byte` of key `key` of the entries from `first` to
// `last`. Returns false when they all have one digit there, and so need no
// move.
bool count_digits(const word_entry* first, const word_entry* last, std::size_t key,
                  std::size_t byte, bucket_bounds& bounds) {
  std::array<std::size_t, kDigitValues> counts{};
  for (const word_entry* entry = first; entry != last; ++entry)
    ++counts[digit_of(entry->keys[key], byte)];
  if (counts[digit_of(first->keys[key], byte)] == static_cast<std::size_t>(last - first))
    return false;
  bounds[0] = 0;
  for (std::size_t d = 0; d < kDigitValues; ++d) bounds[d + 1] = bounds[d] + counts[d];
  return true;
}

// Moves the entries into the groups of their digits at `byte` of key `key`,
// in place: each entry taken out of a wrong group is carried to the next
// free place of its own, and the entry found there carried on in turn,
// until one belongs where the first was taken.
void distribute(word_entry* first, std::size_t key, std::size_t byte,
                const bucket_bounds& bounds) {
  bucket_bounds next = bounds;
  for (std::size_t d = 0; d < kDigitValues; ++d) {
    while (next[d] < bounds[d + 1]) {
      word_entry moving = first[next[d]];
      for (std::size_t to = digit_of(moving.keys[key], byte); to != d;
           to = digit_of(moving.keys[key], byte))
        std::swap(moving, first[next[to]++]);
      first[next[d]++] = moving;
    }
  }
}

class text_sort {
 public:
  explicit text_sort(const tail_blocks& tails) : tails_(tails) {}

  // Sorts the entries from `first` to `last`, whose keys are equal before
  // byte `byte` of key `key`; with `shared`, the groups of the first
  // distribution on two threads.
  void sort(word_entry* first, word_entry* last, std::size_t key, std::size_t byte,
            bool shared = false) const {
    for (;;) {
      if (last - first < static_cast<std::ptrdiff_t>(kLeastDistributedEntries))
        return compare_whole(first, last);
      if (byte == kKeyBytes) {
        if (++key == kKeyCount) return compare_whole(first, last);
        byte = 0;
      }
      bucket_bounds bounds;
      if (count_digits(first, last, key, byte, bounds))
        return sort_buckets(first, key, byte, bounds, shared);
      if (digit_of(first->keys[key], byte) == 0) return;  // all of one text, which ends here
      ++byte;
    }
  }

 private:
  // Distributes the entries by their digits at `byte` and sorts each group
  // but that of the digit 0, whose texts all end there and so are one text.
  // With `shared`, the groups from the one where the entries' second half
  // begins are sorted on a thread of their own, the others meanwhile here:
  // the groups share no entry.
  void sort_buckets(word_entry* first, std::size_t key, std::size_t byte,
                    const bucket_bounds& bounds, bool shared) const {
    distribute(first, key, byte, bounds);
    const auto sort_groups = [&](std::size_t from, std::size_t to) {
      for (std::size_t d = from; d < to; ++d) {
        if (bounds[d + 1] - bounds[d] > 1)
          sort(first + bounds[d], first + bounds[d + 1], key, byte + 1);
      }
    };
    if (!shared) return sort_groups(1, kDigitValues);
    const std::size_t half = (bounds[1] + bounds[kDigitValues]) / 2;
    std::size_t middle = 1;
    while (middle < kDigitValues && bounds[middle] < half) ++middle;
    std::thread second;
    try {
      second = std::thread(sort_groups, middle, kDigitValues);
    } catch (const std::system_error&) {
      return sort_groups(1, kDigitValues);  // no thread to be had: all of it here
    }
    sort_groups(1, middle);
    second.join();
  }

  void compare_whole(word_entry* first, word_entry* last) const {
    std::sort(first, last, [this](const word_entry& a, const word_entry& b) {
      return compare_entries(a, b, tails_) < 0;
    });
  }

  const tail_blocks& tails_;
};

}  // namespace

void sort_by_text(word_entry* list, std::size_t count, const tail_blocks& tails) {
  const bool shared = count >= kLeastSharedEntries && std::thread::hardware_concurrency() > 1;
  text_sort(tails).sort(list, list + count, 0, 0, shared);
}

bool order_by_falling_count(word_entry* list, std::size_t count) {
  const auto falls = [](const word_entry& a, const word_entry& b) { return a.count > b.count; };
  if (std::is_sorted(list, list + count, falls)) return false;
  std::stable_sort(list, list + count, falls);
  return true;
}
