#include "sorter/word_chains.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "sorter/sorter_state.hpp"

namespace {

std::string text_of(const walked_entry& entry) {
  return std::string(entry.beginning) + std::string(entry.rest);
}

// The entries as "text count", in the order the store hands them out.
std::vector<std::string> stored(const sorter_state& state,
                                entry_order order = entry_order::by_text) {
  std::vector<std::string> lines;
  for_each_entry(
      state.chain_table,
      [&](const walked_entry& entry) {
        lines.push_back(text_of(entry) + " " + std::to_string(entry.count));
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

TEST(make_entry, ReportsATailAllocatorThatRunsDry) {
  sorter_state state;
  state.allocate_tail = [](std::size_t) -> void* { return nullptr; };
  EXPECT_EQ(make_entry(state, "word\n"), -1);  // lines in order are kept whole
  EXPECT_EQ(make_entry(state, "\n"), 0);       // an empty line needs no memory
  EXPECT_TRUE(stored(state).empty());
  EXPECT_EQ(state.duplicate_count, 0);
  EXPECT_EQ(state.highest_count, 0);
  state.allocate_tail = [](std::size_t size) { return std::malloc(size); };
  take_lines(state, {"b", "a"});  // out of order: listed and hashed
  state.allocate_tail = [](std::size_t) -> void* { return nullptr; };
  EXPECT_EQ(make_entry(state, std::string(2 * kTailBlockBytes, 'x')), -1);  // needs a new block
  EXPECT_EQ(make_entry(state, "sixteen  letters\n"), 0);               // no tail
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 1", "b 1", "sixteen  letters 1"}));
}

TEST(for_each_entry, StopsWhenTheVisitorSaysSo) {
  sorter_state state;
  take_lines(state, {"a\n", "b\n", "c\n"});
  int visited = 0;
  EXPECT_FALSE(
      for_each_entry(state.chain_table, [&](const walked_entry&) { return ++visited < 2; }));
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

TEST(make_entry, KeepsCountingDuplicatesWhenTheTableCannotGrow) {
  sorter_state state;
  take_lines(state, {"b", "a"});  // out of order: the first table is made
  state.resize_table = [](void*, std::size_t) -> void* { return nullptr; };
  int taken = 0;
  while (make_entry(state, "w" + std::to_string(taken)) == 0) ++taken;
  EXPECT_GT(taken, 100);  // the first table held these, the next text found no room
  EXPECT_EQ(make_entry(state, "w0"), 0);
  EXPECT_EQ(make_entry(state, "w" + std::to_string(taken)), -1);
  EXPECT_EQ(state.duplicate_count, 1);
  EXPECT_EQ(state.highest_count, 2);
  EXPECT_EQ(stored(state).size(), std::size_t(taken) + 2);
}

TEST(for_each_entry, WalksByFallingCountEachCountInTextOrder) {
  sorter_state state;
  take_lines(state, {"c\n", "b\n", "a\n", "c\n", "d\n", "b\n", "c\n", "\x80\n", "\x80\n"});
  std::string walked;
  for_each_entry(
      state.chain_table,
      [&](const walked_entry& entry) {
        walked += text_of(entry) + " " + std::to_string(entry.count) + ";";
        return true;
      },
      entry_order::by_falling_count);
  EXPECT_EQ(walked, "c 3;b 2;\x80 2;a 1;d 1;");
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 1", "b 2", "c 3", "d 1", "\x80 2"}));
}

TEST(make_entry, TakesLinesInOrderWithoutHashingThem) {
  sorter_state state;
  take_lines(state, {"a\n", "a\n", "ab\n", "b\n", "b\r\n", "b c\n", "\x80\n", "\x80\n"});
  EXPECT_EQ(state.chain_table.finding, entry_store::lookup::in_order);
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 2", "ab 1", "b 2", "b c 1", "\x80 2"}));
  EXPECT_EQ(state.entry_count, 5);
  EXPECT_EQ(state.duplicate_count, 3);
  EXPECT_EQ(state.highest_count, 2);
}

TEST(make_entry, ListsTheOrderedTextsWithTheirCountsWhenALineComesOutOfOrder) {
  sorter_state state;
  const std::string long_a = std::string(20, 'a') + "1";
  const std::string long_b(30, 'b');
  take_lines(state, {"a", long_a, long_a, "b", long_b, long_b, long_b, "c"});
  EXPECT_FALSE(state.chain_table.listed);
  EXPECT_EQ(stored(state, entry_order::by_falling_count),
            (std::vector<std::string>{long_b + " 3", long_a + " 2", "a 1", "b 1", "c 1"}));
  take_lines(state, {long_a, "ab", long_b + "c"});
  EXPECT_TRUE(state.chain_table.listed);
  EXPECT_EQ(state.chain_table.finding, entry_store::lookup::hashed);
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 1", long_a + " 3", "ab 1", "b 1",
                                                     long_b + " 3", long_b + "c 1", "c 1"}));
  EXPECT_EQ(state.duplicate_count, 4);
  EXPECT_EQ(state.highest_count, 3);
}

TEST(make_entry, HashesTheEntriesWhenALineComesOutOfOrder) {
  sorter_state state;
  take_lines(state, {"a", "b", "c", "cc"});
  EXPECT_EQ(state.chain_table.finding, entry_store::lookup::in_order);
  take_lines(state, {"ca", "a", "cc", "d", "b", "ab"});
  EXPECT_EQ(state.chain_table.finding, entry_store::lookup::hashed);
  EXPECT_EQ(stored(state),
            (std::vector<std::string>{"a 2", "ab 1", "b 2", "c 1", "ca 1", "cc 2", "d 1"}));
  EXPECT_EQ(state.duplicate_count, 3);
}

TEST(make_entry, TakesLinesAfterAWalkInEitherOrder) {
  for (const bool hashed : {false, true}) {
    sorter_state state;
    take_lines(state, {"b", "c", "c", "d"});
    if (hashed) take_lines(state, {"a"});
    stored(state, entry_order::by_falling_count);  // "c" first
    take_lines(state, {"d", "e", "e"});
    EXPECT_EQ(state.chain_table.finding == entry_store::lookup::hashed, hashed);
    std::vector<std::string> expected = {"b 1", "c 2", "d 2", "e 2"};
    if (hashed) expected.insert(expected.begin(), "a 1");
    EXPECT_EQ(stored(state), expected) << hashed;
    take_lines(state, {"a", "ba"});
    EXPECT_EQ(state.chain_table.finding, entry_store::lookup::hashed);
    expected = {hashed ? "a 2" : "a 1", "b 1", "ba 1", "c 2", "d 2", "e 2"};
    EXPECT_EQ(stored(state), expected) << hashed;
  }
}

TEST(make_entry, StoresATextLongerThanABlock) {
  sorter_state state;
  const std::string longest(3 * kTailBlockBytes, 'l');
  take_lines(state, {"m", longest + "\n", "k", longest, longest + "x"});
  EXPECT_EQ(stored(state),
            (std::vector<std::string>{"k 1", longest + " 2", longest + "x 1", "m 1"}));
}

}  // namespace

namespace {

// Takes the lines into a store that leaves its duplicates to the end, out
// of order from the first, and settles it.
void take_late(sorter_state& state, const std::vector<std::string>& lines) {
  state.chain_table.late_duplicates = true;
  take_lines(state, lines);
  EXPECT_NE(state.chain_table.finding, entry_store::lookup::in_order);
}

// `count` different texts "t0" ... in an order of their own, every one
// sorting before the one before it at least once in a while.
std::vector<std::string> scattered_texts(int count, unsigned seed) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back("t" + std::to_string(i));
  std::shuffle(texts.begin(), texts.end(), std::mt19937(seed));
  return texts;
}

TEST(settle_entries, MergesTheDuplicatesThatTheStoreHeld) {
  constexpr int kTexts = 30000;  // far more than the recent slots
  sorter_state state;
  std::vector<std::string> lines = scattered_texts(kTexts, 1);
  lines.insert(lines.end(), lines.begin(), lines.begin() + 100);  // seen long ago
  lines.push_back("t0 with a tail beyond its keys");
  lines.push_back("t0 with a tail beyond its keys");
  take_late(state, lines);
  EXPECT_EQ(state.chain_table.finding, entry_store::lookup::sampled);
  EXPECT_GT(state.chain_table.size, std::size_t{kTexts + 50});  // most repeats held
  settle_entries(state);
  EXPECT_EQ(state.chain_table.size, std::size_t{kTexts + 1});
  EXPECT_EQ(state.entry_count, kTexts + 1);
  EXPECT_EQ(state.duplicate_count, 101);
  EXPECT_EQ(state.highest_count, 2);
  const std::vector<std::string> walked = stored(state);
  EXPECT_EQ(std::count_if(walked.begin(), walked.end(),
                          [](const std::string& line) { return line.ends_with(" 2"); }),
            101);
  EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end()));
  // Settled, the store takes lines in order again, and out of order too.
  take_lines(state, {"u", "t0", "v"});
  settle_entries(state);
  EXPECT_EQ(state.duplicate_count, 102);
  EXPECT_EQ(stored(state).back(), "v 1");
}

