#include "analyser/base/utf8_text.hpp"

#include <gtest/gtest.h>

#include <cstdio>

#include "test_support/streams.hpp"

namespace {
std::string converted(std::string_view text) {
  std::string out;
  utf8_fault fault;
  return from_utf8(text, out, fault) ? out : "fault: " + fault.reason + " [" + fault.bytes + "]";
}

// The bytes of a text as hexadecimal pairs, as a fault lists them.
std::string fault_bytes(std::string_view text) {
  std::string pairs;
  for (unsigned char b : text) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", b);
    pairs += (pairs.empty() ? "" : " ") + std::string(pair);
  }
  return pairs;
}

TEST(Utf8Text, ConventionLettersBothWays) {
  EXPECT_EQ(converted("M\xC3\xA4" "dchen l\xC3\xA4uft \xC3\xB6\xC3\xBC\xC3\x9F"), "M{dchen l{uft |}~");
  EXPECT_EQ(converted("\xC3\x84\xC3\x96\xC3\x9C\xE1\xBA\x9E"), "[\\]^");
  EXPECT_EQ(to_utf8("M[DCHEN ^ {|}~"),
            "M\xC3\x84" "DCHEN \xE1\xBA\x9E \xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");
  // Other characters up to U+00FF are their ISO-8859-1 byte; ASCII stays.
  EXPECT_EQ(converted("caf\xC3\xA9 \xC2\xA0!"), "caf\xE9 \xA0!");
  EXPECT_EQ(to_utf8("caf\xE9"), "caf\xC3\xA9");
  // A literal "[" reads as the umlaut it spells and comes back as that letter.
  EXPECT_EQ(converted("[x]"), "[x]");
  EXPECT_EQ(to_utf8("[x]"), "\xC3\x84x\xC3\x9C");
}

// The table of every byte's form, judged by the decoder: each byte comes
// back as itself, but for the ISO-8859-1 bytes of the umlauts and sharp s,
// which come back as the convention's letters; appending keeps what the text
// held before.
TEST(Utf8Text, EveryByteRoundTripsThroughTheTable) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string out = "ab";
  append_utf8_text(out, all);
  append_utf8_text(out, "^");
  EXPECT_EQ(out.substr(0, 2), "ab");
  EXPECT_EQ(out.substr(out.size() - 3), "\xE1\xBA\x9E");
  // ASCII but the eight letters one byte each, the letters and the upper half
  // two, ẞ three (twice).
  EXPECT_EQ(out.size(), 2 + 120 + 7 * 2 + 3 + 128 * 2 + 3);
  std::string expected = all;
  for (const auto& [latin1, letter] : {std::pair{0xC4, '['}, {0xD6, '\\'}, {0xDC, ']'},
                                       {0xDF, '~'}, {0xE4, '{'}, {0xF6, '|'}, {0xFC, '}'}}) {
    expected[latin1] = letter;
  }
  EXPECT_EQ(converted(out), "ab" + expected + "^");
}

TEST(Utf8Text, FaultsNameTheirKindColumnAndBytes) {
  struct row {
    const char* text;
    const char* reason;
    const char* bytes;
    std::size_t column;
  } rows[] = {
      {"ab\xC3", "invalid UTF-8 (truncated sequence)", "C3", 3},
      {"\xE2\x82x", "invalid UTF-8 (truncated sequence)", "E2 82", 1},
      {"a\x80", "invalid UTF-8 (stray continuation byte)", "80", 2},
      {"\xC0\x80", "invalid UTF-8 (overlong form)", "C0", 1},
      {"\xC1\xBF", "invalid UTF-8 (overlong form)", "C1", 1},
      {"\xE0\x80\x80", "invalid UTF-8 (overlong form)", "E0 80 80", 1},
      {"\xED\xA0\x80", "invalid UTF-8 (surrogate)", "ED A0 80", 1},
      {"\xF4\x90\x80\x80", "invalid UTF-8 (beyond U+10FFFF)", "F4 90 80 80", 1},
      {"\xFF", "invalid UTF-8 (byte never used in UTF-8)", "FF", 1},
      {"\xC3\xA4\xE2\x82\xAC", "character U+20AC has no 8-bit code", "E2 82 AC", 2},
  };
  for (const row& r : rows) {
    std::string out;
    utf8_fault fault;
    EXPECT_FALSE(from_utf8(r.text, out, fault)) << r.text;
    EXPECT_EQ(fault.reason, r.reason) << r.text;
    EXPECT_EQ(fault.bytes, r.bytes) << r.text;
    EXPECT_EQ(fault.column, r.column) << r.text;
  }
}

// Characters of every UTF-8 length, written and read back: the decoder
// names the one it cannot hold by its value.
TEST(Utf8Text, AppendWritesEveryLengthOfSequence) {
  struct row {
    char32_t c;
    const char* bytes;
  } rows[] = {
      {U'A', "A"},
      {0xE9, "\xC3\xA9"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x20AC, "\xE2\x82\xAC"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const row& r : rows) {
    std::string out = "<";
    append_utf8(out, r.c);
    EXPECT_EQ(out, std::string("<") + r.bytes) << static_cast<unsigned long>(r.c);
    if (r.c > 0xFF) {
      char name[16];
      std::snprintf(name, sizeof name, "U+%04lX", static_cast<unsigned long>(r.c));
      EXPECT_EQ(converted(out), std::string("fault: character ") + name +
                                    " has no 8-bit code [" + fault_bytes(r.bytes) + "]");
    }
  }
}

TEST(Utf8Text, WriteTextConvertsOnlyWhenAsked) {
  captured_output out;
  const unsigned char text[] = {'[', 'x', 0xE9};
  write_text(out.file(), text, 3, false);
  write_text(out.file(), text, 3, true);
  EXPECT_EQ(out.text(), "[x\xE9\xC3\x84x\xC3\xA9");
}
}  // namespace
