// Byte-level helpers for the counted byte strings of the analyser's tables,
// shared by every layer. Counts of 0 or less mean "no bytes" everywhere.
#pragma once

#include <cstdio>
#include <string_view>

// Bytes below this are control characters: they end sentences and names.
constexpr unsigned char kFirstVisible = 32;

// The bytes and the byte count of a text, for the counted routines below.
inline const unsigned char* byte_data(std::string_view text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}
inline int byte_count(std::string_view text) { return static_cast<int>(text.size()); }

// A counted byte string as a text.
inline std::string_view text_view(const unsigned char* bytes, int count) {
  return {reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count > 0 ? count : 0)};
}

// a-z to A-Z and the 7-bit umlaut codes 0x7B-0x7E to 0x5B-0x5E; all other
// bytes, 0x80 and above included, unchanged.
unsigned char upcase_char(unsigned char b);

// upcase_char, and the small letters of ISO-8859-1 (0xE0 to 0xFE but the
// division sign 0xF7) to their capitals (0xC0 to 0xDE): the upper case of
// text read from UTF-8, whose letters beyond the umlauts arrive as those
// bytes. 0xFF (y with diaeresis) has no capital there and stays.
unsigned char upcase_latin1_char(unsigned char b);

// How the words of a text are upper-cased: the lexicon's words and the
// sentences alike, so that they meet.
enum class letter_case {
  seven_bit,  // upcase_char: text as bytes
  latin1,     // upcase_latin1_char: text read from UTF-8
};
inline letter_case letter_case_of(bool utf8) {
  return utf8 ? letter_case::latin1 : letter_case::seven_bit;
}
inline unsigned char upcase_as(letter_case letters, unsigned char b) {
  return letters == letter_case::latin1 ? upcase_latin1_char(b) : upcase_char(b);
}

// Copies `count` bytes; writes no terminator.
void copy_bytes(unsigned char* destination, const unsigned char* source, int count);

// Copies `count` bytes and a zero byte behind them (destination: count + 1 bytes).
void copy_bytes_nul(unsigned char* destination, const unsigned char* source, int count);

// Difference of the first differing bytes (unsigned, -255..255) within
// `count` bytes, or 0. Zero bytes compare like any other byte.
int compare_bytes(const unsigned char* first, const unsigned char* second, int count);

// Writes `count` bytes one at a time, zero bytes included.
void put_bytes(FILE* out, const unsigned char* text, int count);

// True when `c` occurs in the zero-terminated byte set `set` (a delimiter
// set); the terminator itself is not a member.
bool in_char_set(const unsigned char* set, unsigned char c);

// The decimal integer at the start of `text`: white space, an optional sign,
// digits; whatever follows the digits is ignored. False when no digit comes.
// Values beyond the range of long are clamped to it.
bool leading_integer(const char* text, long& value);
