#include "sorter/word_chains.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "sorter/sorter_state.hpp"

namespace {

// The entries as "text count", in the order the store hands them out.
std::vector<std::string> stored(const sorter_state& state,
                                entry_order order = entry_order::by_text) {
  std::vector<std::string> lines;
  for_each_entry(
      state.chain_table,
      [&](const word_entry& entry) {
        lines.push_back(reinterpret_cast<const char*>(entry.text()) +
                        (" " + std::to_string(entry.count)));
        return true;
      },
      order);
  return lines;
}

// Counts and stores lines as the input phase does.
void take_lines(sorter_state& state, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    ++state.entry_count;
    ASSERT_EQ(make_entry(state, line), 0);
  }
}

TEST(make_entry, KeepsEveryChainSortedWhateverTheInputOrder) {
  sorter_state state;
  take_lines(state, {"beta\n", "alpha\n", "alphabet\n", "alp\n", "\xe4\n", "Alpha\n",
                     "alpha beta\n", "b\n", "\x80\n", " \n", "gamma\n"});
  const std::vector<std::string> expected = {"  1",          "Alpha 1",    "alp 1", "alpha 1",
                                             "alpha beta 1", "alphabet 1", "b 1",   "beta 1",
                                             "gamma 1",      "\x80 1",     "\xe4 1"};
  EXPECT_EQ(stored(state), expected);
  EXPECT_EQ(state.entry_count, 11);
  EXPECT_EQ(state.duplicate_count, 0);
  EXPECT_EQ(state.highest_count, 1);
}

TEST(make_entry, CountsDuplicatesAndFollowsTheHighestCount) {
  sorter_state state;
  EXPECT_EQ(state.highest_count, 0);
  take_lines(state, {"b\n", "a\n", "b\n", "c\n", "b\n", "a\n"});
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 2", "b 3", "c 1"}));
  EXPECT_EQ(state.entry_count, 3);
  EXPECT_EQ(state.duplicate_count, 3);
  EXPECT_EQ(state.highest_count, 3);
}

TEST(make_entry, CutsTheTextAtTheFirstLineEndOrZeroByte) {
  sorter_state state;
  take_lines(state, {"one\ntail", "two\rtail\n", std::string("three\0tail\n", 11), "four"});
  EXPECT_EQ(stored(state), (std::vector<std::string>{"four 1", "one 1", "three 1", "two 1"}));
}

TEST(make_entry, StoresNothingForAnEmptyText) {
  sorter_state state;
  take_lines(state, {"\n", "\r\n", "", std::string("\0x\n", 3)});
  EXPECT_TRUE(stored(state).empty());
  EXPECT_EQ(state.entry_count, 4);
  EXPECT_EQ(state.highest_count, 0);
}

TEST(make_entry, ReportsAnAllocatorThatRunsDry) {
  sorter_state state;
  state.allocate_entry = [](std::size_t) -> void* { return nullptr; };
  EXPECT_EQ(make_entry(state, "word\n"), -1);
  EXPECT_EQ(make_entry(state, "\n"), 0);  // an empty line needs no memory
  EXPECT_TRUE(stored(state).empty());
  EXPECT_EQ(state.duplicate_count, 0);
  EXPECT_EQ(state.highest_count, 0);
}

TEST(for_each_entry, StopsWhenTheVisitorSaysSo) {
  sorter_state state;
  take_lines(state, {"a\n", "b\n", "c\n"});
  int visited = 0;
  EXPECT_FALSE(for_each_entry(state.chain_table, [&](const word_entry&) { return ++visited < 2; }));
  EXPECT_EQ(visited, 2);
}

// Texts "w0", "w1", ... in the order they are made, each a line of its own.
std::vector<std::string> numbered_lines(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back("w" + std::to_string(i) + "\n");
  return lines;
}

TEST(make_entry, FindsEveryTextAgainAfterTheTableHasGrown) {
  constexpr int kTexts = 20000;  // many times the first table
  sorter_state state;
  const std::vector<std::string> lines = numbered_lines(kTexts);
  take_lines(state, lines);
  take_lines(state, lines);
  EXPECT_EQ(state.entry_count, kTexts);
  EXPECT_EQ(state.duplicate_count, kTexts);
  EXPECT_EQ(state.highest_count, 2);
  const std::vector<std::string> walked = stored(state);
  ASSERT_EQ(walked.size(), std::size_t{kTexts});
  EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end()));
  EXPECT_EQ(walked.front(), "w0 2");
  EXPECT_EQ(walked.back(), "w9999 2");
}

