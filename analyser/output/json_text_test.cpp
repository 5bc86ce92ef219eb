#include "analyser/output/json_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using appender = void (*)(std::string&, std::string_view);

std::string json(appender append, std::string_view text) {
  std::string out;
  append(out, text);
  return out;
}

// The three escapers differ only in what a backslash and a byte of 0x80 and
// above mean: a convention letter, a Latin-1 letter, or part of UTF-8.
TEST(JsonText, EachEscaperReadsHighBytesAndBackslashesItsOwnWay) {
  struct row {
    appender append;
    std::string_view text;
    std::string_view expected;
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
  };
  for (const row& r : rows) {
    EXPECT_EQ(json(r.append, r.text), r.expected) << r.text;
  }
}

}  // namespace
