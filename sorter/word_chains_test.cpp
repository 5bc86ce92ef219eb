#include "sorter/word_chains.hpp"

#include <gtest/gtest.h>

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

}  // namespace