TEST(make_entry, ReportsATableThatCannotBeMade) {
  sorter_state state;
  state.resize_table = [](void*, std::size_t) -> void* { return nullptr; };
  EXPECT_EQ(make_entry(state, "word\n"), -1);
  EXPECT_TRUE(stored(state).empty());
  EXPECT_EQ(state.entry_count, 0);
  EXPECT_EQ(state.highest_count, 0);
}

// Table blocks handed out so far; only the first is.
int table_blocks = 0;

void* resize_first_table_only(void* block, std::size_t size) {
  return table_blocks++ == 0 ? std::realloc(block, size) : nullptr;
}

TEST(make_entry, KeepsCountingDuplicatesWhenTheTableCannotGrow) {
  sorter_state state;
  table_blocks = 0;
  state.resize_table = resize_first_table_only;
  int taken = 0;
  while (make_entry(state, "w" + std::to_string(taken)) == 0) ++taken;
  EXPECT_GT(taken, 0);  // the first table held these, the next text found no room
  EXPECT_EQ(table_blocks, 2);
  EXPECT_EQ(make_entry(state, "w0"), 0);
  EXPECT_EQ(make_entry(state, "w" + std::to_string(taken)), -1);
  EXPECT_EQ(state.duplicate_count, 1);
  EXPECT_EQ(state.highest_count, 2);
  EXPECT_EQ(stored(state).size(), std::size_t(taken));
}

TEST(for_each_entry, WalksByFallingCountEachCountInTextOrder) {
  sorter_state state;
  take_lines(state, {"c\n", "b\n", "a\n", "c\n", "d\n", "b\n", "c\n", "\x80\n", "\x80\n"});
  std::string walked;
  for_each_entry(
      state.chain_table,
      [&](const word_entry& entry) {
        walked +=
            reinterpret_cast<const char*>(entry.text()) + (" " + std::to_string(entry.count)) + ";";
        return true;
      },
      entry_order::by_falling_count);
  EXPECT_EQ(walked, "c 3;b 2;\x80 2;a 1;d 1;");
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 1", "b 2", "c 3", "d 1", "\x80 2"}));
}

TEST(make_entry, TakesLinesInOrderWithoutHashingThem) {
  sorter_state state;
  take_lines(state, {"a\n", "a\n", "ab\n", "b\n", "b\r\n", "b c\n", "\x80\n", "\x80\n"});
  EXPECT_FALSE(state.chain_table.hashed);
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 2", "ab 1", "b 2", "b c 1", "\x80 2"}));
  EXPECT_EQ(state.entry_count, 5);
  EXPECT_EQ(state.duplicate_count, 3);
  EXPECT_EQ(state.highest_count, 2);
}

TEST(make_entry, HashesTheEntriesWhenALineComesOutOfOrder) {
  sorter_state state;
  take_lines(state, {"a", "b", "c", "cc"});
  EXPECT_FALSE(state.chain_table.hashed);
  take_lines(state, {"ca", "a", "cc", "d", "b", "ab"});
  EXPECT_TRUE(state.chain_table.hashed);
  EXPECT_EQ(stored(state),
            (std::vector<std::string>{"a 2", "ab 1", "b 2", "c 1", "ca 1", "cc 2", "d 1"}));
  EXPECT_EQ(state.duplicate_count, 3);
}

TEST(make_entry, TakesLinesAfterAWalkInEitherOrder) {
  for (const bool hashed : {false, true}) {
    sorter_state state;
    take_lines(state, {"b", "c", "c", "d"});
    if (hashed) take_lines(state, {"a"});
    stored(state, entry_order::by_falling_count);  // "c" first: the list leaves text order
    take_lines(state, {"d", "e", "e"});
    EXPECT_EQ(state.chain_table.hashed, hashed);
    std::vector<std::string> expected = {"b 1", "c 2", "d 2", "e 2"};
    if (hashed) expected.insert(expected.begin(), "a 1");
    EXPECT_EQ(stored(state), expected) << hashed;
    take_lines(state, {"a", "ba"});
    EXPECT_TRUE(state.chain_table.hashed);
    expected = {hashed ? "a 2" : "a 1", "b 1", "ba 1", "c 2", "d 2", "e 2"};
    EXPECT_EQ(stored(state), expected) << hashed;
  }
}

TEST(make_entry, StoresATextLongerThanABlock) {
  sorter_state state;
  const std::string longest(3 * kEntryBlockBytes, 'l');
  take_lines(state, {"m", longest + "\n", "k", longest, longest + "x"});
  EXPECT_EQ(stored(state),
            (std::vector<std::string>{"k 1", longest + " 2", longest + "x 1", "m 1"}));
}

}  // namespace
