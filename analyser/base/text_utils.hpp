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
