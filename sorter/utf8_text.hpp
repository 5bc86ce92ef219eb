// UTF-8 text and the 7-bit convention the sorter works in: "{", "|", "}",
// "~" for the small umlauts and the sharp s, "[", "\", "]", "^" for their
// capitals. A UTF-8 word list is converted line by line; a line that is no
// UTF-8, or holds a character the convention has no byte for, is not
// converted at all.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Why a line cannot be converted.
enum class utf8_fault_kind {
  not_utf8,      // a byte sequence that UTF-8 does not allow
  no_seven_bit,  // a character above U+00FF other than the capital sharp s
};

// The first place of a line that cannot be converted.
struct utf8_fault {
  utf8_fault_kind kind;
  std::size_t offset;  // of its first byte in the line
  std::size_t length;  // bytes it takes: the sequence as its first byte announces it
  std::size_t column;  // characters of the line before it, plus one
  char32_t character;  // with no_seven_bit: the character
};

// Converts the UTF-8 `line` to the 7-bit convention, one byte a character:
// ASCII stays, ä ö ü ß Ä Ö Ü become "{" "|" "}" "~" "[" "\" "]", the
// capital sharp s U+1E9E becomes "^", and every other character up to
// U+00FF becomes the ISO-8859-1 byte of its value. Overlong forms,
// surrogates, values above U+10FFFF, truncated sequences and stray
// continuation bytes are no UTF-8. Returns true with the whole line in
// `converted`; false at the first fault, which `fault` describes, with the
// part before it in `converted`.
bool utf8_to_seven_bit(std::string_view line, std::string& converted, utf8_fault& fault);

// Bytes the UTF-8 form of one byte of the convention takes at most.
constexpr std::size_t kLongestUtf8OfCode = 3;

// The backward conversion of one byte, written to `utf8`, which has room for
// kLongestUtf8OfCode bytes; returns how many it takes. The eight codes of
// the convention become their letters, other ASCII stays, and a byte from
// 0x80 up becomes the character of its ISO-8859-1 value.
std::size_t utf8_of_code(unsigned char code, char* utf8);

// The backward conversion of every byte of `text`: so the conversion above
// gives back exactly `text` for any `text` it produced, and every byte
// string becomes valid UTF-8.
std::string seven_bit_to_utf8(std::string_view text);

// The `length` bytes at `bytes` as upper-case hexadecimal pairs between
// blanks, "E2 82 AC", as the sorter's messages show offending bytes.
std::string hex_bytes(const char* bytes, std::size_t length);
