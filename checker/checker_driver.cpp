#include "checker/checker_driver.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "checker/lexicon_check.hpp"
#include "checker/rules_check.hpp"

namespace {

// Reads a decimal number from the front of `text` (white space and a sign
// allowed before it, as "%d" reads it) into `setting`, which keeps its value
// when the text does not begin with a number. Numbers beyond the range of an
// int are taken as its nearest bound.
void read_setting(const char* text, int& setting) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text) return;
  setting = static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// Runs the selected check and returns the number of entries or rules.
int check_file(CheckerState& state, FILE* file) {
  return state.check_mode == CheckMode::lexicon ? check_lexicon(state, file)
                                                : check_rules(state, file);
}

// The closing line, written only when the check found entries or rules.
void write_count(CheckerState& state, int count) {
  if (count <= 0) return;
  if (state.check_mode == CheckMode::lexicon) {
    std::fprintf(state.out, "\nOK: %d entries\n", count);
  } else {
    std::fprintf(state.out, "\nOK: %d rules\n", count);
  }
}

}  // namespace

void checker_usage(CheckerState& state) {
  std::fputs("Version 6 09-2002  -  Qx\n", state.out);
  std::fputs("usage: Quelvint [-lexicon] [-rules] -i file\n", state.out);
}

void scan_command_line(CheckerState& state, int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (argument == "-h" && value != nullptr) {
      read_setting(value, state.expected_category_length);
    } else if (argument == "-u" && value != nullptr) {
      read_setting(value, state.expected_group_name_length);
    } else if (argument == "-lexicon") {
      state.check_mode = CheckMode::lexicon;
    } else if (argument == "-rules") {
      state.check_mode = CheckMode::rules;
    } else if (argument == "-i" && value != nullptr) {
      state.file_name = value;
    }
  }
}

int run_checker(CheckerState& state, int argc, const char* const* argv) {
  checker_usage(state);
  scan_command_line(state, argc, argv);
  if (state.check_mode == CheckMode::none) {
    std::fputs("ERROR: no mode specified\n", state.out);
    return kStatusNoMode;
  }
  if (state.file_name.empty()) {
    std::fputs("ERROR: no filename specified\n", state.out);
    return kStatusNoFileName;
  }
  const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(state.file_name.c_str(), "r"),
                                                   &std::fclose);
  if (file == nullptr) {
    std::fputs("ERROR:cannot open the input file\n", state.out);
    return kStatusCannotOpen;
  }
  clear_frame_table(state);
  const int count = check_file(state, file.get());
  // A name that opens but cannot be read (a directory, a failing device)
  // must not pass as a correct file.
  if (std::ferror(file.get())) {
    std::fputs("ERROR:cannot open the input file\n", state.out);
    return kStatusCannotOpen;
  }
  write_count(state, count);
  return kStatusCorrect;
}
