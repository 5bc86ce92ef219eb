#include "sorter/filter_file.hpp"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "sorter/sorter_state.hpp"
#include "test_support/streams.hpp"

namespace {

// A state whose standard output and standard error are captured.
class filter_file_test : public ::testing::Test {
 protected:
  void SetUp() override {
    state.out = out.file();
    state.err = err.file();
  }

  int read_items(const std::string& text) {
    const memory_input file(text);
    return read_filter_items(state, file.file());
  }
  // The entries of filter_map that differ from their index.
  std::vector<std::pair<int, int>> changes() const {
    std::vector<std::pair<int, int>> found;
    for (int b = 0; b < kByteValues; ++b) {
      if (state.filter_map[b] != b) found.emplace_back(b, state.filter_map[b]);
    }
    return found;
  }

  captured_output out;
  captured_output err;
  sorter_state state;
};

using change_list = std::vector<std::pair<int, int>>;

TEST_F(filter_file_test, TakesWellFormedItems) {
  struct table_row {
    const char* what;
    std::string text;
    change_list expected;
  };
  const table_row rows[] = {
      {"one item", "65=66\n", {{65, 66}}},
      {"comments and empty lines only", "! a comment\n\n!65=66\n\n", {}},
      {"blanks anywhere, inside numbers too", " 6 5 =  6 6 \n", {{65, 66}}},
      {"the later item wins", "65=66\n65=67\n", {{65, 67}}},
      {"an item back to its own value", "65=66\n65=65\n", {}},
      {"items do not chain", "65=66\n66=67\n", {{65, 66}, {66, 67}}},
      {"the bounds of a byte", "0=255\n255=0\n", {{0, 255}, {255, 0}}},
      {"what follows the digits is ignored", "65x=66;7\r\n", {{65, 66}}},
      {"a sign and leading tabs as \"%d\" reads them", "+65=\t66\n-0=1\n", {{0, 1}, {65, 66}}},
      {"a side of 11 characters", "00000000065=00000000066\n", {{65, 66}}},
      {"the last line without line feed", "65=66\n67=68", {{65, 66}, {67, 68}}},
      {"two signs \"=\": the last one counts", "1=2=3\n", {{2, 3}}},
  };
  for (const table_row& row : rows) {
    EXPECT_EQ(read_items(row.text), 0) << row.what;
    EXPECT_TRUE(state.filter_active) << row.what;
    EXPECT_EQ(changes(), row.expected) << row.what;
  }
  EXPECT_EQ(err.text(), "");
}

TEST_F(filter_file_test, StopsAtTheFirstWrongItemKeepingTheItemsBefore) {
  struct table_row {
    std::string wrong_line;
  };
  const table_row rows[] = {
      {"65 66\n"}, {"256=1\n"},
      {"1=256\n"}, {"-1=1\n"},
      {"=66\n"},   {"65=\n"},
      {"x=66\n"},  {" !comment\n"},
      {" \n"},     {"000000000065=66\n"},  // a side of 12 characters
  };
  for (const table_row& row : rows) {
    state.filter_map = identity_filter();
    const std::size_t before = err.text().size();
    EXPECT_EQ(read_items("10=32\n" + row.wrong_line + "67=68\n"), -1) << row.wrong_line;
    EXPECT_EQ(changes(), (change_list{{10, 32}})) << row.wrong_line;
    EXPECT_EQ(err.text().substr(before), "\n--- wrong filter item " + row.wrong_line + " ---\n");
  }
  EXPECT_TRUE(state.filter_active);
  EXPECT_EQ(out.text(), "");
}

TEST_F(filter_file_test, ChecksTheLastLineWithoutLineFeedAsAnItem) {
  EXPECT_EQ(read_items("10=32\n65="), -1);
  EXPECT_EQ(changes(), (change_list{{10, 32}}));
  EXPECT_EQ(err.text(), "\n--- wrong filter item 65= ---\n");
}

TEST_F(filter_file_test, ReadsLinesLongerThan99Characters) {
  const std::string comment = "!" + std::string(150, 'c') + "\n";
  const std::string item = "65" + std::string(120, ' ') + "=66\n";
  EXPECT_EQ(read_items(comment + item), 0);
  EXPECT_EQ(changes(), (change_list{{65, 66}}));
}

TEST_F(filter_file_test, StartsFromNoChangeOnEveryRead) {
  state.filter_map['A'] = 'B';
  EXPECT_EQ(read_items("! nothing\n"), 0);
  EXPECT_TRUE(changes().empty());
}

TEST_F(filter_file_test, MissingFileIsReportedAndLeavesTheFilterOff) {
  state.filter_map['A'] = 'B';
  EXPECT_EQ(read_filter(state, "/nonexistent/filter.txt"), -1);
  EXPECT_EQ(out.text(), "\n--- Filter File not Found ---");
  EXPECT_FALSE(state.filter_active);
  EXPECT_TRUE(changes().empty());
}

TEST_F(filter_file_test, UnreadableFileIsReportedAsNotFound) {
  EXPECT_EQ(read_filter(state, "/"), -1);
  EXPECT_EQ(out.text(), "\n--- Filter File not Found ---");
  EXPECT_TRUE(changes().empty());
}

std::span<unsigned char> bytes_of(std::string& line) {
  return {reinterpret_cast<unsigned char*>(line.data()), line.size()};
}

TEST_F(filter_file_test, ApplyFilterTranslatesEachByteOnceUpToTheTerminator) {
  ASSERT_EQ(read_items("65=66\n66=67\n10=32\n200=0\n"), 0);
  std::string line = "ABA\n";
  apply_filter(state, bytes_of(line));
  EXPECT_EQ(line, "BCB ");
  line = std::string("A\0A\n", 4);
  apply_filter(state, bytes_of(line));
  EXPECT_EQ(line, std::string("B\0A\n", 4));
  line = "A\310A\n";  // 0xC8 between two A
  apply_filter(state, bytes_of(line));
  EXPECT_EQ(line, std::string("B\0B ", 4));
}

}  // namespace
