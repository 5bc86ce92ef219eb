#include "analyser/base/text_utils.hpp"

#include <cctype>
#include <climits>

unsigned char upcase_latin1_char(unsigned char b) {
  constexpr unsigned char kFirstSmall = 0xE0;
  constexpr unsigned char kLastSmall = 0xFE;
  constexpr unsigned char kDivisionSign = 0xF7;
  if (b >= kFirstSmall && b <= kLastSmall && b != kDivisionSign) {
    // As in ASCII, each small letter lies 0x20 above its capital.
    return static_cast<unsigned char>(b - 0x20);
  }
  return upcase_char(b);
}

void copy_bytes_nul(unsigned char* destination, const unsigned char* source, int count) {
  if (count < 0) count = 0;
  copy_bytes(destination, source, count);
  destination[count] = 0;
}

void put_bytes(FILE* out, const unsigned char* text, int count) {
  for (int i = 0; i < count; ++i) std::fputc(text[i], out);
}

bool leading_integer(const char* text, long& value) {
  constexpr long kDecimalBase = 10;
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
  // Accumulate towards the sign so that LONG_MIN itself is reachable.
  value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
    const long digit = *text - '0';
    if (negative) {
      value = value < (LONG_MIN + digit) / kDecimalBase ? LONG_MIN : value * kDecimalBase - digit;
    } else {
      value = value > (LONG_MAX - digit) / kDecimalBase ? LONG_MAX : value * kDecimalBase + digit;
    }
  }
  return true;
}
