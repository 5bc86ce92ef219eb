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

// Scratch lists asked for so far, and whether they are granted.
int scratch_requests = 0;
bool scratch_granted = true;

void* counting_resize(void* block, std::size_t size) {
  ++scratch_requests;
  return scratch_granted ? std::realloc(block, size) : nullptr;
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

  // Sorts the list and returns the texts in its new order.
  std::vector<counted_text> sorted(entry_order order, resize_function resize) {
    sort_entries(entries_, list_.data(), list_.size(), order, resize);
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

class entry_order_test : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_requests = 0;
    scratch_granted = true;
  }
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

TEST_F(entry_order_test, SortsLikeTheJudgeInEitherOrderWithOrWithoutScratch) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{300},
                                  kLeastRadixEntries - 1, kLeastRadixEntries, std::size_t{5000}}) {
    const std::vector<counted_text> texts = made_texts(count, static_cast<unsigned>(count));
    for (const entry_order order : {entry_order::by_text, entry_order::by_falling_count}) {
      for (const resize_function resize : {resize_function{nullptr}, counting_resize}) {
        for (const bool granted : {true, false}) {
          scratch_granted = granted;
          ASSERT_EQ(listed_texts(texts).sorted(order, resize), judged(texts, order))
              << count << " " << static_cast<int>(order) << " " << (resize != nullptr) << granted;
        }
      }
    }
  }
}

TEST_F(entry_order_test, AsksForScratchOnlyForALongListOutOfOrder) {
  const std::vector<counted_text> texts = made_texts(kLeastRadixEntries, 7);
  listed_texts(std::vector<counted_text>(texts.begin() + 1, texts.end()))
      .sorted(entry_order::by_text, counting_resize);
  EXPECT_EQ(scratch_requests, 0);  // one entry short of the radix sort
  listed_texts at_the_limit(texts);
  at_the_limit.sorted(entry_order::by_text, counting_resize);
  EXPECT_EQ(scratch_requests, 1);
  at_the_limit.sorted(entry_order::by_text, counting_resize);
  EXPECT_EQ(scratch_requests, 1);  // in order now, left as it is
}

TEST_F(entry_order_test, KeepsTheHashesOfTheEntries) {
  listed_texts texts(made_texts(kLeastRadixEntries + 10, 3));
  const auto before = texts.listed();
  texts.sorted(entry_order::by_falling_count, counting_resize);
  EXPECT_EQ(texts.listed(), before);
}

TEST_F(entry_order_test, OrdersTextsBeyondTheKeyedBytes) {
  std::vector<counted_text> texts;
  for (const std::size_t shared : {kMostKeyedBytes - 1, kMostKeyedBytes, kMostKeyedBytes + 1}) {
    const std::string beginning(shared, static_cast<char>('a' + shared % 3));
    for (const char* tail : {"c", "a", "", "ba", "b", "\x80"})
      texts.emplace_back(beginning + tail, 1 + static_cast<int>(texts.size() % 2));
  }
  std::shuffle(texts.begin(), texts.end(), std::mt19937(5));
  for (const entry_order order : {entry_order::by_text, entry_order::by_falling_count})
    EXPECT_EQ(listed_texts(texts).sorted(order, nullptr), judged(texts, order));
}

}  // namespace
