#include "sorter/entry_order.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// A text and its count, as the judge orders them.
using counted_text = std::pair<std::string, int>;

void* allocate(std::size_t size) { return std::malloc(size); }

// Entries made of texts, listed in the order given.
class listed_texts {
 public:
  explicit listed_texts(const std::vector<counted_text>& texts) {
    for (const auto& [text, count] : texts) {
      const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
      word_entry entry = entry_of(bytes, text.size());
      if (text.size() > kKeyedBytes)
        entry.tail = add_tail(tails_, allocate, bytes + kKeyedBytes, text.size() - kKeyedBytes);
      entry.count = count;
      list_.push_back(entry);
    }
  }

  // Sorts the list, in text order first, and returns the texts in its new
  // order.
  std::vector<counted_text> sorted(entry_order order) {
    sort_by_text(list_.data(), list_.size(), tails_);
    if (order == entry_order::by_falling_count) order_by_falling_count(list_.data(), list_.size());
    std::vector<counted_text> texts;
    for (const word_entry& entry : list_) {
      unsigned char keyed[kKeyedBytes];
      put_keyed_bytes(entry, keyed);
      std::string text(reinterpret_cast<const char*>(keyed), keyed_length(entry));
      text += reinterpret_cast<const char*>(tail_text(tails_, entry));
      texts.emplace_back(text, entry.count);
    }
    return texts;
  }

 private:
  tail_blocks tails_;
  std::vector<word_entry> list_;
};

// The order of a walk, as plainly as it can be said: std::string compares
// its bytes as unsigned char.
std::vector<counted_text> judged(std::vector<counted_text> texts, entry_order order) {
  std::stable_sort(texts.begin(), texts.end(),
                   [order](const counted_text& a, const counted_text& b) {
                     if (order == entry_order::by_falling_count && a.second != b.second)
                       return a.second > b.second;
                     return a.first < b.first;
                   });
  return texts;
}

// Texts built from a few pieces, so that they begin one another and share
// long beginnings, up to every length of the keys and beyond, with counts
// from 1 to 4; different texts unless `repeats`.
std::vector<counted_text> made_texts(std::size_t count, unsigned seed, bool repeats = false) {
  static const char* const kPieces[] = {"a", "ab", "abcdefgh", "B", " ", "\x80", "\xff", "z"};
  std::mt19937 random(seed);
  std::vector<counted_text> texts;
  std::set<std::string> seen;
  while (texts.size() < count) {
    std::string text;
    const int pieces = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < pieces; ++i) text += kPieces[random() % std::size(kPieces)];
    if (seen.insert(text).second || repeats)
      texts.emplace_back(text, 1 + static_cast<int>(random() % 4));
  }
  return texts;
}

// Texts of one count each, so that entries of one text keep their order
// whatever the sort does with them.
std::vector<counted_text> of_one_count(std::vector<counted_text> texts) {
  for (counted_text& text : texts) text.second = 1;
  return texts;
}

// Long lists are sorted on two threads (where there are two processors).
TEST(sort_entries, SortsLikeTheJudgeInEitherOrder) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{300},
                                  kLeastDistributedEntries - 1, kLeastDistributedEntries,
                                  std::size_t{5000}, kLeastSharedEntries - 1,
                                  kLeastSharedEntries, std::size_t{40000}}) {
    const std::vector<counted_text> texts = made_texts(count, static_cast<unsigned>(count));
    for (const entry_order order : {entry_order::by_text, entry_order::by_falling_count}) {
      ASSERT_EQ(listed_texts(texts).sorted(order), judged(texts, order))
          << count << " " << static_cast<int>(order);
    }
  }
}

// Texts that share their first bytes with many others, up to every length
// of a key and beyond, so that the groups of the sort run past the keys,
// end inside them and split into groups of every size.
TEST(sort_entries, SortsGroupsThatShareLongBeginnings) {
  std::vector<counted_text> texts;
  std::mt19937 random(11);
  std::set<std::string> seen;
  for (int i = 0; i < 6000; ++i) {
    std::string text(random() % 30, 'k');
    for (int tail = random() % 4; tail > 0; --tail) text += static_cast<char>('a' + random() % 3);
    if (!text.empty() && seen.insert(text).second)
      texts.emplace_back(text, 1 + static_cast<int>(random() % 3));
  }
  std::shuffle(texts.begin(), texts.end(), random);
  for (const entry_order order : {entry_order::by_text, entry_order::by_falling_count})
    EXPECT_EQ(listed_texts(texts).sorted(order), judged(texts, order));
}

// Entries of one text, as a store that leaves its duplicates to the end
// holds them, end up side by side, in groups of every size, also where
// their texts run into the tails.
TEST(sort_entries, PutsTheEntriesOfOneTextSideBySide) {
  for (const std::size_t count : {std::size_t{50}, std::size_t{3000}, std::size_t{60000}}) {
    const std::vector<counted_text> texts =
        of_one_count(made_texts(count, static_cast<unsigned>(count), true));
    EXPECT_EQ(listed_texts(texts).sorted(entry_order::by_text),
              judged(texts, entry_order::by_text))
        << count;
  }
  std::vector<counted_text> same(5000, counted_text(std::string(40, 'q'), 1));
  same.emplace_back("q", 1);
  EXPECT_EQ(listed_texts(same).sorted(entry_order::by_text), judged(same, entry_order::by_text));
}

TEST(sort_entries, LeavesAListOfOneCountInTextOrder) {
  std::vector<counted_text> texts = made_texts(2000, 9);
  for (counted_text& text : texts) text.second = 7;
  EXPECT_EQ(listed_texts(texts).sorted(entry_order::by_falling_count),
            judged(texts, entry_order::by_text));
}

}  // namespace
