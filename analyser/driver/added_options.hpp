// The options beyond the classic eight: machine-readable outputs, every
// analysis and its count, the diagnosis of a failing sentence, UTF-8 files,
// the words of an analysis, test suites and their profiles, the exit status
// alone, and --help. Their values are taken whole and are not examined as
// options again.
#pragma once

#include <cstdio>

#include "analyser/driver/analyser_state.hpp"

// When argv[i] is an added option: sets it and `added.given` in `added` and
// returns the index of the last argument it takes (i itself, or i + 1 for a
// value, or the last argument for -summary); otherwise -1. A value that is
// missing or wrong leaves a text in `added.misuse`.
int scan_added_option(added_settings& added, int i, int argc, const char* const* argv);

// After the scan: leaves a text in `added.misuse` for options that need
// another one (-profile without -test, -compare without -test or -summary).
void check_added_options(added_settings& added);

// One line for every option of the analyser, old and new.
void print_help(std::FILE* out);

// True when standard output carries only machine-readable results, so that
// every other text goes to standard error.
bool machine_output(const added_settings& added);
