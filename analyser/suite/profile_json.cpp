#include "analyser/suite/profile_json.hpp"

#include "analyser/base/utf8_text.hpp"

namespace {
constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kLowSurrogateLast = 0xDFFF;
constexpr char32_t kLastCodePoint = 0x10FFFF;

// The length of the well-formed UTF-8 sequence at the start of `text`
// (RFC 3629: no overlong forms, no surrogates, nothing beyond U+10FFFF), or 0.
std::size_t utf8_sequence(std::string_view text) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = b(0);
  std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
  if (first >= 0xF5 || length == 0 || text.size() < length) return 0;
  char32_t c = first & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b(i) & 0x3F);
  }
  const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  const bool surrogate = c >= kHighSurrogateFirst && c <= kLowSurrogateLast;
  return c < smallest || surrogate || c > kLastCodePoint ? 0 : length;
}

class json_parser {
 public:
  json_parser(std::string_view text, json_error& error, std::string_view unkept)
      : text_(text), error_(error), unkept_(unkept) {}

  bool parse(json_value& value) {
    skip_blanks();
    if (!parse_value(&value, 0)) return false;
    skip_blanks();
    return at_ == text_.size() || fail("text after the value");
  }

 private:
  bool fail(const char* reason) {
    error_.column = at_ + 1;
    error_.reason = reason;
    return false;
  }
  bool at_end() const { return at_ >= text_.size(); }
  char peek() const { return at_end() ? '\0' : text_[at_]; }

  void skip_blanks() {
    while (!at_end() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
      ++at_;
    }
  }

  bool take(char c) {
    if (peek() != c || at_end()) return false;
    ++at_;
    return true;
  }

  // A value at nesting `depth`; kept in `out` unless `out` is null.
  bool parse_value(json_value* out, int depth) {
    if (at_end()) return fail("value missing");
    switch (peek()) {
      case '{':
        return parse_object(out, depth + 1);
      case '[':
        return parse_array(out, depth + 1);
      case '"':
        return parse_string_value(out);
      case 't':
        return parse_word("true", json_kind::boolean, true, out);
      case 'f':
        return parse_word("false", json_kind::boolean, false, out);
      case 'n':
        return parse_word("null", json_kind::null, false, out);
      default:
        return parse_number(out);
    }
  }

  bool parse_word(std::string_view word, json_kind kind, bool boolean, json_value* out) {
    if (text_.substr(at_, word.size()) != word) return fail("not a JSON value");
    at_ += word.size();
    if (out != nullptr) {
      out->kind = kind;
      out->boolean = boolean;
    }
    return true;
  }

  std::size_t digits() {
    const std::size_t start = at_;
    while (!at_end() && peek() >= '0' && peek() <= '9') ++at_;
    return at_ - start;
  }

  bool parse_number(json_value* out) {
    const std::size_t start = at_;
    take('-');
    if (peek() == '0') {
      ++at_;
    } else if (digits() == 0) {
      return fail("not a JSON value");
    }
    if (take('.') && digits() == 0) return fail("digits missing after \".\"");
    if (take('e') || take('E')) {
      if (!take('+')) take('-');
      if (digits() == 0) return fail("digits missing in the exponent");
    }
    if (out != nullptr) {
      out->kind = json_kind::number;
      out->text.assign(text_.substr(start, at_ - start));
    }
    return true;
  }

