#include "checker/utf8_convention.hpp"

#include <cstdio>
#include <iterator>

namespace {

// The eight letters the convention spells with ASCII codes; one table for
// both directions.
struct spelled_letter {
  unsigned char code;
  char32_t letter;
};
constexpr spelled_letter kSpelledLetters[] = {
    {'{', 0xE4}, {'|', 0xF6}, {'}', 0xFC},  {'~', 0xDF},
    {'[', 0xC4}, {'\\', 0xD6}, {']', 0xDC}, {'^', 0x1E9E},
};

// The smallest character that needs a sequence of 2, 3 and 4 bytes; the high
// bits of the lead byte of a sequence of 2 and 3 bytes, all that a convention
// byte needs.
constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
constexpr unsigned char kLeadBits[] = {0, 0, 0xC0, 0xE0};
constexpr char32_t kLastCharacter = 0x10FFFF;
constexpr char32_t kLastConventionByte = 0xFF;

unsigned char byte_at(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

decoded_char faulty(utf8_fault fault, char32_t code_point = 0) {
  return {fault, 0, code_point};
}

// The convention byte of a character, or `not_held`.
decoded_char convention_char(char32_t code_point) {
  for (const spelled_letter& spelled : kSpelledLetters) {
    if (spelled.letter == code_point) return {utf8_fault::none, spelled.code, code_point};
  }
  if (code_point > kLastConventionByte) return faulty(utf8_fault::not_held, code_point);
  return {utf8_fault::none, static_cast<unsigned char>(code_point), code_point};
}

// The character a complete sequence of 2 to 4 bytes spells, or why it spells
// none.
decoded_char decode_complete(std::string_view sequence) {
  const std::size_t length = sequence.size();
  char32_t code_point = byte_at(sequence, 0) & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) code_point = code_point << 6 | (byte_at(sequence, i) & 0x3F);
  if (code_point < kSmallestOfLength[length]) return faulty(utf8_fault::overlong);
  if (code_point >= 0xD800 && code_point <= 0xDFFF) return faulty(utf8_fault::surrogate);
  if (code_point > kLastCharacter) return faulty(utf8_fault::beyond_unicode);
  return convention_char(code_point);
}

// The names of the faults of invalid UTF-8, in the order of utf8_fault (a
// character that is not held has a message of its own).
constexpr const char* kFaultNames[] = {
    "",                  // none
    "stray continuation byte",
    "byte never used in UTF-8",
    "truncated sequence",
    "overlong form",
    "surrogate",
    "beyond U+10FFFF",
};
static_assert(std::size(kFaultNames) == static_cast<std::size_t>(utf8_fault::not_held));

const char* fault_name(utf8_fault fault) { return kFaultNames[static_cast<std::size_t>(fault)]; }

}  // namespace

std::size_t announced_length(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF8) return 4;
  return 1;
}

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

decoded_char decode_sequence(std::string_view sequence) {
  const unsigned char lead = byte_at(sequence, 0);
  // ASCII is its own convention byte: no spelled letter lies below 0x80.
  if (lead < 0x80) return {utf8_fault::none, lead, lead};
  if (is_continuation(lead)) return faulty(utf8_fault::stray_continuation);
  const std::size_t announced = announced_length(lead);
  if (announced == 1) return faulty(utf8_fault::invalid_byte);
  if (sequence.size() < announced) return faulty(utf8_fault::truncated);
  return decode_complete(sequence);
}

std::size_t encode_utf8(unsigned char c, char (&out)[kMaxEncodedLength]) {
  char32_t code_point = c;
  // The codes that spell letters all lie from "[" on; below it a byte is itself.
  if (c >= '[') {
    for (const spelled_letter& spelled : kSpelledLetters) {
      if (spelled.code == c) code_point = spelled.letter;
    }
  }
  if (code_point < 0x80) {
    out[0] = static_cast<char>(code_point);
    return 1;
  }
  const std::size_t length = code_point < 0x800 ? 2 : 3;
  out[0] = static_cast<char>(kLeadBits[length] | code_point >> 6 * (length - 1));
  for (std::size_t i = 1; i < length; ++i) {
    out[i] = static_cast<char>(0x80 | (code_point >> 6 * (length - 1 - i) & 0x3F));
  }
  return length;
}

std::string fault_message(const decoded_char& decoded, std::string_view sequence) {
  char text[64];
  if (decoded.fault == utf8_fault::not_held) {
    std::snprintf(text, sizeof text, "character U+%04X has no 8-bit code: bytes",
                  static_cast<unsigned>(decoded.code_point));
  } else {
    std::snprintf(text, sizeof text, "invalid UTF-8 (%s): bytes", fault_name(decoded.fault));
  }
  std::string message = text;
  for (std::size_t i = 0; i < sequence.size(); ++i) {
    std::snprintf(text, sizeof text, " %02X", byte_at(sequence, i));
    message += text;
  }
  return message;
}
