// Helpers for the checker's tests: a check run over a literal, its output
// captured (streams from test_support/streams.hpp), table-driven rows of
// checks, and arbitrary inputs for the robustness tests.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "checker/checker_state.hpp"
#include "checker/text_routines.hpp"
#include "test_support/streams.hpp"

// A fresh state that writes to `out`.
inline checker_state state_writing_to(FILE* out) {
  checker_state state;
  state.out = out;
  return state;
}

// What one check made of its input: everything it wrote, the count it
// returned, and the exit status the driver gives it (-1 after an error).
struct check_outcome {
  std::string output;
  long long count = 0;
  int status = kStatusCorrect;
};

using check_function = long long (*)(checker_state&, FILE*);

// Runs `check` on `input` with the settings of `state`.
inline check_outcome run_check(check_function check, std::string_view input,
                               checker_state& state) {
  captured_output output;
  state.out = output.file();
  const owned_file file = stream_over(input);
  check_outcome outcome;
  outcome.count = check(state, file.get());
  outcome.status = state.errors_found > 0 ? kStatusSyntaxError : kStatusCorrect;
  outcome.output = output.text();
  state.out = stdout;
  return outcome;
}

// An input and every report a check makes of it ("-all"), in the GNU form
// for a file called "f".
struct reports_row {
  std::string input;
  std::string reports;
};

inline void expect_all_reports(check_function check, const std::vector<reports_row>& rows,
                               bool utf8 = false) {
  for (const reports_row& row : rows) {
    checker_state state;
    state.all_errors = true;
    state.gnu_form = true;
    state.utf8_text = utf8;
    state.file_name = "f";
    EXPECT_EQ(run_check(check, row.input, state).output, row.reports) << row.input;
  }
}

// Runs `check` on `input` with `settings` twice: stopping at the first error,
// and going on after it ("-all"), which must begin with just what stopping
// wrote, its first error included. Returns the outcome of stopping.
inline check_outcome run_check_both_ways(check_function check, std::string_view input,
                                         checker_state& settings) {
  checker_state all = settings;
  all.all_errors = true;
  const check_outcome outcome = run_check(check, input, settings);
  const check_outcome all_outcome = run_check(check, input, all);
  EXPECT_EQ(all_outcome.status, outcome.status) << input;
  EXPECT_EQ(all_outcome.output.substr(0, outcome.output.size()), outcome.output) << input;
  return outcome;
}

// The closing text `report_error` writes for `message`.
inline std::string error_report(std::string_view message) {
  return "\n\n+++++ " + std::string(message) + " ++++++\n";
}

// One table-driven case of a check: its input, the echo it must write after
// the check's title, and its result.
struct check_row {
  const char* what;
  std::string input;
  std::string echo;    // the output after the title
  int count_or_error;  // the count, or -1 when the echo holds an error report
};

// Runs `check` on every row, each with a fresh copy of `settings`, and
// compares the output (after `title`), the status and the count.
inline void expect_check_rows(check_function check, const std::string& title,
                              const std::vector<check_row>& rows,
                              const checker_state& settings = checker_state()) {
  for (const check_row& row : rows) {
    checker_state state = settings;
    const check_outcome outcome = run_check(check, row.input, state);
    EXPECT_EQ(outcome.output, title + row.echo) << row.what;
    if (row.count_or_error < 0) {
      EXPECT_EQ(outcome.status, -1) << row.what;
    } else {
      EXPECT_EQ(outcome.status, 0) << row.what;
      EXPECT_EQ(outcome.count, row.count_or_error) << row.what;
    }
  }
}

// Up to 400 bytes, three in four from `alphabet` (the characters a check acts
// on), the rest anything.
inline std::string random_input(std::mt19937& random, std::string_view alphabet) {
  std::string input(random() % 400, ' ');
  for (char& c : input) {
    c = random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
  }
  return input;
}
