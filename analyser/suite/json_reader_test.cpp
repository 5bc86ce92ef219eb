#include "analyser/suite/json_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// A value written back in a canonical form, to compare parses with.
std::string dump(const json_value& v) {
  switch (v.kind) {
    case json_kind::null:
      return "null";
    case json_kind::boolean:
      return v.boolean ? "true" : "false";
    case json_kind::number:
      return "#" + v.text;
    case json_kind::string:
      return "'" + v.text + "'";
    case json_kind::array: {
      std::string out = "[";
      for (const json_value& item : v.items) out += (out.size() > 1 ? "," : "") + dump(item);
      return out + "]";
    }
    case json_kind::object: {
      std::string out = "{";
      for (const json_member& m : v.members) {
        out += (out.size() > 1 ? "," : "") + m.key + ":" + dump(m.value);
      }
      return out + "}";
    }
  }
  return "";
}

TEST(JsonReader, ReadsEveryKindOfValue) {
  struct row {
    std::string text;
    std::string parsed;
  };
  const std::vector<row> rows = {
      {"null", "null"},
      {" true ", "true"},
      {"\tfalse\r\n", "false"},
      {"0", "#0"},
      {"-12.5e+3", "#-12.5e+3"},
      {"1E5", "#1E5"},
      {"-0", "#-0"},  // the sign is kept
      {"-7", "#-7"},
      {"\"a\\\"b\\\\c\\/d\\b\\f\\n\\r\\t\"", "'a\"b\\c/d\b\f\n\r\t'"},
      {"\"\\u00e4\\u00C4\"", "'\xC3\xA4\xC3\x84'"},
      {"\"\\ud83d\\ude00\"", "'\xF0\x9F\x98\x80'"},  // a surrogate pair
      {"\"\\u0000\"", std::string("'\0'", 3)},
      {"\"\xE2\x82\xAC\"", "'\xE2\x82\xAC'"},
      {"[]", "[]"},
      {"{}", "{}"},
      {"[1, [2, {\"a\": []}], \"x\"]", "[#1,[#2,{a:[]}],'x']"},
      {"{\"a\":1,\"a\":2}", "{a:#1,a:#2}"},
  };
  for (const row& r : rows) {
    json_value value;
    json_error error;
    ASSERT_TRUE(parse_json(r.text, value, error)) << r.text << ": " << error.reason;
    EXPECT_EQ(dump(value), r.parsed) << r.text;
  }
}

