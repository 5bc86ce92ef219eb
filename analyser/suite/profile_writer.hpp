// A profile: the run of a test suite as JSON Lines (one JSON object a line,
// UTF-8). A part is a header record, one record per suite line that is an
// item or malformed, in suite order, and an end record:
//
//   {"profile":1,"program":"Mirask 09-2002","date":"2024-05-01T12:00:00Z",
//    "configuration":"mirask.cfg","start_category":"SATZ","utf8":false,
//    "suite":"saetze.suite","files":[{"role":"configuration","name":"mirask.cfg",
//    "checksum":"fnv1a64:0123456789abcdef"},...],
//    "coverage":{"rules_file":"regeln.txt","rules":[{"number":1,"line":21,
//    "label":"","parts":"ADJE + NOMN = NBAR"},...],"lexicon_file":"lexikon.txt",
//    "entries":[{"line":20,"word":"ABER","category":"KONJ"},...]}}
//   {"item":{"line":3,"text":"Der Hund bellt.","grammatical":true,
//    "expected_count":null,"expected_analysis":null},"verdict":"pass",
//    "found":{"outcome":"analysed","count":1,"analysis":"<SATZ(...)>",
//    "nodes":13,"time_us":49,"rules":[4,16,32],"entries":[60,131,280]},
//    "record":{...the sentence's JSON record...}}
//   {"item":{"line":7},"verdict":"malformed","problem":"..."}
//   {"end":{"lines":45,"items":45}}
//
// Profiles of parts of a suite, concatenated, are the profile of the whole.
// "coverage" and the "rules" (numbers) and "entries" (lexicon lines) an
// item used are missing from profiles written before they were recorded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/suite/suite_item.hpp"

constexpr int kProfileVersion = 1;

struct profile_file {
  std::string role;      // configuration, messages, rules, lexicon, endings
  std::string name;      // as the configuration names it
  std::string checksum;  // "fnv1a64:" and 16 hexadecimal digits; empty when unreadable
};

struct profile_header {
  std::string program;
  std::string date;  // UTC, ISO 8601
  std::string configuration;
  std::string start_category;
  bool utf8 = false;
  std::string suite;  // "-" for standard input
  std::vector<profile_file> files;
  std::optional<coverage_universe> coverage;
};

// The current time in UTC as "YYYY-MM-DDTHH:MM:SSZ".
std::string utc_date_now();

// The records, each without its line end.
std::string header_record(const profile_header& header);
// `record` is the JSON record of the item's sentence (ignored for a
// malformed line).
std::string item_record(const item_result& item, std::string_view record);
std::string end_record(long lines, long items);
