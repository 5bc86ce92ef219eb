#include "checker/utf8_convention.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string utf8_of(unsigned char c) {
  char out[kMaxEncodedLength];
  return std::string(out, encode_utf8(c, out));
}

TEST(Utf8Convention, WritesTheLettersTheConventionSpellsWithAsciiCodes) {
  const std::pair<unsigned char, std::string> rows[] = {
      {'{', "ä"}, {'|', "ö"},  {'}', "ü"}, {'~', "ß"},    {'[', "Ä"},
      {'\\', "Ö"}, {']', "Ü"}, {'^', "ẞ"}, {'A', "A"},    {0, std::string(1, '\0')},
      {0xE9, "é"}, {0xE4, "\xC3\xA4"}, {0x80, "\xC2\x80"},
  };
  for (const auto& [c, utf8] : rows) EXPECT_EQ(utf8_of(c), utf8) << int{c};
}

// Every byte but the Latin-1 codes of the seven spelled letters (which UTF-8
// text never gives: those letters read as their spelling) reads back as
// itself.
TEST(Utf8Convention, ReadsBackEveryByteItWrites) {
  const std::string latin1_spelled = "\xC4\xD6\xDC\xDF\xE4\xF6\xFC";
  const std::string spellings = "[\\]~{|}";
  for (int c = 0; c < 256; ++c) {
    const std::string utf8 = utf8_of(static_cast<unsigned char>(c));
    ASSERT_EQ(announced_length(static_cast<unsigned char>(utf8[0])), utf8.size()) << c;
    const decoded_char decoded = decode_sequence(utf8);
    EXPECT_EQ(decoded.fault, utf8_fault::none) << c;
    const std::size_t spelled = latin1_spelled.find(static_cast<char>(c));
    const int expected = spelled == std::string::npos ? c : spellings[spelled];
    EXPECT_EQ(decoded.byte, expected) << c;
  }
}

struct fault_row {
  std::string sequence;
  utf8_fault fault;
  const char* message;
};

// Each kind of fault at the edges of the ranges it covers.
TEST(Utf8Convention, NamesWhatIsWrongWithASequenceAndItsBytes) {
  const fault_row rows[] = {
      {"\x80", utf8_fault::stray_continuation, "invalid UTF-8 (stray continuation byte): bytes 80"},
      {"\xBF", utf8_fault::stray_continuation, "invalid UTF-8 (stray continuation byte): bytes BF"},
      {"\xF8", utf8_fault::invalid_byte, "invalid UTF-8 (byte never used in UTF-8): bytes F8"},
      {"\xFF", utf8_fault::invalid_byte, "invalid UTF-8 (byte never used in UTF-8): bytes FF"},
      {"\xC3", utf8_fault::truncated, "invalid UTF-8 (truncated sequence): bytes C3"},
      {"\xE2\x82", utf8_fault::truncated, "invalid UTF-8 (truncated sequence): bytes E2 82"},
      {"\xF0\x90\x80", utf8_fault::truncated, "invalid UTF-8 (truncated sequence): bytes F0 90 80"},
      {"\xC0\x80", utf8_fault::overlong, "invalid UTF-8 (overlong form): bytes C0 80"},
      {"\xC1\xBF", utf8_fault::overlong, "invalid UTF-8 (overlong form): bytes C1 BF"},
      {"\xE0\x9F\xBF", utf8_fault::overlong, "invalid UTF-8 (overlong form): bytes E0 9F BF"},
      {"\xF0\x8F\xBF\xBF", utf8_fault::overlong, "invalid UTF-8 (overlong form): bytes F0 8F BF BF"},
      {"\xED\xA0\x80", utf8_fault::surrogate, "invalid UTF-8 (surrogate): bytes ED A0 80"},
      {"\xED\xBF\xBF", utf8_fault::surrogate, "invalid UTF-8 (surrogate): bytes ED BF BF"},
      {"\xF4\x90\x80\x80", utf8_fault::beyond_unicode, "invalid UTF-8 (beyond U+10FFFF): bytes F4 90 80 80"},
      {"\xF7\xBF\xBF\xBF", utf8_fault::beyond_unicode, "invalid UTF-8 (beyond U+10FFFF): bytes F7 BF BF BF"},
      {"\xC4\x80", utf8_fault::not_held, "character U+0100 has no 8-bit code: bytes C4 80"},
      {"\xE1\xBA\x9F", utf8_fault::not_held, "character U+1E9F has no 8-bit code: bytes E1 BA 9F"},
      {"\xED\x9F\xBF", utf8_fault::not_held, "character U+D7FF has no 8-bit code: bytes ED 9F BF"},
      {"\xEF\xBB\xBF", utf8_fault::not_held, "character U+FEFF has no 8-bit code: bytes EF BB BF"},
      {"\xF4\x8F\xBF\xBF", utf8_fault::not_held, "character U+10FFFF has no 8-bit code: bytes F4 8F BF BF"},
  };
  for (const fault_row& row : rows) {
    const decoded_char decoded = decode_sequence(row.sequence);
    EXPECT_EQ(decoded.fault, row.fault) << row.message;
    EXPECT_EQ(fault_message(decoded, row.sequence), row.message);
  }
}

TEST(Utf8Convention, HoldsLatinOneAndCapitalSharpS) {
  EXPECT_EQ(decode_sequence("\xC2\x80").byte, 0x80);
  EXPECT_EQ(decode_sequence("\xC3\xBF").byte, 0xFF);
  EXPECT_EQ(decode_sequence("\xC3\xA4").byte, '{');  // ä is spelled, not 0xE4
  EXPECT_EQ(decode_sequence("\xE1\xBA\x9E").byte, '^');
  EXPECT_EQ(decode_sequence("[").byte, '[');  // a literal "[" reads as "Ä" does
}

}  // namespace
