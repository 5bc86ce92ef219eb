#include "checker/text_input.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/streams.hpp"

namespace {

// One character as a test row writes it: its `c` and where it stands.
struct read_row {
  int c;
  long long line, column;
};

// Reads `text` to its end, the end itself included.
std::vector<read_row> read_all(std::string_view text, bool utf8) {
  const owned_file file = stream_over(text);
  text_input input(file.get(), utf8);
  std::vector<read_row> read;
  for (;;) {
    const int c = input.next().c;
    EXPECT_EQ(input.last_char(), c);
    read.push_back({c, input.position().line, input.position().column});
    if (c == EOF) return read;
  }
}

void expect_read(std::string_view text, bool utf8, const std::vector<read_row>& expected) {
  const std::vector<read_row> read = read_all(text, utf8);
  ASSERT_EQ(read.size(), expected.size()) << text;
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].c, expected[i].c) << text << " #" << i;
    EXPECT_EQ(read[i].line, expected[i].line) << text << " #" << i;
    EXPECT_EQ(read[i].column, expected[i].column) << text << " #" << i;
  }
}

// Columns count CRs like any character; the end of the file stands just past
// its last character.
TEST(TextInput, CountsLinesAndColumnsFromOne) {
  expect_read("A\r\nB", false, {{'A', 1, 1}, {'\r', 1, 2}, {'\n', 1, 3}, {'B', 2, 1}, {EOF, 2, 2}});
  expect_read("\n", false, {{'\n', 1, 1}, {EOF, 2, 1}});
  expect_read("", false, {{EOF, 1, 1}});
}

// Characters count as one column, a fault as one for each of its bytes; a
// byte that cut a sequence short is read again as the next character.
TEST(TextInput, CountsUtf8CharactersAndHandsOutFaultsWithTheirBytes) {
  expect_read("ẞX\xE2\x82" "A\x80\xC3\nü", true,
              {{'^', 1, 1}, {'X', 1, 2}, {kFaultyChar, 1, 3}, {'A', 1, 5}, {kFaultyChar, 1, 6},
               {kFaultyChar, 1, 7}, {'\n', 1, 8}, {'}', 2, 1}, {EOF, 2, 2}});
  const owned_file file = stream_over("\xF0\x9F\x98\x80!");
  text_input input(file.get(), true);
  const input_char read = input.next();
  EXPECT_EQ(read.sequence(), "\xF0\x9F\x98\x80");
  EXPECT_EQ(read.decoded.fault, utf8_fault::not_held);
  EXPECT_EQ(input.next().c, '!');
}

}  // namespace
