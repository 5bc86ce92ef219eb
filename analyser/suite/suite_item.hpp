// One item of a grammar test suite: what its line expects, what the
// analysis found, and the verdict. A run of a suite makes these, a profile
// keeps them, and the summary and the comparison read them. Texts are bytes
// of the analyser's 7-bit convention, as the sentence reader sees them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "analyser/grammar/analysis_count.hpp"
#include "analyser/grammar/sentence_analysis.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/suite/suite_coverage.hpp"

// Decimal digits a count of analyses may have when it is read back.
constexpr std::size_t kCountTextLimit = 10000;

enum class item_verdict {
  pass,       // the analysis meets the expectation
  fail,       // it does not
  malformed,  // the line could not be read as an item; nothing was analysed
};

struct item_expectation {
  bool grammatical = true;              // false: the line began with "*"
  std::optional<std::uint64_t> count;   // the number of complete analyses
  std::optional<std::string> analysis;  // the first analysis as a bracket line "<...>"
};

struct item_found {
  std::string outcome;       // as in the JSON record: analysed, no_analysis, unknown_word, ...
  std::string unknown_word;  // the word that stopped an unknown_word sentence
  analysis_count count;      // complete analyses: exact, or unbounded (a unary cycle)
  std::optional<std::string> analysis;  // the first analysis as a bracket line
  long nodes = 0;                       // nodes made
  long time_us = 0;                     // time of the analysis
  // The rules and lexicon entries it used; none in a profile written
  // before they were recorded.
  std::optional<item_coverage> coverage;
};

struct item_result {
  std::string suite;  // the suite's name as the run was given it ("-": standard input)
  long line = 0;      // line of the suite, from 1
  std::string text;   // the sentence as written, without "*" and expectation
  item_expectation expected;
  item_verdict verdict = item_verdict::fail;
  item_found found;
  std::string problem;  // why a malformed line is one
};

// Reads a count written by count_text (analysis_tree.hpp); false for anything else (or more
// than kCountTextLimit digits).
bool count_of_text(std::string_view text, analysis_count& count);
bool same_count(const analysis_count& a, const analysis_count& b);

// What the analysis of a sentence found, its first analysis written as the
// bracket line without numbers.
item_found found_of(const sentence_analysis& analysis);

// True when `name` is the name of an outcome (sentence_analysis.hpp).
bool is_outcome_name(std::string_view name);

// A grammatical item passes when the sentence has a complete analysis and
// the count and first analysis it gives (if any) are the ones found; an
// ungrammatical one when the sentence was analysed to the end (or stopped
// by an unknown word) without one. A sentence that the node limit stopped
// fails either way: its parse is not known.
item_verdict judge(const item_expectation& expected, const item_found& found);

const char* verdict_name(item_verdict verdict);
// False when `name` names no verdict.
bool verdict_of(std::string_view name, item_verdict& verdict);

// "an analysis", "no analysis", "2 analyses", "<SATZ(...)>", "1 analysis, <SATZ(...)>".
std::string expectation_text(const item_expectation& expected);
// "analysed, 1 analysis, <SATZ(...)>", "unknown_word DACKEL, 0 analyses".
std::string found_text(const item_found& found);

// The name a report shows for a suite: "stdin" for standard input.
std::string_view shown_suite_name(std::string_view suite);

// Writes the report line of an item:
//   SUITE:LINE: VERDICT: [*]SENTENCE | expected: ... | found: ...
//   SUITE:LINE: malformed: PROBLEM
// Texts are written in UTF-8 when `utf8`.
void write_item_line(std::FILE* out, const item_result& item, bool utf8);
