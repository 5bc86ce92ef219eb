// Grammar test suites: a run of a suite with a loaded grammar gives each
// item a verdict; the profile keeps the run as JSON Lines; a comparison
// lists what changed against an old profile; a summary of profiles needs no
// parsing. The formats: suite_reader.hpp (suite), profile_writer.hpp
// (profile), suite_item.hpp (report lines), suite_summary.hpp (summary),
// suite_compare.hpp (comparison).
//
// These are the room's entries: the command line (-test, -summary) calls
// run_suite and summarise_profiles with its files and streams; a caller
// that holds a suite as text calls run_suite_text.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/grammar/parse_node.hpp"
#include "analyser/library/loaded_grammar.hpp"
#include "analyser/suite/profile_writer.hpp"

// Complete analyses that a record lists with `all_analyses` unless
// `analysis_limit` says otherwise.
constexpr long kSuiteAnalysisLimit = 100;

// What a run of a suite, or a summary of profiles, is asked for.
struct suite_options {
  std::string suite_file_name;               // "-": the console stream
  std::string profile_file_name;             // empty: no profile; "-": the results stream
  std::string compare_file_name;             // empty: no comparison
  std::vector<std::string> summary_files;    // the profiles to sum up ("-": the console)
  std::string configuration_file_name;       // named in the profile's header
  // The grammar's files with their checksums, as the caller loaded them;
  // empty: the header's checksums are taken of the files by their names.
  std::vector<profile_file> files;
  bool verbose = false;                      // every item is listed, not only those that fail
  bool utf8 = false;                         // the suite and the report in UTF-8
  // How every item's sentence is analysed, as a plain run would analyse it,
  // and what its record in the profile holds beyond the fixed fields.
  std::string start_category = "SATZ";
  long node_limit = kNodeLimit;
  bool nodes = false;         // every node made (-list)
  bool all_analyses = false;  // every complete analysis (-all)
  long analysis_limit = kSuiteAnalysisLimit;
  bool why = false;  // the diagnosis of a sentence without analysis (-why)
  // The time the whole run may take (0: no limit); each item gets what is
  // left of it, and one that runs out of it has the outcome timeout.
  std::chrono::microseconds time_limit{0};
  // The threads the items are analysed on, each with an analyser of its
  // own; the report and the profile are those of one thread.
  int threads = 1;
};

// Where a run reads and writes: the report (items, summary, comparison) and
// the loaders' messages go to `out`, "-" names `console` for reading and
// `results` for the profile, and the progress line goes to `errors` when
// that is a terminal.
struct suite_streams {
  std::FILE* out = stdout;
  std::FILE* console = stdin;
  std::FILE* results = stdout;
  std::FILE* errors = stderr;
};

// Runs the suite options.suite_file_name with `grammar`, each item exactly
// as a plain run analyses its sentence. Reports every item that fails
// (every item when verbose) and the summary on streams.out; writes the
// profile and the comparison with an old one when asked. Returns the exit
// status: 0 when every item meets its expectation, 2 otherwise. A suite or
// profile that cannot be opened, read or written ends the run through
// fatal_error with its text; so does memory that runs out.
int run_suite(const loaded_grammar& grammar, const suite_options& options,
              const suite_streams& streams);

// Prints the items that fail (every item when verbose), the summary of the
// profiles options.summary_files and, with a compare file, their comparison
// with it, without parsing; returns the exit status as run_suite does.
int summarise_profiles(const suite_options& options, const suite_streams& streams);

// A suite run on a text: the report as run_suite writes it (item lines and
// summary) and the profile's records, one JSON object each, header first.
struct suite_text_run {
  int status = 0;
  std::string report;
  std::vector<std::string> profile;
};

// Runs the suite `text` with `grammar` under `options`: the profile and
// compare files are ignored, and the suite is called by its file name ("-"
// when empty) in the report and the header. Faults end as for run_suite.
suite_text_run run_suite_text(const loaded_grammar& grammar, std::string_view text,
                              const suite_options& options);
