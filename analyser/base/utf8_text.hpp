// The analyser's letters in UTF-8. Inside, text follows the 7-bit German
// convention: "{", "|", "}", "~" stand for ä, ö, ü, ß and "[", "\", "]", "^"
// for Ä, Ö, Ü and the capital sharp s ẞ; other bytes of 0x80 and above are the
// characters of ISO-8859-1. Machine-readable output is always written in
// UTF-8; with -utf8 every file is read as UTF-8 and every text that comes
// from a file is printed in UTF-8 again.
//
// Reading: ä ö ü ß Ä Ö Ü ẞ become their convention bytes, every other
// character up to U+00FF the ISO-8859-1 byte of its value, ASCII stays (so a
// literal "[" reads as Ä). Characters above U+00FF other than ẞ have no byte.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

// Appends the UTF-8 form of the character `c` (up to U+10FFFF).
void append_utf8(std::string& out, char32_t c);

// The UTF-8 form of one byte of the convention: one to three bytes.
struct utf8_form {
  unsigned char length;
  char bytes[3];
};
extern const std::array<utf8_form, 256> kUtf8Forms;

inline std::string_view utf8_of(unsigned char byte) {
  return {kUtf8Forms[byte].bytes, kUtf8Forms[byte].length};
}

// Appends the UTF-8 form of a text of the convention.
void append_utf8_text(std::string& out, std::string_view text);

// The UTF-8 form of a text of the convention.
std::string to_utf8(std::string_view text);

// Writes `length` bytes of `text` to `out`: as they are, or in UTF-8.
void write_text(std::FILE* out, const unsigned char* text, int length, bool utf8);
inline void write_text(std::FILE* out, std::string_view text, bool utf8) {
  write_text(out, reinterpret_cast<const unsigned char*>(text.data()),
             static_cast<int>(text.size()), utf8);
}

// Why a UTF-8 text cannot be read, where, and the bytes at fault.
struct utf8_fault {
  std::size_t offset = 0;  // byte offset of the faulty sequence in the text
  std::size_t column = 0;  // its character position in the text, from 1
  std::string reason;      // e.g. "invalid UTF-8 (truncated sequence)"
  std::string bytes;       // the bytes at fault, as hexadecimal pairs: "E2 82"
};

// The fault as an unreadable sentence's problem: "column 7: REASON: bytes XX".
std::string utf8_fault_problem(const utf8_fault& fault);

// Converts a UTF-8 text to the convention into `converted`; false with the
// first fault in `fault` when the text is no UTF-8 (overlong forms,
// surrogates, truncated sequences, stray continuation bytes, values beyond
// U+10FFFF) or holds a character the convention has no byte for.
bool from_utf8(std::string_view text, std::string& converted, utf8_fault& fault);
