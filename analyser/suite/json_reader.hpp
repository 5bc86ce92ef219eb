// A strict JSON reader for untrusted text (the lines of a profile, the
// bodies of requests), on the JSON library nlohmann-json. It takes exactly
// one value of RFC 8259 with blanks around it: objects, arrays, strings
// (UTF-8, with every escape and \u escapes, surrogate pairs joined), numbers,
// true, false and null; nothing else (no comments, no trailing commas, no
// byte order mark, no lone surrogates, no control characters in strings, no
// invalid UTF-8). Nesting deeper than kJsonDepthLimit is refused when it is
// met, and the reading itself never recurses, so no input can exhaust the
// stack. Storage that cannot be had throws std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int kJsonDepthLimit = 64;

enum class json_kind { null, boolean, number, string, array, object };

struct json_member;

struct json_value {
  json_kind kind = json_kind::null;
  bool boolean = false;
  std::string text;                  // a string's content (UTF-8), or a number as written
  std::vector<json_value> items;     // an array's elements
  std::vector<json_member> members;  // an object's members, in order

  // The first member called `key` of an object, or null.
  const json_value* member(std::string_view key) const;
};

struct json_member {
  std::string key;
  json_value value;
};

struct json_error {
  std::size_t column = 0;  // the byte of the text, from 1, at which the fault was found
  std::string reason;      // "syntax error while parsing array - unexpected ...", "nested too deeply"
};

// Parses `text` as one JSON value into `value`. The values of the top-level
// object's members called `unkept` (if any) are checked but not kept: they
// stay null, so a large record costs no storage. False with the first fault.
bool parse_json(std::string_view text, json_value& value, json_error& error,
                std::string_view unkept = {});

// True when `value` is a number written as a whole number from 0 to
// `limit` (no sign, fraction or exponent); then its value is in `number`.
bool whole_number(const json_value& value, std::uint64_t limit, std::uint64_t& number);
