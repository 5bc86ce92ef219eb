#include "analyser/server/request_decoding.hpp"

#include <gtest/gtest.h>

namespace {
request_limits small_limits() { return {5000, std::chrono::milliseconds(2000), 10}; }

// The message of the request_error a body gets, or "" when it is taken.
template <typename Decode>
std::string refusal(Decode decode, const std::string& body) {
  try {
    decode(body, small_limits());
  } catch (const request_error& e) {
    EXPECT_EQ(e.status, 400) << body;
    return e.message;
  }
  return "";
}

TEST(RequestDecoding, RefusesWhatIsNoRequest) {
  const struct {
    const char* body;
    const char* message;
  } cases[] = {
      {"", "malformed JSON at byte 1: unexpected end of input"},
      {"{\"sentence\": \"a\"", "malformed JSON at byte 17: unexpected end of input"},
      {"[1]", "the request must be a JSON object"},
      {"{}", "give either \"sentence\" or \"sentences\""},
      {"{\"sentence\": \"a\", \"sentences\": []}", "give either \"sentence\" or \"sentences\""},
      {"{\"sentence\": 7}", "\"sentence\" must be a string"},
      {"{\"sentences\": [\"a\", 1]}", "\"sentences\" must be a list of strings"},
      {"{\"sentences\": \"a\"}", "\"sentences\" must be a list of strings"},
      {"{\"sentence\": \"a\", \"all\": 1}", "\"all\" must be true or false"},
      {"{\"sentence\": \"a\", \"max_analyses\": 0}", "\"max_analyses\" must be a whole number of at least 1"},
      {"{\"sentence\": \"a\", \"node_limit\": 2.5}", "\"node_limit\" must be a whole number of at least 1"},
      {"{\"sentence\": \"a\", \"timeout_ms\": -3}", "\"timeout_ms\" must be a whole number of at least 1"},
      {"{\"sentence\": \"a\", \"analysis_index\": -1}", "\"analysis_index\" must be a whole number of at least 0"},
      {"{\"sentence\": \"a\", \"node_limit\": \"5\"}",
       "\"node_limit\" must be a whole number of at least 1"},
      {"{\"sentence\": \"a\", \"colour\": true}", "unknown field \"colour\""},
      {"{\"sentence\": \"\xC3\"}", "invalid UTF-8 in the request at byte 16"},
      {"{\"sentence\": \"\\udc00\"}", "invalid UTF-8 in the request at byte 20"},
      {"{\"sentence\": \"\xC0\xAF\"}", "invalid UTF-8 in the request at byte 15"},
      {"{\"sentence\": \"a\"} {}", "malformed JSON at byte 19: unexpected '{'"},
      {"{\"sentence\": \"a\", \"node_limit\": 1E400}", "a number in the request is too large"},
      {"-1e999", "a number in the request is too large"},
  };
  for (const auto& c : cases) EXPECT_EQ(refusal(decode_parse_request, c.body), c.message) << c.body;
}

TEST(RequestDecoding, BoundsTheNestingBeforeWalkingIt) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_EQ(refusal(decode_parse_request, deep), "the request nests deeper than 8 levels");
  const std::string inside = "{\"sentence\": \"a\", \"x\": " + deep + "}";
  EXPECT_EQ(refusal(decode_parse_request, inside), "the request nests deeper than 8 levels");
  EXPECT_NO_THROW(decode_json("[[[[[[[[1]]]]]]]]"));
  EXPECT_THROW(decode_json("[[[[[[[[[1]]]]]]]]]"), request_error);
}

TEST(RequestDecoding, TakesTheFieldsAndKeepsTheServersLimits) {
  const parse_request r = decode_parse_request(
      "{\"sentence\": \"Der Hund bellt.\", \"all\": true, \"why\": true, \"nodes\": true,"
      " \"svg\": true, \"count\": false, \"max_analyses\": 3, \"analysis_index\": 2,"
      " \"node_limit\": 100, \"timeout_ms\": 50, \"start\": \"NPHR\"}",
      small_limits());
  EXPECT_EQ(r.sentences, std::vector<std::string>{"Der Hund bellt."});
  EXPECT_FALSE(r.batch);
  EXPECT_TRUE(r.options.all && r.options.why && r.options.nodes && r.svg);
  EXPECT_FALSE(r.options.count);
  EXPECT_EQ(r.options.max_analyses, 3);
  EXPECT_EQ(r.analysis_index, 2);
  EXPECT_EQ(r.options.node_limit, 100);
  EXPECT_EQ(r.time_limit, std::chrono::milliseconds(50));
  EXPECT_EQ(r.options.start, "NPHR");

  // Asking for more than the server allows gets the server's limit.
  const parse_request more = decode_parse_request(
      "{\"sentences\": [\"a\", \"b\"], \"max_analyses\": 99999999999999999999,"
      " \"node_limit\": 9000000000, \"timeout_ms\": 100000}",
      small_limits());
  EXPECT_TRUE(more.batch);
  EXPECT_EQ(more.sentences.size(), 2u);
  EXPECT_EQ(more.options.max_analyses, 10);
  EXPECT_EQ(more.options.node_limit, 5000);
  EXPECT_EQ(more.time_limit, std::chrono::milliseconds(2000));
  EXPECT_FALSE(more.analysis_index.has_value());

  // Whole numbers in any JSON form: an exponent, a fraction of zero, minus zero.
  const parse_request spelled = decode_parse_request(
      "{\"sentence\": \"a\", \"timeout_ms\": 1e3, \"node_limit\": 70.0, \"analysis_index\": -0}",
      small_limits());
  EXPECT_EQ(spelled.time_limit, std::chrono::milliseconds(1000));
  EXPECT_EQ(spelled.options.node_limit, 70);
  EXPECT_EQ(spelled.analysis_index, 0);

  const parse_request plain = decode_parse_request("{\"sentence\": \"\xC3\xA4\"}", small_limits());
  EXPECT_EQ(plain.options.node_limit, 5000);
  EXPECT_EQ(plain.options.max_analyses, 10);
  EXPECT_TRUE(plain.options.count);
  EXPECT_EQ(plain.sentences.front(), "\xC3\xA4");
}

TEST(RequestDecoding, SuiteAndReload) {
  const suite_request s = decode_suite_request(
      "{\"suite\": \"Der Hund bellt.\\n\", \"name\": \"s.suite\", \"compare\": \"{}\"}", small_limits());
  EXPECT_EQ(s.suite, "Der Hund bellt.\n");
  EXPECT_EQ(s.name, "s.suite");
  EXPECT_EQ(s.compare, "{}");
  EXPECT_EQ(s.node_limit, 5000);
  EXPECT_EQ(refusal(decode_suite_request, "{\"name\": \"x\"}"), "\"suite\" is missing: the suite's text");
  EXPECT_EQ(refusal(decode_suite_request, "{\"suite\": [\"x\"]}"), "\"suite\" must be a string");
  EXPECT_NO_THROW(decode_empty_request(""));
  EXPECT_NO_THROW(decode_empty_request(" {} "));
  EXPECT_THROW(decode_empty_request("{\"path\": \"/etc/passwd\"}"), request_error);
  EXPECT_THROW(decode_empty_request("nonsense"), request_error);
}
}  // namespace
