// The command line's test suites: -test and -summary run by the suite room
// (analyser/suite) with the settings and streams of the analyser's state.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Runs the suite named by state.added.suite_file_name with the loaded
// grammar (see run_suite); -v lists every item and traces nothing. Returns
// the exit status, 0 or 2.
int run_test_suite(analyser_state& state);

// Sums up the profiles of state.added.summary_files (see
// summarise_profiles); returns the exit status, 0 or 2.
int run_summary(analyser_state& state);
