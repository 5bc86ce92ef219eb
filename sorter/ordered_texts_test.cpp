#include "sorter/ordered_texts.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

void* allocate(std::size_t size) { return std::malloc(size); }
void* resize(void* block, std::size_t size) { return std::realloc(block, size); }

// Ordered texts and their tails, filled as the store fills them.
class ordered_texts_test : public ::testing::Test {
 protected:
  bool add(const std::string& text, resize_function resizing = resize) {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    const word_entry entry = entry_of(bytes, text.size());
    return add_ordered_text(texts, tails, allocate, resizing, bytes, text.size(), entry.keys);
  }

  // The texts and their counts in the order of a walk.
  std::vector<std::pair<std::string, int>> walked(bool by_count = false) const {
    std::vector<std::pair<std::string, int>> found;
    const auto visit = [&](tail_ref ref, const unsigned char* text, std::size_t length,
                           int count) {
      EXPECT_EQ(tail_at(tails, ref), text);
      found.emplace_back(std::string(reinterpret_cast<const char*>(text), length), count);
      return true;
    };
    if (by_count)
      for_each_ordered_by_count(texts, tails, visit);
    else
      for_each_ordered(texts, tails, visit);
    return found;
  }

  tail_blocks tails;
  ordered_texts texts;
};

using counted = std::vector<std::pair<std::string, int>>;

TEST_F(ordered_texts_test, CountsTheLastTextAgainAndWalksInEitherOrder) {
  EXPECT_TRUE(walked().empty());
  const std::string long_text = "a text longer than its sixteen-byte keys";
  for (const char* text : {"a", "b", "c", "d"}) ASSERT_TRUE(add(text));
  EXPECT_EQ(count_last_again(texts), 2);
  EXPECT_EQ(count_last_again(texts), 3);
  ASSERT_TRUE(add(long_text));
  EXPECT_EQ(count_last_again(texts), 2);
  ASSERT_TRUE(add("z"));
  EXPECT_EQ(reinterpret_cast<const char*>(last_tail(texts, tails)), std::string());
  EXPECT_EQ(walked(), (counted{{"a", 1}, {"b", 1}, {"c", 1}, {"d", 3}, {long_text, 2}, {"z", 1}}));
  EXPECT_EQ(walked(true),
            (counted{{"d", 3}, {long_text, 2}, {"a", 1}, {"b", 1}, {"c", 1}, {"z", 1}}));
  EXPECT_EQ(walked().size(), 6u);  // the walk by count put the repeats back
  forget_repeats(texts);
  EXPECT_EQ(walked()[3], std::make_pair(std::string("d"), 1));
}

TEST_F(ordered_texts_test, KeepsTheTailOfTheLastText) {
  ASSERT_TRUE(add("0123456789abcdefTAIL"));
  EXPECT_EQ(reinterpret_cast<const char*>(last_tail(texts, tails)), std::string("TAIL"));
  EXPECT_EQ(texts.last_length, 20u);
}

// Many texts across several blocks, many of them repeated: the repeats grow
// as texts are made, so that counting one again never needs memory.
TEST_F(ordered_texts_test, WalksManyTextsAcrossBlocks) {
  counted expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string text = "w" + std::to_string(100000 + i);
    ASSERT_TRUE(add(text));
    int count = 1;
    for (int again = i % 3; again > 0; --again) count = count_last_again(texts);
    expected.emplace_back(text, count);
  }
  EXPECT_GT(tails.count, 1u);
  EXPECT_EQ(walked(), expected);
  EXPECT_EQ(walked(true).front(), std::make_pair(std::string("w100002"), 3));
}

TEST_F(ordered_texts_test, MakesNothingWithoutRoomForAnotherRepeat) {
  counted expected;
  while (texts.repeat_count < texts.repeat_room || texts.repeat_room == 0) {
    const std::string text = "r" + std::to_string(1000 + expected.size());
    ASSERT_TRUE(add(text));
    expected.emplace_back(text, count_last_again(texts));
  }
  EXPECT_FALSE(add("s", [](void*, std::size_t) -> void* { return nullptr; }));
  EXPECT_EQ(walked(), expected);
  ASSERT_TRUE(add("s"));
  EXPECT_EQ(count_last_again(texts), 2);
}

}  // namespace
