// The bodies of the server's requests: JSON objects in UTF-8, read with a
// bound on their nesting before anything walks them, and checked field by
// field. Whatever a body holds, decoding it either gives a request within
// the server's limits or throws request_error with status 400.
#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "analyser/library/mirask.hpp"

// A request the server does not take: the status of its answer and why.
struct request_error {
  int status;
  std::string message;
};

// Objects and arrays a body may nest (a request needs two).
constexpr int kMaxNesting = 8;

// The bounds the server puts on every request. A request may ask for less,
// never for more: a larger value is taken as the server's.
struct request_limits {
  long node_limit = 10'000'000;                  // nodes of one sentence
  std::chrono::milliseconds time_limit{10'000};  // for the whole request
  long max_analyses = 1000;                      // trees listed with "all"
};

// POST /api/parse:
//   {"sentence": "..."} or {"sentences": ["...", ...]}, and optionally
//   "all", "why", "nodes", "svg", "count" (booleans), "max_analyses",
//   "analysis_index" (which complete analysis "svg" draws, from 0),
//   "node_limit", "timeout_ms" (whole numbers), "start" (a category).
struct parse_request {
  std::vector<std::string> sentences;
  bool batch = false;  // "sentences" was given: the answer is {"records": [...]}
  mirask::parse_options options;  // node limit included; the time limit is the request's
  std::chrono::microseconds time_limit{0};
  bool svg = false;
  std::optional<long> analysis_index;
};

// POST /api/suite: {"suite": "the suite's text"} and optionally "name" (for
// report lines), "compare" (an earlier run's profile as JSON Lines),
// "node_limit", "timeout_ms".
struct suite_request {
  std::string suite;
  std::string name = "suite";
  std::optional<std::string> compare;
  long node_limit = 0;
  std::chrono::microseconds time_limit{0};
};

// The body as a JSON value, no deeper than kMaxNesting; malformed JSON and
// invalid UTF-8 throw request_error.
nlohmann::json decode_json(std::string_view body);

parse_request decode_parse_request(std::string_view body, const request_limits& limits);
suite_request decode_suite_request(std::string_view body, const request_limits& limits);
// POST /api/reload takes an empty body or an empty object.
void decode_empty_request(std::string_view body);
