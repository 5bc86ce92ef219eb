#include "checker/checker_driver.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "checker/grammar_run.hpp"
#include "checker/lexicon_check.hpp"
#include "checker/rules_check.hpp"

namespace {

// The checked file, closed when the run ends however it ends.
struct close_file {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using checked_file = std::unique_ptr<std::FILE, close_file>;

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

// "-max-errors" takes only a whole number, digits alone; one beyond the range
// of the setting is as good as no limit and taken as its largest value.
void read_max_errors(checker_state& state, const char* value) {
  const std::string_view text = value == nullptr ? "" : value;
  state.max_errors_unreadable =
      text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos;
  if (!state.max_errors_unreadable) state.max_errors = std::strtoll(value, nullptr, 10);
}

// The options whose value is the argument behind them.
bool takes_value(std::string_view argument) {
  return argument == "-h" || argument == "-u" || argument == "-i" || argument == "-max-errors" ||
         argument == "-c" || argument == "-a";
}

// The options added to the first five. An argument that is the value of the
// one before it is never one of them, so that every command line of the first
// five options keeps its meaning.
void scan_added_option(checker_state& state, std::string_view argument, const char* value) {
  if (argument == "-all") {
    state.all_errors = true;
  } else if (argument == "-gnu") {
    state.gnu_form = true;
  } else if (argument == "-utf8") {
    state.utf8_text = true;
  } else if (argument == "-max-errors") {
    read_max_errors(state, value);
  } else if (argument == "-c") {
    state.grammar_mode = true;
    state.config_name = value == nullptr ? "" : value;
  } else if (argument == "-a" && value != nullptr) {
    state.start_category = value;
  } else if (argument == "-Werror") {
    state.warnings_as_errors = true;
  } else if (argument == "--help") {
    state.help = true;
  }
}

// Every option, one line each, behind the usage line.
void print_help(checker_state& state) {
  static const char* const kLines[] = {
      "  -lexicon          check a lexicon or endings file",
      "  -rules            check a rules file",
      "  -i FILE           the file to check",
      "  -c CONFIG         check the grammar a configuration names: each file, then across them",
      "  -a CATEGORY       with -c: the start category (default SATZ)",
      "  -Werror           with -c: warnings count as errors",
      "  -all              report every error, not only the first",
      "  -gnu              no echo; each error as FILE:LINE:COLUMN: error: TEXT",
      "  -max-errors N     write at most N reports (default 100, 0 for all); count the rest",
      "  -utf8             the files are UTF-8 text",
      "  -h N              characters of a main category (default 4)",
      "  -u N              characters of a group name (default 3)",
      "  --help            this list",
  };
  std::fputs("\noptions:\n", state.out);
  for (const char* line : kLines) std::fprintf(state.out, "%s\n", line);
}

// "-c" stands alone: the files come from its configuration.
int start_grammar_check(checker_state& state) {
  if (state.check_mode != file_kind::none || !state.file_name.empty()) {
    std::fputs(
        "ERROR: -c checks the files its configuration names; give it without -lexicon, "
        "-rules and -i\n",
        state.out);
    return kStatusBadOptionValue;
  }
  if (state.config_name.empty()) {
    std::fputs("ERROR: -c needs the name of a configuration file\n", state.out);
    return kStatusNoFileName;
  }
  return run_grammar_check(state);
}

// Runs the selected check and returns the number of entries or rules.
long long check_file(checker_state& state, FILE* file) {
  return state.check_mode == file_kind::lexicon ? check_lexicon(state, file)
                                                : check_rules(state, file);
}

// The closing line of a correct file, written only when the check found
// entries or rules. Without an echo no blank line sets it apart.
void write_count(checker_state& state, long long count) {
  if (count <= 0) return;
  const char* unit = state.check_mode == file_kind::lexicon ? "entries" : "rules";
  std::fprintf(state.out, "%sOK: %lld %s\n", state.gnu_form ? "" : "\n", count, unit);
}

const char* plural(long long n) { return n == 1 ? "" : "s"; }

// The closing lines of a file with errors: those not reported, then all of
// them. The one report of a run in the echo form without "-all" stands alone.
void write_error_summary(checker_state& state) {
  if (!state.all_errors && !state.gnu_form) return;
  if (!state.gnu_form) std::fputc('\n', state.out);
  const long long unreported = state.max_errors == 0 ? 0 : state.errors_found - state.max_errors;
  if (unreported > 0) std::fprintf(state.out, "... %lld more error%s\n", unreported, plural(unreported));
  std::fprintf(state.out, "%lld error%s\n", state.errors_found, plural(state.errors_found));
}

}  // namespace

void checker_usage(checker_state& state) {
  std::fputs("Version 6 09-2002  -  Qx\n", state.out);
  std::fputs("usage: Quelvint [-lexicon] [-rules] -i file\n", state.out);
}

void scan_command_line(checker_state& state, int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (argument == "-h" && value != nullptr) {
      read_setting(value, state.expected_category_length);
    } else if (argument == "-u" && value != nullptr) {
      read_setting(value, state.expected_group_name_length);
    } else if (argument == "-lexicon") {
      state.check_mode = file_kind::lexicon;
    } else if (argument == "-rules") {
      state.check_mode = file_kind::rules;
    } else if (argument == "-i" && value != nullptr) {
      state.file_name = value;
    } else if (i == 1 || !takes_value(argv[i - 1])) {
      scan_added_option(state, argument, value);
    }
  }
}

int run_checker(checker_state& state, int argc, const char* const* argv) {
  scan_command_line(state, argc, argv);
  if (state.help) {
    checker_usage(state);
    print_help(state);
    return kStatusCorrect;
  }
  // A -gnu or -c run writes only lines that editors read.
  if (!state.gnu_form && !state.grammar_mode) checker_usage(state);
  if (state.max_errors_unreadable) {
    std::fputs("ERROR: -max-errors needs a whole number (0 for no limit)\n", state.out);
    return kStatusBadOptionValue;
  }
  if (state.grammar_mode) return start_grammar_check(state);
  if (state.check_mode == file_kind::none) {
    std::fputs("ERROR: no mode specified\n", state.out);
    return kStatusNoMode;
  }
  if (state.file_name.empty()) {
    std::fputs("ERROR: no filename specified\n", state.out);
    return kStatusNoFileName;
  }
  const checked_file file(std::fopen(state.file_name.c_str(), "r"));
  if (file == nullptr) {
    std::fputs("ERROR:cannot open the input file\n", state.out);
    return kStatusCannotOpen;
  }
  clear_frame_table(state);
  const long long count = check_file(state, file.get());
  if (state.errors_found > 0) {
    write_error_summary(state);
    return kStatusSyntaxError;
  }
  // A name that opens but cannot be read (a directory, a failing device)
  // must not pass as a correct file.
  if (std::ferror(file.get())) {
    std::fputs("ERROR:cannot open the input file\n", state.out);
    return kStatusCannotOpen;
  }
  write_count(state, count);
  return kStatusCorrect;
}
