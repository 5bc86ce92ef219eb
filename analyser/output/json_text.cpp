#include "analyser/output/json_text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"

namespace {
// Writes the escape of a control character (below 0x20): six bytes.
char* put_control_escape(char* at, unsigned char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  at = put_text(at, "\\u00");
  *at++ = kHex[c >> 4];
  *at++ = kHex[c & 0xF];
  return at;
}

// Appends the escape of a quote, a backslash or a control character; false
// for any other byte.
bool append_escaped(std::string& out, unsigned char c, bool escape_backslash) {
  if (c == '"' || (c == '\\' && escape_backslash)) {
    out += '\\';
    out += static_cast<char>(c);
  } else if (c < 0x20) {
    char escaped[6];
    out.append(escaped, static_cast<std::size_t>(put_control_escape(escaped, c) - escaped));
  } else {
    return false;
  }
  return true;
}

// Bytes of the well-formed UTF-8 character at the start of `text`, or 0.
std::size_t utf8_character_length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  }
  const auto second = static_cast<unsigned char>(text[1]);
  const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
  const bool beyond = (lead == 0xED && second >= 0xA0) || (lead == 0xF4 && second >= 0x90);
  return overlong || beyond ? 0 : length;
}
}  // namespace

namespace {
// Bytes that a JSON string holds as they are: printable ASCII but the quote
// and the convention's letters.
std::array<bool, 256> make_plain_bytes() {
  std::array<bool, 256> plain{};
  for (unsigned c = 0x20; c < 0x80; ++c) {
    const std::string_view form = utf8_of(static_cast<unsigned char>(c));
    plain[c] = c != '"' && form.size() == 1 && static_cast<unsigned char>(form[0]) == c;
  }
  return plain;
}

const std::array<bool, 256> kPlainBytes = make_plain_bytes();
}  // namespace

char* put_json_string(char* at, std::string_view text) {
  *at++ = '"';
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    if (kPlainBytes[c]) {  // nearly every byte of a record's texts
      *at++ = byte;
    } else if (c == '"') {
      *at++ = '\\';
      *at++ = '"';
    } else if (c < 0x20) {
      at = put_control_escape(at, c);
    } else {
      // The convention's backslash is a letter, written as the letter it stands for.
      const utf8_form& form = kUtf8Forms[c];
      std::memcpy(at, form.bytes, sizeof form.bytes);
      at += form.length;
    }
  }
  *at++ = '"';
  return at;
}

void append_json_string(std::string& out, std::string_view text) {
  append_in_room(out, most_json_string_bytes(text.size()),
                 [&](char* at) { return put_json_string(at, text); });
}

void append_json_latin1(std::string& out, std::string_view text) {
  out += '"';
  for (unsigned char c : text) {
    // A byte's value is its ISO-8859-1 character's code.
    if (!append_escaped(out, c, true)) append_utf8(out, c);
  }
  out += '"';
}

void append_json_utf8(std::string& out, std::string_view text) {
  out += '"';
  while (!text.empty()) {
    const std::size_t length = utf8_character_length(text);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
    } else if (!append_escaped(out, static_cast<unsigned char>(text[0]), true)) {
      out += text.substr(0, length);
    }
    text.remove_prefix(length == 0 ? 1 : length);
  }
  out += '"';
}

void append_key(std::string& out, std::string_view key) {
  // One append, of a pointer and a length (an iterator pair would take the
  // string's general replace): a record has some hundred keys.
  char piece[64];
  const bool comma = !out.empty() && out.back() != '{';
  if (key.size() + 4 > sizeof piece) {
    if (comma) out += ',';
    out += '"';
    out += key;
    out += "\":";
    return;
  }
  char* end = piece;
  if (comma) *end++ = ',';
  *end++ = '"';
  end = std::copy(key.begin(), key.end(), end);
  *end++ = '"';
  *end++ = ':';
  out.append(piece, static_cast<std::size_t>(end - piece));
}

void append_json_number(std::string& out, long long n) {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  out.append(digits, static_cast<std::size_t>(end - digits));
}

namespace {
// The values of every group byte as JSON list items ("1,3,4"), made once:
// every node and reading of a record lists its groups.
struct group_text {
  unsigned char length = 0;
  char text[15] = {};  // "1,2,3,4,5,6,7,8" at most
};

std::array<group_text, 256> make_group_texts() {
  std::array<group_text, 256> texts;
  for (unsigned byte = 0; byte < 256; ++byte) {
    group_text& t = texts[byte];
    for (int v : group_values(static_cast<unsigned char>(byte))) {
      if (t.length > 0) t.text[t.length++] = ',';
      t.text[t.length++] = static_cast<char>('0' + v);  // values are 1 to 8
    }
  }
  return texts;
}

const std::array<group_text, 256> kGroupTexts = make_group_texts();
}  // namespace

char* put_json_values(char* at, const unsigned char* values) {
  if (values == nullptr) return put_text(at, "null");
  *at++ = '[';
  for (int g = 1; g <= values[0]; ++g) {
    if (g > 1) *at++ = ',';
    *at++ = '[';
    const group_text& t = kGroupTexts[values[g]];
    std::memcpy(at, t.text, sizeof t.text);
    at += t.length;
    *at++ = ']';
  }
  *at++ = ']';
  return at;
}

void append_json_values(std::string& out, const unsigned char* values) {
  append_in_room(out, most_json_values_bytes(values),
                 [&](char* at) { return put_json_values(at, values); });
}

void append_json_count(std::string& out, const analysis_count& count) {
  constexpr std::uint64_t kLargestExactNumber = std::uint64_t{1} << 53;
  const bool number = !count.unbounded && count.value.fits_in(kLargestExactNumber);
  const std::string text = count_text(count);
  if (number) {
    out += text;
    return;
  }
  (out += '"') += text;
  out += '"';
}
