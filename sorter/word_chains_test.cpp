#include "sorter/word_chains.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "sorter/sorter_state.hpp"

namespace {

int sign_of(int value) { return (value > 0) - (value < 0); }

int compare(const std::string& a, const std::string& b) {
  return sign_of(compare_text(reinterpret_cast<const unsigned char*>(a.c_str()),
                              reinterpret_cast<const unsigned char*>(b.c_str())));
}

TEST(CompareText, OrdersByUnsignedBytesThenLength) {
  struct Row {
    std::string a, b;
    int expected;
  };
  const Row rows[] = {
      {"abc", "abc", 0},    {"abc", "abd", -1},   {"abd", "abc", 1},   {"ab", "abc", -1},
      {"abc", "ab", 1},     {"", "a", -1},        {"", "", 0},         {"Z", "a", -1},
      {"a", "\x80", -1},    {"\x80", "\xff", -1}, {"\xff", "\x7f", 1}, {"a b", "ab", -1},
      {"\x84x", "\x84", 1}, {"A", "a", -1},
  };
  for (const Row& row : rows)
    EXPECT_EQ(compare(row.a, row.b), row.expected) << row.a << " / " << row.b;
}

// The entries as "text count", in the order the store hands them out.
std::vector<std::string> stored(const SorterState& state) {
  std::vector<std::string> lines;
  for_each_entry(state.chain_table, [&](const word_entry& entry) {
    lines.push_back(reinterpret_cast<const char*>(entry.text()) +
                    (" " + std::to_string(entry.count)));
    return true;
  });
  return lines;
}

// Counts and stores lines as the input phase does.
void take_lines(SorterState& state, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    ++state.entry_count;
    ASSERT_EQ(make_entry(state, line), 0);
  }
}

TEST(MakeEntry, KeepsEveryChainSortedWhateverTheInputOrder) {
  SorterState state;
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

TEST(MakeEntry, CountsDuplicatesAndFollowsTheHighestCount) {
  SorterState state;
  EXPECT_EQ(state.highest_count, 0);
  take_lines(state, {"b\n", "a\n", "b\n", "c\n", "b\n", "a\n"});
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 2", "b 3", "c 1"}));
  EXPECT_EQ(state.entry_count, 3);
  EXPECT_EQ(state.duplicate_count, 3);
  EXPECT_EQ(state.highest_count, 3);
}

TEST(MakeEntry, CutsTheTextAtTheFirstLineEndOrZeroByte) {
  SorterState state;
  take_lines(state, {"one\ntail", "two\rtail\n", std::string("three\0tail\n", 11), "four"});
  EXPECT_EQ(stored(state), (std::vector<std::string>{"four 1", "one 1", "three 1", "two 1"}));
}

TEST(MakeEntry, StoresNothingForAnEmptyText) {
  SorterState state;
  take_lines(state, {"\n", "\r\n", "", std::string("\0x\n", 3)});
  EXPECT_TRUE(stored(state).empty());
  EXPECT_EQ(state.entry_count, 4);
  EXPECT_EQ(state.highest_count, 0);
}

TEST(MakeEntry, ReportsAnAllocatorThatRunsDry) {
  SorterState state;
  state.allocate_entry = [](std::size_t) -> void* { return nullptr; };
  EXPECT_EQ(make_entry(state, "word\n"), -1);
  EXPECT_EQ(make_entry(state, "\n"), 0);  // an empty line needs no memory
  EXPECT_TRUE(stored(state).empty());
  EXPECT_EQ(state.duplicate_count, 0);
  EXPECT_EQ(state.highest_count, 0);
}

TEST(ForEachEntry, StopsWhenTheVisitorSaysSo) {
  SorterState state;
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

TEST(MakeEntry, FindsEveryTextAgainAfterTheTableHasGrown) {
  constexpr int kTexts = 20000;  // many times the first table
  SorterState state;
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

TEST(MakeEntry, ReportsATableThatCannotBeMade) {
  SorterState state;
  state.allocate_table = [](std::size_t) -> void* { return nullptr; };
  EXPECT_EQ(make_entry(state, "word\n"), -1);
  EXPECT_TRUE(stored(state).empty());
  EXPECT_EQ(state.entry_count, 0);
  EXPECT_EQ(state.highest_count, 0);
}

// Table blocks handed out so far; only the first is.
int table_blocks = 0;

void* allocate_first_table_only(std::size_t size) {
  return table_blocks++ == 0 ? std::malloc(size) : nullptr;
}

TEST(MakeEntry, KeepsCountingDuplicatesWhenTheTableCannotGrow) {
  SorterState state;
  table_blocks = 0;
  state.allocate_table = allocate_first_table_only;
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

TEST(ForEachEntry, WalksByFallingCountEachCountInTextOrder) {
  SorterState state;
  take_lines(state, {"c\n", "b\n", "a\n", "c\n", "d\n", "b\n", "c\n", "\x80\n", "\x80\n"});
  std::string walked;
  for_each_entry(
      state.chain_table,
      [&](const word_entry& entry) {
        walked +=
            reinterpret_cast<const char*>(entry.text()) + (" " + std::to_string(entry.count)) + ";";
        return true;
      },
      EntryOrder::by_falling_count);
  EXPECT_EQ(walked, "c 3;b 2;\x80 2;a 1;d 1;");
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 1", "b 2", "c 3", "d 1", "\x80 2"}));
}

}  // namespace
