// Byte-level helpers for the counted byte strings of the analyser's tables,
// shared by every layer. Counts of 0 or less mean "no bytes" everywhere.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
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
// bytes, 0x80 and above included, unchanged. (Inline: it runs for every
// byte of every sentence.)
inline unsigned char upcase_char(unsigned char b) {
  // a-z and the umlaut codes {|}~ lie together in 0x61..0x7E, each 0x20 above its capital.
  if (b >= 0x61 && b <= 0x7E) return static_cast<unsigned char>(b - 0x20);
  return b;
}

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
inline void copy_bytes(unsigned char* destination, const unsigned char* source, int count) {
  if (count > 0) std::memcpy(destination, source, static_cast<std::size_t>(count));
}

// Copies `count` bytes and a zero byte behind them (destination: count + 1 bytes).
void copy_bytes_nul(unsigned char* destination, const unsigned char* source, int count);

// Difference of the first differing bytes (unsigned, -255..255) within
// `count` bytes, or 0. Zero bytes compare like any other byte.
inline int compare_bytes(const unsigned char* first, const unsigned char* second, int count) {
  for (int i = 0; i < count; ++i) {
    if (first[i] != second[i]) return first[i] - second[i];
  }
  return 0;
}

// Writes `count` bytes one at a time, zero bytes included.
void put_bytes(FILE* out, const unsigned char* text, int count);

// True when `c` occurs in the zero-terminated byte set `set` (a delimiter
// set); the terminator itself is not a member.
inline bool in_char_set(const unsigned char* set, unsigned char c) {
  for (; *set != 0; ++set) {
    if (*set == c) return true;
  }
  return false;
}

// A byte set as 256 membership bits, for a loop that tests every byte of a
// text against the same set.
class byte_set {
 public:
  // The members of the zero-terminated set `set` (the terminator is none).
  explicit byte_set(const unsigned char* set) {
    for (; *set != 0; ++set) bits_[*set >> 6] |= std::uint64_t{1} << (*set & 63);
  }
  bool contains(unsigned char c) const { return (bits_[c >> 6] >> (c & 63)) & 1; }

 private:
  std::uint64_t bits_[4] = {};
};

// The decimal integer at the start of `text`: white space, an optional sign,
// digits; whatever follows the digits is ignored. False when no digit comes.
// Values beyond the range of long are clamped to it.
bool leading_integer(const char* text, long& value);
