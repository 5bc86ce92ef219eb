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

int sign_of(int value) { return (value > 0) - (value < 0); }

int compare(const std::string& a, const std::string& b) {
  return sign_of(compare_text(reinterpret_cast<const unsigned char*>(a.c_str()),
                              reinterpret_cast<const unsigned char*>(b.c_str())));
}

TEST(compare_text, OrdersByUnsignedBytesThenLength) {
  struct table_row {
    std::string a, b;
    int expected;
  };
  const table_row rows[] = {
      {"abc", "abc", 0},    {"abc", "abd", -1},   {"abd", "abc", 1},   {"ab", "abc", -1},
      {"abc", "ab", 1},     {"", "a", -1},        {"", "", 0},         {"Z", "a", -1},
      {"a", "\x80", -1},    {"\x80", "\xff", -1}, {"\xff", "\x7f", 1}, {"a b", "ab", -1},
      {"\x84x", "\x84", 1}, {"A", "a", -1},
  };
  for (const table_row& row : rows)
    EXPECT_EQ(compare(row.a, row.b), row.expected) << row.a << " / " << row.b;
}

// A text and its count, as the judge orders them.
using counted_text = std::pair<std::string, int>;

// Entries made of texts and listed in the order given.
class listed_texts {
 public:
  explicit listed_texts(const std::vector<counted_text>& texts) {
    for (const auto& [text, count] : texts) {
      entry_ref ref = kNoEntry;
      word_entry* const entry = add_entry(
          entries_, [](std::size_t size) { return std::malloc(size); },
          reinterpret_cast<const unsigned char*>(text.data()), text.size(), ref);
      entry->count = count;
      list_.push_back(listed_entry{0, ref, static_cast<std::uint32_t>(list_.size())});
    }
  }

  // Sorts the list, in text order first, and returns the texts in its new
  // order.
  std::vector<counted_text> sorted(entry_order order) {
    sort_by_text(entries_, list_.data(), list_.size());
    if (order == entry_order::by_falling_count)
      order_by_falling_count(entries_, list_.data(), list_.size());
    std::vector<counted_text> texts;
    for (const listed_entry& listed : list_) {
      const word_entry& entry = *entry_at(entries_, listed.entry);
      texts.emplace_back(reinterpret_cast<const char*>(entry.text()), entry.count);
    }
    return texts;
  }

  // The entries and hashes of the list, whatever its order.
  std::vector<std::pair<entry_ref, std::uint32_t>> listed() const {
    std::vector<std::pair<entry_ref, std::uint32_t>> found;
    for (const listed_entry& listed : list_) found.emplace_back(listed.entry, listed.hash);
    std::sort(found.begin(), found.end());
    return found;
  }

 private:
  entry_blocks entries_;
  std::vector<listed_entry> list_;
};

// The order of a walk, as plainly as it can be said.
std::vector<counted_text> judged(std::vector<counted_text> texts, entry_order order) {
  std::sort(texts.begin(), texts.end(), [order](const counted_text& a, const counted_text& b) {
    if (order == entry_order::by_falling_count && a.second != b.second) return a.second > b.second;
    return compare(a.first, b.first) < 0;
  });
  return texts;
}

// `count` different texts built from a few pieces, so that they begin one
// another and share long beginnings, with counts from 1 to 4.
std::vector<counted_text> made_texts(std::size_t count, unsigned seed) {
  static const char* const kPieces[] = {"a", "ab", "abcdefgh", "B", " ", "\x80", "\xff", "z"};
  std::mt19937 random(seed);
  std::vector<counted_text> texts;
  std::set<std::string> seen;
  while (texts.size() < count) {
    std::string text;
    const int pieces = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < pieces; ++i) text += kPieces[random() % std::size(kPieces)];
    if (seen.insert(text).second) texts.emplace_back(text, 1 + static_cast<int>(random() % 4));
  }
  return texts;
}

TEST(sort_entries, SortsLikeTheJudgeInEitherOrder) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{300},
                                  kLeastDistributedEntries - 1, kLeastDistributedEntries,
                                  std::size_t{5000}, std::size_t{40000}}) {
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
  for (int i = 0; i < 3000; ++i) {
    std::string text(random() % 30, 'k');
    for (int tail = random() % 4; tail > 0; --tail) text += static_cast<char>('a' + random() % 3);
    if (!text.empty()) texts.emplace_back(text, 1 + static_cast<int>(random() % 3));
  }
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end(),
                          [](const counted_text& a, const counted_text& b) { return a.first == b.first; }),
              texts.end());
  std::shuffle(texts.begin(), texts.end(), random);
  for (const entry_order order : {entry_order::by_text, entry_order::by_falling_count})
    EXPECT_EQ(listed_texts(texts).sorted(order), judged(texts, order));
}

TEST(sort_entries, KeepsTheHashesOfTheEntries) {
  listed_texts texts(made_texts(kLeastDistributedEntries * 40, 3));
  const auto before = texts.listed();
  texts.sorted(entry_order::by_falling_count);
  EXPECT_EQ(texts.listed(), before);
}

TEST(sort_entries, LeavesAListOfOneCountInTextOrder) {
  std::vector<counted_text> texts = made_texts(2000, 9);
  for (counted_text& text : texts) text.second = 7;
  EXPECT_EQ(listed_texts(texts).sorted(entry_order::by_falling_count),
            judged(texts, entry_order::by_text));
}

TEST(sort_entries, OrdersTextsBeyondTheKeyedBytes) {
  std::vector<counted_text> texts;
  for (const std::size_t shared : {kMostKeyedBytes - 1, kMostKeyedBytes, kMostKeyedBytes + 1}) {
    const std::string beginning(shared, static_cast<char>('a' + shared % 3));
    for (const char* tail : {"c", "a", "", "ba", "b", "\x80"})
      texts.emplace_back(beginning + tail, 1 + static_cast<int>(texts.size() % 2));
  }
  std::shuffle(texts.begin(), texts.end(), std::mt19937(5));
  for (const entry_order order : {entry_order::by_text, entry_order::by_falling_count})
    EXPECT_EQ(listed_texts(texts).sorted(order), judged(texts, order));
}

}  // namespace
