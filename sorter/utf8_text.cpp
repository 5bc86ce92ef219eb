#include "sorter/utf8_text.hpp"

#include <algorithm>
#include <cstdio>

namespace {

// A code of the 7-bit convention and the letter it stands for.
struct seven_bit_letter {
  unsigned char code;
  char32_t letter;
};

constexpr seven_bit_letter kSevenBitLetters[] = {
    {'{', U'\u00E4'}, {'|', U'\u00F6'},  {'}', U'\u00FC'}, {'~', U'\u00DF'},
    {'[', U'\u00C4'}, {'\\', U'\u00D6'}, {']', U'\u00DC'}, {'^', U'\u1E9E'},
};

// Characters up to this one have a byte of their own value.
constexpr char32_t kHighestLatin1 = 0xFF;
constexpr int kNoCode = -1;

// The byte of the convention for `character`, or kNoCode.
int seven_bit_code(char32_t character) {
  for (const seven_bit_letter& letter : kSevenBitLetters) {
    if (letter.letter == character) return letter.code;
  }
  return character <= kHighestLatin1 ? static_cast<int>(character) : kNoCode;
}

char32_t letter_of(unsigned char code) {
  for (const seven_bit_letter& letter : kSevenBitLetters) {
    if (letter.code == code) return letter.letter;
  }
  return code;
}

constexpr unsigned char kFirstMultiByteLead = 0xC2;  // 0xC0 and 0xC1 lead only overlong forms
constexpr unsigned char kLastLead = 0xF4;            // beyond it, values above U+10FFFF
constexpr int kContinuationBits = 6;
constexpr unsigned char kContinuationMask = 0x3F;

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes of the sequence that `lead` begins as its high bits announce it; 1
// for ASCII and for a byte that begins none.
std::size_t announced_length(unsigned char lead) {
  if (lead >= 0xC0 && lead < 0xE0) return 2;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  return 1;
}

// The bytes that may follow a valid `lead`: for some leads fewer than all
// continuation bytes, so that no form is overlong, no surrogate is encoded
// and no value lies above U+10FFFF.
struct byte_range {
  unsigned char low, high;
};

byte_range second_byte_range(unsigned char lead) {
  if (lead == 0xE0) return {0xA0, 0xBF};
  if (lead == 0xED) return {0x80, 0x9F};
  if (lead == 0xF0) return {0x90, 0xBF};
  if (lead == 0xF4) return {0x80, 0x8F};
  return {0x80, 0xBF};
}

// Decodes the character whose sequence begins at `at` into `character` and
// its byte count into `length`. Returns false when the bytes there are no
// UTF-8.
bool decode_at(std::string_view line, std::size_t at, char32_t& character, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(line[at]);
  length = announced_length(lead);
  character = lead;
  if (lead < 0x80) return true;
  if (lead < kFirstMultiByteLead || lead > kLastLead || line.size() - at < length) return false;
  const byte_range second = second_byte_range(lead);
  const auto after_lead = static_cast<unsigned char>(line[at + 1]);
  if (after_lead < second.low || after_lead > second.high) return false;
  character = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(line[at + i]);
    if (!is_continuation(byte)) return false;
    character = character << kContinuationBits | (byte & kContinuationMask);
  }
  return true;
}

// The bytes at `at` that a message shows: the first and the continuation
// bytes behind it, as many as the first announces.
std::size_t offending_length(std::string_view line, std::size_t at) {
  const std::size_t most =
      std::min(announced_length(static_cast<unsigned char>(line[at])), line.size() - at);
  std::size_t length = 1;
  while (length < most && is_continuation(static_cast<unsigned char>(line[at + length]))) ++length;
  return length;
}

}  // namespace

bool utf8_to_seven_bit(std::string_view line, std::string& converted, utf8_fault& fault) {
  converted.clear();
  for (std::size_t at = 0; at < line.size();) {
    char32_t character = 0;
    std::size_t length = 0;
    const bool decoded = decode_at(line, at, character, length);
    const int code = decoded ? seven_bit_code(character) : kNoCode;
    if (code == kNoCode) {
      fault = decoded ? utf8_fault{utf8_fault_kind::no_seven_bit, at, length, converted.size() + 1,
                                   character}
                      : utf8_fault{utf8_fault_kind::not_utf8, at, offending_length(line, at),
                                   converted.size() + 1, 0};
      return false;
    }
    converted += static_cast<char>(code);
    at += length;
  }
  return true;
}

// Characters from U+0080 up that one byte of the convention stands for
// take two bytes in UTF-8, the capital sharp s three.
std::size_t utf8_of_code(unsigned char code, char* utf8) {
  constexpr char32_t kLastTwoByte = 0x7FF;
  const char32_t character = letter_of(code);
  if (character < 0x80) {
    utf8[0] = static_cast<char>(character);
    return 1;
  }
  std::size_t length = 0;
  if (character <= kLastTwoByte) {
    utf8[length++] = static_cast<char>(0xC0 | character >> kContinuationBits);
  } else {
    utf8[length++] = static_cast<char>(0xE0 | character >> (2 * kContinuationBits));
    utf8[length++] = static_cast<char>(0x80 | (character >> kContinuationBits & kContinuationMask));
  }
  utf8[length++] = static_cast<char>(0x80 | (character & kContinuationMask));
  return length;
}

std::string seven_bit_to_utf8(std::string_view text) {
  std::string utf8;
  char character[kLongestUtf8OfCode];
  for (const char byte : text)
    utf8.append(character, utf8_of_code(static_cast<unsigned char>(byte), character));
  return utf8;
}

std::string hex_bytes(const char* bytes, std::size_t length) {
  std::string hex;
  for (std::size_t i = 0; i < length; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(bytes[i]));
    if (i > 0) hex += ' ';
    hex += pair;
  }
  return hex;
}