TEST(settle_entries, HashesEveryEntryOnceTheSampleShowsManyDuplicates) {
  constexpr int kTexts = 20000;
  sorter_state state;
  std::vector<std::string> lines = scattered_texts(kTexts, 2);
  const std::vector<std::string> again = scattered_texts(kTexts, 3);
  lines.insert(lines.end(), again.begin(), again.end());
  take_late(state, lines);
  EXPECT_EQ(state.chain_table.finding, entry_store::lookup::hashed);
  EXPECT_EQ(state.chain_table.size, std::size_t{kTexts});  // the held ones merged
  EXPECT_EQ(state.duplicate_count, kTexts);
  settle_entries(state);  // nothing left to merge
  EXPECT_EQ(state.entry_count, kTexts);
  EXPECT_EQ(state.highest_count, 2);
  EXPECT_EQ(stored(state, entry_order::by_falling_count).front(), "t0 2");
}

TEST(settle_entries, FindsALineThatRepeatsSoonWithoutHoldingIt) {
  sorter_state state;
  std::vector<std::string> lines = {"b", "a"};
  for (int i = 0; i < 50000; ++i) lines.push_back(i % 2 ? "word" : "other");
  take_late(state, lines);
  EXPECT_EQ(state.chain_table.size, 4u);
  EXPECT_EQ(state.duplicate_count, 49998);
  settle_entries(state);
  EXPECT_EQ(stored(state), (std::vector<std::string>{"a 1", "b 1", "other 25000", "word 25000"}));
}

