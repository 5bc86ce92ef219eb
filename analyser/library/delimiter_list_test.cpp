#include "analyser/library/delimiter_list.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
std::string item_of(const char* text, int* advance) {
  std::string item = "old";
  *advance = next_list_item(text, item);
  return item;
}

TEST(NextListItem, StopsAtCommaCrLfOrEnd) {
  int advance = 0;
  EXPECT_EQ(item_of("32,44", &advance), "32");
  EXPECT_EQ(advance, 3);
  EXPECT_EQ(item_of("44\n", &advance), "44");
  EXPECT_EQ(advance, 2);
  EXPECT_EQ(item_of("7\r\n", &advance), "7");
  EXPECT_EQ(advance, 1);
  EXPECT_EQ(item_of(",x", &advance), "");
  EXPECT_EQ(advance, 1);
  EXPECT_EQ(item_of("", &advance), "");
  EXPECT_EQ(advance, 0);
  const std::string long_item(100, '1');
  EXPECT_EQ(item_of(long_item.c_str(), &advance), long_item);
  EXPECT_EQ(advance, 100);
}

std::vector<int> codes_of(const std::string& line) {
  unsigned char set[kDelimiterSetSize];
  std::fill(std::begin(set), std::end(set), 0xAA);
  read_char_list(line.c_str(), set);
  std::vector<int> codes;
  for (int i = 0; i < kDelimiterSetSize && set[i] != 0; ++i) codes.push_back(set[i]);
  return codes;
}

TEST(ReadCharList, DecodesTheDelimiterLine) {
  struct row {
    const char* line;
    std::vector<int> codes;
  };
  const std::vector<row> rows = {
      {"32,44,46\n", {32, 44, 46}},
      {"32,44,\n", {32, 44}},  // a comma before the line end adds nothing
      {"32,44,\r\n", {32, 44}},
      {"32", {32}},  // no line end at all
      {" 32, 44x,+46\n", {32, 44, 46}},
      {"32,0,44\n", {32}},      // the code 0 ends the set
      {"288,-1\n", {32, 255}},  // the low 8 bits
      {"32,,44\n", {32, 44}},   // an empty item adds nothing
      {"x,32\n", {32}},         // so does an item without a number
      {"\n", {}},
      {"", {}},
      {"32,32,44,32\n", {32, 44}},  // repeated codes are members once
  };
  for (const row& row : rows) EXPECT_EQ(codes_of(row.line), row.codes) << row.line;
}

TEST(ReadCharList, EveryCodeFitsAndAllRepeatsAreHarmless) {
  std::string line;
  std::vector<int> all;
  for (int round = 0; round < 3; ++round) {
    for (int code = 1; code < 256; ++code) line += std::to_string(code) + ",";
  }
  for (int code = 1; code < 256; ++code) all.push_back(code);
  EXPECT_EQ(codes_of(line + "\n"), all);
}

}  // namespace
