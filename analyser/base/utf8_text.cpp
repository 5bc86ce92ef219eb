#include "analyser/base/utf8_text.hpp"

#include <cstdint>

namespace {
// The eight convention bytes and the letters they stand for.
struct convention_letter {
  unsigned char byte;
  char32_t letter;
};
constexpr convention_letter kLetters[] = {
    {0x5B, 0x00C4}, {0x5C, 0x00D6}, {0x5D, 0x00DC}, {0x5E, 0x1E9E},
    {0x7B, 0x00E4}, {0x7C, 0x00F6}, {0x7D, 0x00FC}, {0x7E, 0x00DF},
};
constexpr char32_t kHighestByteCharacter = 0xFF;
constexpr char32_t kHighestCharacter = 0x10FFFF;

// The character a byte of the convention stands for.
constexpr char32_t letter_of(unsigned char byte) {
  for (const convention_letter& l : kLetters) {
    if (l.byte == byte) return l.letter;
  }
  return byte;
}

// The UTF-8 form of a character up to U+FFFF, all a byte can stand for.
constexpr utf8_form form_of(char32_t c) {
  if (c < 0x80) return {1, {static_cast<char>(c), 0, 0}};
  if (c < 0x800) {
    return {2, {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0}};
  }
  return {3,
          {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
           static_cast<char>(0x80 | (c & 0x3F))}};
}

constexpr std::array<utf8_form, 256> all_forms() {
  std::array<utf8_form, 256> forms{};
  for (int b = 0; b < 256; ++b) forms[b] = form_of(letter_of(static_cast<unsigned char>(b)));
  return forms;
}

// The convention byte of a character, or -1 when there is none.
int byte_of(char32_t c) {
  for (const convention_letter& l : kLetters) {
    if (l.letter == c) return l.byte;
  }
  if (c > kHighestByteCharacter) return -1;
  return static_cast<int>(c);
}

std::string hex_bytes(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

// Bytes a sequence takes by its first byte, 0 for a byte no sequence starts with.
int sequence_length(unsigned char first) {
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) return 2;
  if (first >= 0xE0 && first <= 0xEF) return 3;
  if (first >= 0xF0 && first <= 0xF4) return 4;
  return 0;
}

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes the sequence at `at`; on success `c` and `length` are set,
// otherwise `reason` and `length` (the bytes at fault).
bool decode_one(std::string_view text, std::size_t at, char32_t& c, std::size_t& length,
                const char*& reason) {
  const auto first = static_cast<unsigned char>(text[at]);
  const int wanted = sequence_length(first);
  length = 1;
  if (wanted == 0) {
    reason = is_continuation(first) ? "stray continuation byte"
             : first == 0xC0 || first == 0xC1 ? "overlong form"
                                              : "byte never used in UTF-8";
    return false;
  }
  c = wanted == 1 ? first : first & (0x7F >> wanted);
  for (int k = 1; k < wanted; ++k) {
    if (at + k >= text.size() || !is_continuation(static_cast<unsigned char>(text[at + k]))) {
      length = k;
      reason = "truncated sequence";
      return false;
    }
    c = (c << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
  }
  length = wanted;
  static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  reason = c < kSmallest[wanted]                ? "overlong form"
           : c >= 0xD800 && c <= 0xDFFF         ? "surrogate"
           : c > kHighestCharacter              ? "beyond U+10FFFF"
                                                : nullptr;
  return reason == nullptr;
}
}  // namespace

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

constexpr std::array<utf8_form, 256> kUtf8Forms = all_forms();

void append_utf8_text(std::string& out, std::string_view text) {
  const std::size_t at = out.size();
  out.resize(at + sizeof(utf8_form::bytes) * text.size());
  char* end = out.data() + at;
  for (unsigned char b : text) {
    const utf8_form& form = kUtf8Forms[b];
    end[0] = form.bytes[0];
    end[1] = form.bytes[1];
    end[2] = form.bytes[2];
    end += form.length;
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string to_utf8(std::string_view text) {
  std::string out;
  append_utf8_text(out, text);
  return out;
}

void write_text(std::FILE* out, const unsigned char* text, int length, bool utf8) {
  for (int i = 0; i < length; ++i) {
    if (!utf8) {
      std::fputc(text[i], out);
      continue;
    }
    const std::string_view form = utf8_of(text[i]);
    std::fwrite(form.data(), 1, form.size(), out);
  }
}

bool from_utf8(std::string_view text, std::string& converted, utf8_fault& fault) {
  converted.clear();
  std::size_t column = 0;
  for (std::size_t at = 0; at < text.size();) {
    ++column;
    char32_t c = 0;
    std::size_t length = 0;
    const char* reason = nullptr;
    if (!decode_one(text, at, c, length, reason)) {
      fault = {at, column, std::string("invalid UTF-8 (") + reason + ")",
               hex_bytes(text.substr(at, length))};
      return false;
    }
    const int byte = byte_of(c);
    if (byte < 0) {
      char name[16];
      std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
      fault = {at, column, std::string("character ") + name + " has no 8-bit code",
               hex_bytes(text.substr(at, length))};
      return false;
    }
    converted += static_cast<char>(byte);
    at += length;
  }
  return true;
}

std::string utf8_fault_problem(const utf8_fault& fault) {
  return "column " + std::to_string(fault.column) + ": " + fault.reason + ": bytes " + fault.bytes;
}
