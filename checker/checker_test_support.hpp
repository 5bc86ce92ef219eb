// Streams for the checker's tests: the output of a run captured in memory,
// and files holding given bytes, so every check can be fed from a literal.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "checker/checker_state.hpp"
#include "checker/text_routines.hpp"

class CapturedOutput {
 public:
  CapturedOutput() : file_(open_memstream(&data_, &size_)) {}
  ~CapturedOutput() {
    std::fclose(file_);
    std::free(data_);
  }
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  FILE* file() const { return file_; }
  std::string text() {
    std::fflush(file_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  FILE* file_;
};

// A fresh state that writes to `out`.
inline CheckerState state_writing_to(FILE* out) {
  CheckerState state;
  state.out = out;
  return state;
}

using FileHandle = std::unique_ptr<FILE, int (*)(FILE*)>;

// An open file, positioned at its start, holding exactly `bytes`.
inline FileHandle file_holding(std::string_view bytes) {
  FileHandle file(std::tmpfile(), &std::fclose);
  std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  std::rewind(file.get());
  return file;
}

// What one check made of its input: everything it wrote, the count it
// returned, and the exit status (-1 when `report_error` ended it).
struct CheckOutcome {
  std::string output;
  int count = 0;
  int status = kStatusCorrect;
};

// Runs `check` on `input` with the settings of `state`.
inline CheckOutcome run_check(int (*check)(CheckerState&, FILE*), std::string_view input,
                              CheckerState& state) {
  CapturedOutput output;
  state.out = output.file();
  const FileHandle file = file_holding(input);
  CheckOutcome outcome;
  try {
    outcome.count = check(state, file.get());
  } catch (const CheckerEnd& end) {
    outcome.status = end.status;
  }
  outcome.output = output.text();
  state.out = stdout;
  return outcome;
}

// The closing text `report_error` writes for `message`.
inline std::string error_report(std::string_view message) {
  return "\n\n+++++ " + std::string(message) + " ++++++\n";
}

// One table-driven case of a check: its input, the echo it must write after
// the check's title, and its result.
struct CheckRow {
  const char* what;
  std::string input;
  std::string echo;    // the output after the title
  int count_or_error;  // the count, or -1 when the echo ends in an error report
};

// Runs `check` on every row, each with a fresh copy of `settings`, and
// compares the output (after `title`), the status and the count.
inline void expect_check_rows(int (*check)(CheckerState&, FILE*), const std::string& title,
                              const std::vector<CheckRow>& rows,
                              const CheckerState& settings = CheckerState()) {
  for (const CheckRow& row : rows) {
    CheckerState state = settings;
    const CheckOutcome outcome = run_check(check, row.input, state);
    EXPECT_EQ(outcome.output, title + row.echo) << row.what;
    if (row.count_or_error < 0) {
      EXPECT_EQ(outcome.status, -1) << row.what;
    } else {
      EXPECT_EQ(outcome.status, 0) << row.what;
      EXPECT_EQ(outcome.count, row.count_or_error) << row.what;
    }
  }
}