TEST(JsonReader, RefusesWhatIsNoJsonWithItsColumn) {
  struct row {
    std::string text;
    std::size_t column;
    const char* reason;  // after "syntax error while parsing "
  };
  const std::vector<row> rows = {
      {"", 1, "value - unexpected end of input; expected '[', '{', or a literal"},
      {"   ", 4, "value - unexpected end of input; expected '[', '{', or a literal"},
      {"nul", 4, "value - invalid literal"},
      {"[1,]", 4, "value - unexpected ']'; expected '[', '{', or a literal"},
      {"[1 2]", 4, "array - unexpected number literal; expected ']'"},
      {"{\"a\" 1}", 6, "object separator - unexpected number literal; expected ':'"},
      {"{\"a\":1,}", 8, "object key - unexpected '}'; expected string literal"},
      {"{1:2}", 2, "object key - unexpected number literal; expected string literal"},
      {"01", 2, "value - unexpected number literal; expected end of input"},
      {"1.", 3, "value - invalid number; expected digit after '.'"},
      {"1e", 3, "value - invalid number; expected '+', '-', or digit after exponent"},
      {"-", 2, "value - invalid number; expected digit after '-'"},
      {"+1", 1, "value - invalid literal"},
      {"\"abc", 5, "value - invalid string: missing closing quote"},
      {"\"a\tb\"", 3,
       "value - invalid string: control character U+0009 (HT) must be escaped to \\u0009 or \\t"},
      {"\"\\x\"", 3, "value - invalid string: forbidden character after backslash"},
      {"\"\\u12\"", 6, "value - invalid string: '\\u' must be followed by 4 hex digits"},
      {"\"\\udc00\"", 7,
       "value - invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF"},
      {"\"\\ud800x\"", 8,
       "value - invalid string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF"},
      {"\"\\ud800\\u0041\"", 13,
       "value - invalid string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF"},
      {"\"\xC3\"", 3, "value - invalid string: ill-formed UTF-8 byte"},
      {"\"\xC0\xAF\"", 2, "value - invalid string: ill-formed UTF-8 byte"},      // overlong
      {"\"\xED\xA0\x80\"", 3, "value - invalid string: ill-formed UTF-8 byte"},  // a surrogate
      {"\"\xF4\x90\x80\x80\"", 3,
       "value - invalid string: ill-formed UTF-8 byte"},  // beyond U+10FFFF
      {"\"\\", 3, "value - invalid string: forbidden character after backslash"},
      {"{} {}", 4, "value - unexpected '{'; expected end of input"},
  };
  for (const row& r : rows) {
    json_value value;
    json_error error;
    EXPECT_FALSE(parse_json(r.text, value, error)) << r.text;
    EXPECT_EQ(error.reason, std::string("syntax error while parsing ") + r.reason) << r.text;
    EXPECT_EQ(error.column, r.column) << r.text;
  }
  // Reasons that quote no input, however long the text read last.
  json_value value;
  json_error error;
  EXPECT_FALSE(parse_json("\xEF\xBB\xBF{}", value, error));
  EXPECT_EQ(error.reason, "byte order mark before the value");
  EXPECT_EQ(error.column, 1u);
  EXPECT_FALSE(parse_json("[1e999]", value, error));
  EXPECT_EQ(error.reason, "number too large");
  EXPECT_FALSE(parse_json("\"" + std::string(100'000, 'a') + "\xFF\"", value, error));
  EXPECT_EQ(error.reason,
            "syntax error while parsing value - invalid string: ill-formed UTF-8 byte");
  EXPECT_EQ(error.column, 100'002u);
}

TEST(JsonReader, NestingIsBoundedAtTheLimit) {
  json_value value;
  json_error error;
  const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  EXPECT_TRUE(parse_json(nested(kJsonDepthLimit), value, error));
  EXPECT_FALSE(parse_json(nested(kJsonDepthLimit + 1), value, error));
  EXPECT_EQ(error.reason, "nested too deeply");
  // Far deeper than any stack holds: refused at once.
  EXPECT_FALSE(parse_json(std::string(1'000'000, '['), value, error));
  EXPECT_EQ(error.column, static_cast<std::size_t>(kJsonDepthLimit) + 1);
  // Closed brackets before it count no more.
  EXPECT_FALSE(parse_json("[[],{}," + nested(kJsonDepthLimit) + "]", value, error));
  EXPECT_EQ(error.column, 7u + kJsonDepthLimit);
  // Brackets in strings open nothing; an unkept member is bounded too.
  const std::string quoted = "{\"a\":\"[{\\\"[\",\"record\":";
  EXPECT_FALSE(parse_json(quoted + nested(kJsonDepthLimit) + "}", value, error, "record"));
  EXPECT_EQ(error.reason, "nested too deeply");
  EXPECT_EQ(error.column, quoted.size() + kJsonDepthLimit);
  EXPECT_TRUE(parse_json(quoted + nested(kJsonDepthLimit - 1) + "}", value, error, "record"));
}

TEST(JsonReader, UnkeptMemberIsCheckedButNotKept) {
  json_value value;
  json_error error;
  ASSERT_TRUE(
      parse_json("{\"record\":{\"a\":[1,\"x\"]},\"b\":{\"record\":2}}", value, error, "record"));
  EXPECT_EQ(dump(value), "{record:null,b:{record:#2}}");  // only the top level's is dropped
  ASSERT_TRUE(parse_json("{\"record\":[true,-1,2.5,\"s\",null],\"c\":false}", value, error,
                         "record"));
  EXPECT_EQ(dump(value), "{record:null,c:false}");
  EXPECT_FALSE(parse_json("{\"record\":[1,}", value, error, "record"));
  EXPECT_EQ(error.column, 14u);
}

TEST(JsonReader, WholeNumbersUpToTheirLimit) {
  json_value value;
  json_error error;
  std::uint64_t n = 0;
  const auto whole = [&](const char* text, std::uint64_t limit) {
    return parse_json(text, value, error) && whole_number(value, limit, n);
  };
  EXPECT_TRUE(whole("18446744073709551615", UINT64_MAX));
  EXPECT_EQ(n, UINT64_MAX);
  EXPECT_FALSE(whole("18446744073709551616", UINT64_MAX));
  EXPECT_TRUE(whole("100", 100));
  EXPECT_FALSE(whole("101", 100));
  EXPECT_FALSE(whole("5", 3));
  EXPECT_FALSE(whole("-1", 100));
  EXPECT_FALSE(whole("1.0", 100));
  EXPECT_FALSE(whole("1e2", 1000));
  EXPECT_FALSE(whole("\"1\"", 100));
  json_value no_digits;
  no_digits.kind = json_kind::number;
  EXPECT_FALSE(whole_number(no_digits, 100, n));
}
}  // namespace
