// UTF-8 text and the 7-bit convention the checks work in. The convention
// spells the German letters with ASCII codes: "{" "|" "}" "~" for ä ö ü ß and
// "[" "\" "]" "^" for Ä Ö Ü ẞ (U+1E9E); every byte from 0x80 up stands for the
// ISO-8859-1 character of the same value, and the rest of ASCII for itself.
//
// Reading, each UTF-8 character becomes its convention byte, so a literal "["
// in UTF-8 text reads as "Ä" does, and "Ä" never gives the byte 0xC4.
// Writing, each convention byte becomes its UTF-8 character again ("[" is
// written as "Ä", and so is 0xC4). Characters above U+00FF other than U+1E9E
// have no convention byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Why a byte sequence gives no convention character.
enum class utf8_fault {
  none,
  stray_continuation,  // a continuation byte that no lead byte announced
  invalid_byte,        // 0xF8 to 0xFF, which UTF-8 never uses
  truncated,           // a lead byte without all the continuation bytes it announces
  overlong,            // a longer form than the character needs
  surrogate,           // U+D800 to U+DFFF, which are no characters
  beyond_unicode,      // above U+10FFFF
  not_held,            // a character the convention has no byte for
};

// Bytes of the longest UTF-8 sequence.
constexpr std::size_t kMaxSequenceLength = 4;
// Bytes of the longest UTF-8 form of a convention byte (ẞ).
constexpr std::size_t kMaxEncodedLength = 3;

// The number of bytes of the sequence that `lead` begins, as its high bits
// announce it: 1 for ASCII, a continuation byte and a byte that never begins
// a sequence; 2 to 4 for the lead bytes 0xC0 to 0xF7.
std::size_t announced_length(unsigned char lead);

// True for the bytes 0x80 to 0xBF, which only continue a sequence.
bool is_continuation(unsigned char byte);

struct decoded_char {
  utf8_fault fault = utf8_fault::none;
  unsigned char byte = 0;   // the convention byte, when `fault` is none
  char32_t code_point = 0;  // the character, for a well-formed sequence
};

// Decodes one sequence, not empty: a lead byte and the continuation bytes
// after it, at most as many as `announced_length` gives and fewer only when
// the next byte is no continuation byte (or the text ends).
decoded_char decode_sequence(std::string_view sequence);

// Writes the UTF-8 form of the convention byte `c` to `out` and returns the
// number of its bytes (1 to kMaxEncodedLength).
std::size_t encode_utf8(unsigned char c, char (&out)[kMaxEncodedLength]);

// What is wrong with `sequence`, which `decoded` came from, its bytes in hex:
// "invalid UTF-8 (truncated sequence): bytes E2 82" or
// "character U+20AC has no 8-bit code: bytes E2 82 AC".
std::string fault_message(const decoded_char& decoded, std::string_view sequence);
