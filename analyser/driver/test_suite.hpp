// Grammar test suites: -test runs a suite with the loaded grammar and gives
// each item a verdict; -profile writes the run as JSON Lines; -compare lists
// what changed against an old profile; -summary sums up profiles without
// parsing.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Runs the suite named by state.added.suite_file_name with the loaded
// tables; returns the exit status: 0 when every item meets its expectation,
// 2 otherwise.
int run_test_suite(analyser_state& state);

// Prints the summary of the profiles in state.added.summary_files; returns
// the exit status.
int run_summary(analyser_state& state);