TEST(settle_entries, LeavesAStoreWithoutDuplicatesAsItIs) {
  for (const bool late : {false, true}) {
    sorter_state state;
    state.chain_table.late_duplicates = late;
    take_lines(state, {"a", "b", "b", "c"});
    settle_entries(state);
    EXPECT_EQ(stored(state), (std::vector<std::string>{"a 1", "b 2", "c 1"}));
    take_lines(state, {"a", "d"});
    settle_entries(state);
    EXPECT_EQ(stored(state), (std::vector<std::string>{"a 2", "b 2", "c 1", "d 1"}));
    EXPECT_EQ(state.duplicate_count, 2);
  }
}

TEST(settle_entries, MergesHeldDuplicatesOfLongTexts) {
  sorter_state state;
  std::vector<std::string> lines;
  for (int i = 0; i < 6000; ++i)
    lines.push_back(std::string(16, 'x') + std::to_string((i * 7919) % 3000));
  take_late(state, lines);
  settle_entries(state);
  EXPECT_EQ(state.entry_count, 3000);
  EXPECT_EQ(state.duplicate_count, 3000);
  const std::vector<std::string> walked = stored(state);
  ASSERT_EQ(walked.size(), 3000u);
  EXPECT_EQ(walked.front(), std::string(16, 'x') + "0 2");
}

// Blocks of table and list memory granted before the shortage begins.
int table_blocks_left = 0;

void* resize_until_dry(void* block, std::size_t size) {
  if (table_blocks_left-- <= 0) return nullptr;
  return std::realloc(block, size);
}

// Texts in order with repeats, then out of order, long and short, with
// walks between: every way the store takes a line.
std::vector<std::string> lines_of_every_kind() {
  std::vector<std::string> lines = {"a", "a", "b", std::string(40, 'b'), std::string(40, 'b'), "c"};
  for (const std::string& text : scattered_texts(3000, 4)) lines.push_back(text);
  for (int i = 0; i < 600; ++i) lines.push_back("t" + std::to_string(i * 5));
  for (int i = 0; i < 400; ++i) lines.push_back(std::string(20, 'x') + std::to_string(i % 200));
  return lines;
}

std::vector<std::string> expected_entries(const std::map<std::string, int>& taken) {
  std::vector<std::string> expected;
  for (const auto& [text, count] : taken) expected.push_back(text + " " + std::to_string(count));
  return expected;
}

// Wherever table or list memory runs out, the line that needed it is refused
// and every line taken before stays, with its count, in order; with memory
// again, the store takes the rest.
TEST(make_entry, AShortageOfTableMemoryKeepsEveryLineTakenBefore) {
  const std::vector<std::string> lines = lines_of_every_kind();
  for (const bool late : {false, true}) {
    for (int blocks = 0; blocks < 10; ++blocks) {  // from 9 on the lines need no more
      SCOPED_TRACE("late " + std::to_string(late) + ", blocks " + std::to_string(blocks));
      sorter_state state;
      state.chain_table.late_duplicates = late;
      state.resize_table = resize_until_dry;
      table_blocks_left = blocks;
      std::map<std::string, int> taken;
      std::size_t i = 0;
      for (; i < lines.size(); ++i) {
        if (i == 3 || i == 2000) stored(state, entry_order::by_falling_count);  // a walk between
        if (make_entry(state, lines[i]) != 0) break;
        ++taken[lines[i]];
      }
      settle_entries(state);  // what a run does before it writes the list
      EXPECT_EQ(stored(state), expected_entries(taken));
      table_blocks_left = 1 << 30;
      if (i > 0 && i < lines.size()) {  // the last line again, then a walk that reorders
        ASSERT_EQ(make_entry(state, lines[i - 1]), 0);
        ++taken[lines[i - 1]];
        stored(state, entry_order::by_falling_count);
      }
      for (; i < lines.size(); ++i) {
        ASSERT_EQ(make_entry(state, lines[i]), 0) << i;
        ++taken[lines[i]];
      }
      settle_entries(state);
      EXPECT_EQ(stored(state), expected_entries(taken));
    }
  }
}

}  // namespace
