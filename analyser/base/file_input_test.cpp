#include "analyser/base/file_input.hpp"

#include <gtest/gtest.h>

#include "test_support/streams.hpp"

namespace {
TEST(ReadLine, LinesWithTheirLineEndsWhateverTheirLength) {
  const std::string long_line(5000, 'x');
  memory_input input("a\n" + long_line + "\r\n\nlast");
  std::string line;
  ASSERT_TRUE(read_line(input.file(), line));
  EXPECT_EQ(line, "a\n");
  ASSERT_TRUE(read_line(input.file(), line));
  EXPECT_EQ(line, long_line + "\r\n");
  ASSERT_TRUE(read_line(input.file(), line));
  EXPECT_EQ(line, "\n");
  ASSERT_TRUE(read_line(input.file(), line));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(read_line(input.file(), line));
  EXPECT_EQ(line, "");
}

TEST(ReadLine, KeepsZeroBytes) {
  memory_input input(std::string("a\0b\n", 4));
  std::string line;
  ASSERT_TRUE(read_line(input.file(), line));
  EXPECT_EQ(line, std::string("a\0b\n", 4));
}

TEST(ReadLine, EmptyStreamHasNoLine) {
  memory_input input("");
  std::string line = "old";
  EXPECT_FALSE(read_line(input.file(), line));
}

TEST(RemoveLineEnd, LfOrCrLfAndNothingElse) {
  struct row {
    const char* in;
    const char* out;
  };
  const row rows[] = {
      {"name\n", "name"}, {"name\r\n", "name"}, {"name", "name"},   {"name\r", "name\r"},
      {"\n", ""},         {"\r\n", ""},         {"", ""},           {"a\r\r\n", "a\r"},
  };
  for (const row& row : rows) {
    std::string line = row.in;
    remove_line_end(line);
    EXPECT_EQ(line, row.out) << row.in;
  }
}

TEST(IsLineEndOnly, EmptyLinesInBothConventions) {
  EXPECT_TRUE(is_line_end_only("\n"));
  EXPECT_TRUE(is_line_end_only("\r\n"));
  EXPECT_FALSE(is_line_end_only(" \n"));
  EXPECT_FALSE(is_line_end_only(""));
  EXPECT_FALSE(is_line_end_only("\r"));
}

TEST(OpenTextFile, MissingAndEmptyNamesFail) {
  EXPECT_EQ(open_text_file("/nonexistent/mirask/file"), nullptr);
  EXPECT_EQ(open_text_file(""), nullptr);
}
}  // namespace
