#include "analyser/output/json_text.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using appender = void (*)(std::string&, std::string_view);

std::string json(appender append, std::string_view text) {
  std::string out;
  append(out, text);
  return out;
}

// `n` replacement characters (U+FFFD).
std::string replaced(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "\xEF\xBF\xBD";
  return text;
}

// The three escapers differ only in what a backslash and a byte of 0x80 and
// above mean: a convention letter, a Latin-1 letter, or part of UTF-8.
TEST(JsonText, EachEscaperReadsHighBytesAndBackslashesItsOwnWay) {
  struct row {
    appender append;
    std::string_view text;
    std::string expected;
  };
  const row rows[] = {
      {append_json_string, "a\"b", R"("a\"b")"},
      {append_json_string, "GR]N", "\"GR\xC3\x9CN\""},
      {append_json_string, "\\", "\"\xC3\x96\""},
      {append_json_string, "\x01", R"("\u0001")"},
      {append_json_latin1, "a\"b\\c", R"("a\"b\\c")"},
      {append_json_latin1, "[\xE4\xFF", "\"[\xC3\xA4\xC3\xBF\""},
      {append_json_latin1, "\n", R"("\u000a")"},
      {append_json_utf8, "\xC3\xA4\\\"", "\"\xC3\xA4\\\\\\\"\""},
      {append_json_utf8, "a\xC3", "\"a\xEF\xBF\xBD\""},
      {append_json_utf8, "\xE0\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {append_json_utf8, "\xF0\x9F\x98\x80\t", "\"\xF0\x9F\x98\x80\\u0009\""},
      // The edges of UTF-8: the first and last character of each length
      // pass; overlong forms, surrogates, code points past U+10FFFF, bytes
      // that cannot lead and broken sequences become one U+FFFD a byte.
      {append_json_utf8, "\xE0\xA0\x80\xED\x9F\xBF", "\"\xE0\xA0\x80\xED\x9F\xBF\""},
      {append_json_utf8, "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", "\"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\""},
      {append_json_utf8, "\xF0\x8F\xBF\xBF", "\"" + replaced(4) + "\""},
      {append_json_utf8, "\xED\xA0\x80", "\"" + replaced(3) + "\""},
      {append_json_utf8, "\xF4\x90\x80\x80", "\"" + replaced(4) + "\""},
      {append_json_utf8, "\xF5\x80", "\"" + replaced(2) + "\""},
      {append_json_utf8, "\xC3(", "\"" + replaced(1) + "(\""},
  };
  for (const row& r : rows) {
    EXPECT_EQ(json(r.append, r.text), r.expected) << r.text;
  }
}

// Keys are separated by commas but for the first of an object or of the
// text; a count is a JSON number while it is exact as a double.
TEST(JsonText, KeysAndCounts) {
  std::string out;
  append_key(out, "a");
  out += "1";
  append_key(out, "b");
  EXPECT_EQ(out, "\"a\":1,\"b\":");
  // A key of any length, and whole numbers of either sign.
  const std::string long_key(70, 'k');
  append_json_number(out, -42);
  append_key(out, long_key);
  append_json_number(out, 1234567890123LL);
  EXPECT_EQ(out, "\"a\":1,\"b\":-42,\"" + long_key + "\":1234567890123");
  const auto count = [](const analysis_count& c) {
    std::string text;
    append_json_count(text, c);
    return text;
  };
  EXPECT_EQ(count({false, big_count(std::uint64_t{1} << 53)}), "9007199254740992");
  EXPECT_EQ(count({false, big_count((std::uint64_t{1} << 53) + 1)}), "\"9007199254740993\"");
  EXPECT_EQ(count({true, big_count()}), "\"unbounded\"");
}

}  // namespace
