#include "analyser/suite/profile_json.hpp"

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

TEST(ProfileJson, ReadsEveryKindOfValue) {
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

TEST(ProfileJson, RefusesWhatIsNoJsonWithItsColumn) {
  struct row {
    std::string text;
    std::size_t column;
    const char* reason;
  };
  const std::vector<row> rows = {
      {"", 1, "value missing"},
      {"   ", 4, "value missing"},
      {"nul", 1, "not a JSON value"},
      {"[1,]", 4, "not a JSON value"},
      {"[1 2]", 4, "\",\" or \"]\" expected"},
      {"{\"a\" 1}", 6, "\":\" expected"},
      {"{\"a\":1,}", 8, "member name expected"},
      {"{1:2}", 2, "member name expected"},
      {"01", 2, "text after the value"},
      {"1.", 3, "digits missing after \".\""},
      {"1e", 3, "digits missing in the exponent"},
      {"-", 2, "not a JSON value"},
      {"+1", 1, "not a JSON value"},
      {"\"abc", 5, "string without its closing quote"},
      {"\"a\tb\"", 3, "control character in a string"},
      {"\"\\x\"", 3, "unknown escape"},
      {"\"\\u12\"", 6, "\\u needs four hexadecimal digits"},
      {"\"\\udc00\"", 8, "lone low surrogate"},
      {"\"\\ud800x\"", 8, "high surrogate without its low one"},
      {"\"\\ud800\\u0041\"", 14, "high surrogate without its low one"},
      {"\"\xC3\"", 2, "invalid UTF-8 in a string"},
      {"\"\xC0\xAF\"", 2, "invalid UTF-8 in a string"},          // overlong
      {"\"\xED\xA0\x80\"", 2, "invalid UTF-8 in a string"},      // a surrogate
      {"\"\xF4\x90\x80\x80\"", 2, "invalid UTF-8 in a string"},  // beyond U+10FFFF
      {"\"\\", 3, "unknown escape"},
      {"{} {}", 4, "text after the value"},
      {"\xEF\xBB\xBF{}", 1, "not a JSON value"},  // no byte order mark
  };
  for (const row& r : rows) {
    json_value value;
    json_error error;
    EXPECT_FALSE(parse_json(r.text, value, error)) << r.text;
    EXPECT_EQ(error.reason, r.reason) << r.text;
    EXPECT_EQ(error.column, r.column) << r.text;
  }
}

TEST(ProfileJson, NestingIsBoundedAtTheLimit) {
  json_value value;
  json_error error;
  const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  EXPECT_TRUE(parse_json(nested(kJsonDepthLimit), value, error));
  EXPECT_FALSE(parse_json(nested(kJsonDepthLimit + 1), value, error));
  EXPECT_EQ(error.reason, "nested too deeply");
  // Far deeper than any stack holds: refused at once.
  EXPECT_FALSE(parse_json(std::string(1'000'000, '['), value, error));
  EXPECT_EQ(error.column, static_cast<std::size_t>(kJsonDepthLimit) + 1);
}

TEST(ProfileJson, UnkeptMemberIsCheckedButNotKept) {
  json_value value;
  json_error error;
  ASSERT_TRUE(
      parse_json("{\"record\":{\"a\":[1,\"x\"]},\"b\":{\"record\":2}}", value, error, "record"));
  EXPECT_EQ(dump(value), "{record:null,b:{record:#2}}");  // only the top level's is dropped
  EXPECT_FALSE(parse_json("{\"record\":[1,}", value, error, "record"));
  EXPECT_EQ(error.column, 14u);
}

TEST(ProfileJson, WholeNumbersUpToTheirLimit) {
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
}
}  // namespace
