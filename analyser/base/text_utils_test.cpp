#include "analyser/base/text_utils.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "test_support/streams.hpp"

namespace {
const unsigned char* u(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

TEST(UpcaseChar, MapsLettersAndUmlautCodesOnly) {
  struct row {
    unsigned char in, out;
  };
  const row rows[] = {
      {'a', 'A'},   {'z', 'Z'},   {0x7B, 0x5B}, {0x7C, 0x5C}, {0x7D, 0x5D}, {0x7E, 0x5E},
      {0x7F, 0x7F}, {0x60, 0x60}, {'A', 'A'},   {'0', '0'},   {'.', '.'},   {0xE4, 0xE4},
      {0x80, 0x80}, {0xFF, 0xFF}, {0x00, 0x00}, {0x7A, 0x5A},
  };
  for (const row& row : rows) EXPECT_EQ(upcase_char(row.in), row.out) << int(row.in);
}

TEST(UpcaseLatin1Char, AddsTheSmallLettersOfIso88591) {
  struct row {
    unsigned char in, out;
  };
  const row rows[] = {
      {'a', 'A'},   {0x7B, 0x5B}, {0x7E, 0x5E}, {0xE0, 0xC0}, {0xE9, 0xC9}, {0xF6, 0xD6},
      {0xF7, 0xF7}, {0xF8, 0xD8}, {0xFE, 0xDE}, {0xFF, 0xFF}, {0xDF, 0xDF}, {0xC9, 0xC9},
      {0xDE, 0xDE}, {0xBF, 0xBF}, {0x80, 0x80}, {0x7F, 0x7F},
  };
  for (const row& row : rows) EXPECT_EQ(upcase_latin1_char(row.in), row.out) << int(row.in);
}

TEST(CopyBytes, CopiesExactlyCountBytesZeroBytesIncluded) {
  unsigned char out[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
  copy_bytes(out, u("a\0b"), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), std::string("a\0bxxx", 6));
  copy_bytes(out, u("zz"), 0);
  copy_bytes(out, u("zz"), -3);
  EXPECT_EQ(out[0], 'a');
}

TEST(CopyBytesNul, WritesTerminatorBehindTheBytes) {
  unsigned char out[4] = {'x', 'x', 'x', 'x'};
  copy_bytes_nul(out, u("ab"), 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), std::string("ab\0x", 4));
  copy_bytes_nul(out, u("q"), 0);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 'b');
  out[0] = 'y';
  copy_bytes_nul(out, u("q"), -1);  // a negative count is no bytes
  EXPECT_EQ(out[0], 0);
}

TEST(CompareBytes, SignAndSizeOfTheFirstDifference) {
  struct row {
    const char* first;
    const char* second;
    int count;
    int expected;
  };
  const row rows[] = {
      {"ABC", "ABC", 3, 0},     {"ABC", "ABD", 3, 'C' - 'D'}, {"ABD", "ABC", 3, 1},
      {"ABC", "ABD", 2, 0},     {"A", "\xC4", 1, -131},       {"\xC4", "A", 1, 131},
      {"\xFF", "\x00", 1, 255}, {"\x00", "\xFF", 1, -255},    {"XYZ", "ABC", 0, 0},
      {"XYZ", "ABC", -5, 0},    {"NPRO", "NP", 2, 0},
  };
  for (const row& row : rows) {
    EXPECT_EQ(compare_bytes(u(row.first), u(row.second), row.count), row.expected)
        << row.first << " / " << row.second << " / " << row.count;
  }
}

TEST(CompareBytes, ZeroBytesDoNotEndTheComparison) {
  EXPECT_LT(compare_bytes(u("A\0B"), u("A\0C"), 3), 0);
  EXPECT_EQ(compare_bytes(u("A\0B"), u("A\0B"), 3), 0);
}

TEST(PutBytes, WritesZeroBytesAndNothingForNoCount) {
  captured_output out;
  put_bytes(out.file(), u("a\0b"), 3);
  put_bytes(out.file(), u("zz"), 0);
  put_bytes(out.file(), u("zz"), -1);
  EXPECT_EQ(out.text(), std::string("a\0b", 3));
}

TEST(InCharSet, MembersUpToTheTerminator) {
  const unsigned char set[] = {' ', ',', '.', 0, 'X'};
  EXPECT_TRUE(in_char_set(set, ' '));
  EXPECT_TRUE(in_char_set(set, '.'));
  EXPECT_FALSE(in_char_set(set, 'X'));  // behind the terminator
  EXPECT_FALSE(in_char_set(set, 0));
  const unsigned char empty[] = {0};
  EXPECT_FALSE(in_char_set(empty, ' '));
}

// The membership bits against the walk over the set, for every byte.
TEST(ByteSet, AgreesWithTheSetWalkOnEveryByte) {
  const unsigned char sets[][6] = {{' ', ',', '.', 0, 'X'}, {0}, {0xFF, 0x80, 0x7F, 0x40, 0x3F, 0},
                                   {1, 63, 64, 127, 128, 0}};
  for (const auto& set : sets) {
    const byte_set bits(set);
    for (int c = 0; c < 256; ++c) {
      const auto b = static_cast<unsigned char>(c);
      EXPECT_EQ(bits.contains(b), in_char_set(set, b)) << c;
    }
  }
}

TEST(LeadingInteger, ReadsLikeTheStartOfADecimalNumber) {
  struct row {
    const char* text;
    bool found;
    long value;
  };
  const row rows[] = {
      {"32", true, 32},    {"  44,", true, 44}, {"\t7x", true, 7}, {"-1", true, -1},
      {"+12 a", true, 12}, {"007", true, 7},    {"", false, 0},    {"   ", false, 0},
      {"x3", false, 0},    {"-", false, 0},     {"- 3", false, 0}, {"+-3", false, 0},
  };
  for (const row& row : rows) {
    long value = 0;
    EXPECT_EQ(leading_integer(row.text, value), row.found) << row.text;
    if (row.found) {
      EXPECT_EQ(value, row.value) << row.text;
    }
  }
}

TEST(LeadingInteger, ClampsAtTheLimitsOfLong) {
  long value = 0;
  ASSERT_TRUE(leading_integer(std::to_string(LONG_MAX).c_str(), value));
  EXPECT_EQ(value, LONG_MAX);
  ASSERT_TRUE(leading_integer("99999999999999999999999", value));
  EXPECT_EQ(value, LONG_MAX);
  ASSERT_TRUE(leading_integer(std::to_string(LONG_MIN).c_str(), value));
  EXPECT_EQ(value, LONG_MIN);
  ASSERT_TRUE(leading_integer("-99999999999999999999999", value));
  EXPECT_EQ(value, LONG_MIN);
}
}  // namespace