  bool hex4(char32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i, ++at_) {
      const char c = peek();
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (at_end() || digit < 0) return fail("\\u needs four hexadecimal digits");
      value = value * 16 + static_cast<char32_t>(digit);
    }
    return true;
  }

  // The code point of a \u escape (its "\u" already taken), pairs joined.
  bool unicode_escape(char32_t& c) {
    if (!hex4(c)) return false;
    if (c >= kLowSurrogateFirst && c <= kLowSurrogateLast) return fail("lone low surrogate");
    if (c < kHighSurrogateFirst || c >= kLowSurrogateFirst) return true;
    if (!take('\\') || !take('u')) return fail("high surrogate without its low one");
    char32_t low = 0;
    if (!hex4(low)) return false;
    if (low < kLowSurrogateFirst || low > kLowSurrogateLast) {
      return fail("high surrogate without its low one");
    }
    c = 0x10000 + ((c - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst);
    return true;
  }

  bool escape(std::string* out) {
    static constexpr std::string_view kFrom = "\"\\/bfnrt";
    static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
    const char c = peek();
    ++at_;
    const std::size_t simple = kFrom.find(c);
    if (c != '\0' && simple != std::string_view::npos) {
      if (out != nullptr) *out += kTo[simple];
      return true;
    }
    if (c != 'u') return (--at_, fail("unknown escape"));
    char32_t code = 0;
    if (!unicode_escape(code)) return false;
    if (out != nullptr) append_utf8(*out, code);
    return true;
  }

  // A string; its content goes to `out` unless that is null.
  bool parse_string(std::string* out) {
    ++at_;  // the opening quote
    while (true) {
      if (at_end()) return fail("string without its closing quote");
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c == '"') break;
      if (c < 0x20) return fail("control character in a string");
      if (c == '\\') {
        ++at_;
        if (!escape(out)) return false;
        continue;
      }
      const std::size_t length = c < 0x80 ? 1 : utf8_sequence(text_.substr(at_));
      if (length == 0) return fail("invalid UTF-8 in a string");
      if (out != nullptr) out->append(text_.substr(at_, length));
      at_ += length;
    }
    ++at_;
    return true;
  }

  bool parse_string_value(json_value* out) {
    if (out == nullptr) return parse_string(nullptr);
    out->kind = json_kind::string;
    return parse_string(&out->text);
  }

  // The elements of an array or the members of an object, separated by
  // commas, up to `close`.
  template <typename Element>
  bool parse_sequence(char close, int depth, Element&& element) {
    if (depth > kJsonDepthLimit) return fail("nested too deeply");
    ++at_;
    skip_blanks();
    if (take(close)) return true;
    while (true) {
      skip_blanks();
      if (!element()) return false;
      skip_blanks();
      if (take(close)) return true;
      if (!take(','))
        return fail(close == ']' ? "\",\" or \"]\" expected" : "\",\" or \"}\" expected");
    }
  }

  bool parse_array(json_value* out, int depth) {
    if (out != nullptr) out->kind = json_kind::array;
    return parse_sequence(']', depth, [&] {
      if (out == nullptr) return parse_value(nullptr, depth);
      out->items.emplace_back();
      return parse_value(&out->items.back(), depth);
    });
  }

  bool parse_member(json_value* out, int depth) {
    if (peek() != '"' || at_end()) return fail("member name expected");
    std::string key;
    if (!parse_string(&key)) return false;
    skip_blanks();
    if (!take(':')) return fail("\":\" expected");
    skip_blanks();
    const bool keep = out != nullptr && !(depth == 1 && !unkept_.empty() && key == unkept_);
    if (out != nullptr) out->members.push_back({std::move(key), json_value{}});
    return parse_value(keep ? &out->members.back().value : nullptr, depth);
  }

  bool parse_object(json_value* out, int depth) {
    if (out != nullptr) out->kind = json_kind::object;
    return parse_sequence('}', depth, [&] { return parse_member(out, depth); });
  }

  std::string_view text_;
  json_error& error_;
  std::string_view unkept_;
  std::size_t at_ = 0;
};
}  // namespace

const json_value* json_value::member(std::string_view key) const {
  for (const json_member& m : members) {
    if (m.key == key) return &m.value;
  }
  return nullptr;
}

bool parse_json(std::string_view text, json_value& value, json_error& error,
                std::string_view unkept) {
  value = json_value{};
  return json_parser(text, error, unkept).parse(value);
}

bool whole_number(const json_value& value, std::uint64_t limit, std::uint64_t& number) {
  if (value.kind != json_kind::number || value.text.empty()) return false;
  std::uint64_t result = 0;
  for (char c : value.text) {
    if (c < '0' || c > '9') return false;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (digit > limit || result > (limit - digit) / 10) return false;
    result = result * 10 + digit;
  }
  number = result;
  return true;
}
