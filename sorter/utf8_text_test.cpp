#include "sorter/utf8_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string converted_or_fault(const std::string& line) {
  std::string converted;
  utf8_fault fault{};
  if (utf8_to_seven_bit(line, converted, fault)) return converted;
  return "fault";
}

TEST(utf8_to_seven_bit, ConvertsEveryCharacterTheConventionHolds) {
  struct table_row {
    std::string utf8, expected;
  };
  const table_row rows[] = {
      {"Bar baz {|}~[\\]^\n", "Bar baz {|}~[\\]^\n"},  // ASCII stays, the codes too
      {"\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f\xc3\x84\xc3\x96\xc3\x9c\xe1\xba\x9e", "{|}~[\\]^"},
      {"caf\xc3\xa9 \xc3\xa5", "caf\xe9 \xe5"},  // other letters: their ISO-8859-1 byte
      {"\xc2\x80\xc2\xa0\xc3\xbf\x7f", "\x80\xa0\xff\x7f"},
      {std::string("a\0b\r\n", 5), std::string("a\0b\r\n", 5)},
      {"", ""},
  };
  for (const table_row& row : rows) EXPECT_EQ(converted_or_fault(row.utf8), row.expected);
}

TEST(utf8_to_seven_bit, DescribesTheFirstFaultAndKeepsWhatCameBefore) {
  constexpr auto kNotUtf8 = utf8_fault_kind::not_utf8;
  constexpr auto kNoSevenBit = utf8_fault_kind::no_seven_bit;
  struct table_row {
    const char* what;
    std::string line;
    utf8_fault expected;
    std::string before;
  };
  const table_row rows[] = {
      {"stray continuation byte", "ab\x80z", {kNotUtf8, 2, 1, 3, 0}, "ab"},
      {"overlong two bytes", "\xc0\xaf", {kNotUtf8, 0, 2, 1, 0}, ""},
      {"overlong two bytes, C1", "\xc1\xbf", {kNotUtf8, 0, 2, 1, 0}, ""},
      {"overlong three bytes", "\xe0\x80\xaf", {kNotUtf8, 0, 3, 1, 0}, ""},
      {"overlong four bytes", "\xf0\x8f\xbf\xbf", {kNotUtf8, 0, 4, 1, 0}, ""},
      {"first surrogate", "\xed\xa0\x80", {kNotUtf8, 0, 3, 1, 0}, ""},
      {"last surrogate", "\xed\xbf\xbf", {kNotUtf8, 0, 3, 1, 0}, ""},
      {"above U+10FFFF", "\xf4\x90\x80\x80", {kNotUtf8, 0, 4, 1, 0}, ""},
      {"lead F5", "\xf5\x80\x80\x80", {kNotUtf8, 0, 4, 1, 0}, ""},
      {"lead FF", "\xff", {kNotUtf8, 0, 1, 1, 0}, ""},
      {"truncated at the end", "\xc3\xa4\xe2\x82", {kNotUtf8, 2, 2, 2, 0}, "{"},
      {"truncated before ASCII", "\xe2\x82z", {kNotUtf8, 0, 2, 1, 0}, ""},
      {"a lone lead", "x\xc3", {kNotUtf8, 1, 1, 2, 0}, "x"},
      {"U+0100", "x\xc4\x80y", {kNoSevenBit, 1, 2, 2, 0x100}, "x"},
      {"U+07FF", "\xdf\xbf", {kNoSevenBit, 0, 2, 1, 0x7FF}, ""},
      {"euro sign", "1 \xe2\x82\xac", {kNoSevenBit, 2, 3, 3, 0x20AC}, "1 "},
      {"beside the capital sharp s", "\xe1\xba\x9f", {kNoSevenBit, 0, 3, 1, 0x1E9F}, ""},
      {"U+FFFF", "\xef\xbf\xbf", {kNoSevenBit, 0, 3, 1, 0xFFFF}, ""},
      {"U+10FFFF", "\xf4\x8f\xbf\xbf", {kNoSevenBit, 0, 4, 1, 0x10FFFF}, ""},
  };
  for (const table_row& row : rows) {
    std::string converted;
    utf8_fault fault{};
    ASSERT_FALSE(utf8_to_seven_bit(row.line, converted, fault)) << row.what;
    EXPECT_EQ(fault.kind, row.expected.kind) << row.what;
    EXPECT_EQ(fault.offset, row.expected.offset) << row.what;
    EXPECT_EQ(fault.length, row.expected.length) << row.what;
    EXPECT_EQ(fault.column, row.expected.column) << row.what;
    if (fault.kind == kNoSevenBit) {
      EXPECT_EQ(fault.character, row.expected.character) << row.what;
    }
    EXPECT_EQ(converted, row.before) << row.what;
  }
}

TEST(seven_bit_to_utf8, GivesBackEveryByteTheConversionCanProduce) {
  EXPECT_EQ(seven_bit_to_utf8("{|}~[\\]^"),
            "\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f\xc3\x84\xc3\x96\xc3\x9c\xe1\xba\x9e");
  // The umlauts' own ISO-8859-1 bytes never come out of the conversion:
  // their letters become the codes.
  const std::string latin1_umlauts = "\xc4\xd6\xdc\xdf\xe4\xf6\xfc";
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    if (latin1_umlauts.find(byte) != std::string::npos) continue;
    EXPECT_EQ(converted_or_fault(seven_bit_to_utf8(byte)), byte) << b;
  }
  EXPECT_EQ(converted_or_fault(seven_bit_to_utf8(latin1_umlauts)), "[\\]~{|}");
}

TEST(hex_bytes, WritesUpperCasePairsBetweenBlanks) {
  EXPECT_EQ(hex_bytes("\xe2\x82\xac", 3), "E2 82 AC");
  EXPECT_EQ(hex_bytes("\x0a", 1), "0A");
  EXPECT_EQ(hex_bytes("", 0), "");
}

}  // namespace
