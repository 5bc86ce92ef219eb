// Grammar test suites: -test runs a suite with the loaded grammar and gives
// each item a verdict; -profile writes the run as JSON Lines; -compare lists
// what changed against an old profile; -summary sums up profiles without
// parsing. The formats: suite_reader.hpp (suite), profile_writer.hpp
// (profile), suite_item.hpp (report lines), suite_summary.hpp (summary),
// suite_compare.hpp (comparison).
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Runs the suite named by state.added.suite_file_name ("-": the console)
// with the loaded tables, exactly as a plain run analyses each sentence.
// Reports every item that fails (every item with -v, which traces nothing
// here) and the summary on state.out; writes the profile (-profile) and the
// comparison with an old one (-compare). Returns the exit status: 0 when
// every item meets its expectation, 2 otherwise. A suite or profile that
// cannot be opened, read or written ends the run with a framed text.
int run_test_suite(analyser_state& state);

// Prints the items that fail (every item with -v), the summary of the
// profiles in state.added.summary_files ("-": the console) and, with
// -compare, their comparison with an old profile, without parsing; returns
// the exit status as run_test_suite does.
int run_summary(analyser_state& state);
