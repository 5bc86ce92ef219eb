// Quelvint's whole-grammar check ("-c") on a fuzzed grammar, packed as
//   rules %% lexicon %% endings [%% start category]
// (parts separated by a line "%%"; without the last part the start category
// is SATZ).
//
// Besides not crashing:
//  - the checker's model of the files holds what the analyser's own loaders
//    load from them, read as bytes and read as UTF-8 (the harness links both
//    programs' libraries): the same rules with their numbers, parts, value
//    groups and condition digits, the same entries with their words (upper-
//    cased alike), categories and value groups;
//  - the run, 8-bit and UTF-8, writes only report lines that name one of the
//    files at a place inside it (the configuration at the line of the rules
//    file), then a tally that counts exactly the errors and warnings written,
//    and ends with the status those give;
//  - with -Werror (8-bit) it writes the same reports, each warning as an
//    error.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/grammar_run.hpp"
#include "fuzz/analyser_loading.hpp"
#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"

namespace {

enum part_number { kRulesPart, kLexiconPart, kEndingsPart, kStartPart, kPartCount };

// ---- the model against the analyser's loaders

std::string_view name_of(const category_entry* category) {
  return category == nullptr ? std::string_view() : category_name(*category);
}

// The analyser interns a name under the first entry that begins it, so its
// category is the model's or a beginning of it.
bool same_category(const category_entry* loaded, const std::string& modelled) {
  const std::string_view name = name_of(loaded);
  return !name.empty() && modelled.compare(0, name.size(), name) == 0;
}

value_groups loaded_groups(const subcat_value_set* values) {
  return values == nullptr ? value_groups() : value_groups(values[0]);
}

void expect_same_rules(const grammar_rule* loaded, const std::vector<model_rule>& modelled) {
  for (const model_rule& rule : modelled) {
    fuzz_expect(loaded != nullptr, "the model holds a rule the loader skipped");
    fuzz_expect(loaded->rule_number == rule.number, "a rule of the model has another number");
    fuzz_expect((loaded->parts[1].category == nullptr) == rule.unary,
                "a rule of the model has another form");
    for (int k = 0; k < 3; ++k) {
      if (k == 1 && rule.unary) continue;
      fuzz_expect(same_category(loaded->parts[k].category, rule.parts[k].category) &&
                      loaded_groups(loaded->parts[k].subcat_values) == rule.parts[k].groups,
                  "a rule part of the model differs from the loaded one");
    }
    const condition_values* digits = loaded->condition;
    const std::size_t count = digits == nullptr ? 0 : digits[0];
    fuzz_expect(count == rule.condition.size(), "a condition of the model has other digits");
    for (std::size_t i = 0; i < count; ++i) {
      fuzz_expect(digits[i + 1] == rule.condition[i].value, "a condition digit differs");
    }
    loaded = loaded->next;
  }
  fuzz_expect(loaded == nullptr, "the model lacks a rule the loader keeps");
}

void expect_same_entries(const dict_entry* loaded, const std::vector<model_entry>& modelled) {
  for (const model_entry& entry : modelled) {
    fuzz_expect(loaded != nullptr, "the model holds an entry the reader skipped");
    fuzz_expect(text_view(loaded->word, loaded->word_length) == entry.word &&
                    same_category(loaded->category, entry.category) &&
                    loaded_groups(loaded->subcat_values) == entry.groups,
                "an entry of the model differs from the stored one");
    loaded = loaded->next;
  }
  fuzz_expect(loaded == nullptr, "the model lacks an entry the reader stores");
}

// Loads the three files into the analyser's tables and the checker's model
// and compares them. Out of memory in the analyser, or a file that is no
// UTF-8 when read as UTF-8: nothing to compare.
void expect_model_as_loaded(const std::vector<std::string_view>& parts, bool utf8) {
  analyser_grammar loaded;
  if (!load_with_analyser(parts[kRulesPart], parts[kLexiconPart], parts[kEndingsPart], utf8,
                          loaded)) {
    return;
  }
  expect_same_rules(loaded.grammar.rule_list,
                    read_rules_model(memory_input(parts[kRulesPart]).file(), utf8));
  expect_same_entries(loaded.lexicon_entries,
                      read_entries_model(memory_input(parts[kLexiconPart]).file(), utf8));
  expect_same_entries(loaded.endings_entries,
                      read_entries_model(memory_input(parts[kEndingsPart]).file(), utf8));
}

// ---- the reports of a run

const char* const kNames[kGrammarFiles] = {"c", "r", "l", "e"};

long long lines_of(std::string_view text) {
  long long lines = 1;
  for (const char c : text) lines += c == '\n';
  return lines;
}

// Takes `literal` from the front of `text`; false when it does not stand there.
bool take(std::string_view& text, std::string_view literal) {
  if (text.substr(0, literal.size()) != literal) return false;
  text.remove_prefix(literal.size());
  return true;
}

// Takes the digits at the front of `text` as `number`; false when there are
// none, or more than any count of a run can need.
bool take_number(std::string_view& text, long long& number) {
  constexpr std::size_t kMostDigits = 18;
  const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
  if (digits == 0 || digits > kMostDigits) return false;
  number = 0;
  for (const char c : text.substr(0, digits)) number = number * 10 + (c - '0');
  text.remove_prefix(digits);
  return true;
}

// "N errors, M warnings" (or "error", "warning"), and nothing else.
bool read_tally(std::string_view line, long long& errors, long long& warnings) {
  if (!take_number(line, errors) || !take(line, " error")) return false;
  take(line, "s");
  if (!take(line, ", ") || !take_number(line, warnings) || !take(line, " warning")) return false;
  take(line, "s");
  return line.empty();
}

struct report_place {
  int file;  // index into kNames
  long long line;
  long long column;
  bool error;
};

// "F:LINE:COLUMN: error: TEXT" (or "warning"), F one of kNames and TEXT not
// empty, on one line.
bool read_report(std::string_view line, report_place& place) {
  const std::size_t file = std::string_view("crle").find(line.substr(0, 1));
  if (line.empty() || file == std::string_view::npos) return false;
  line.remove_prefix(1);
  place.file = static_cast<int>(file);
  if (!take(line, ":") || !take_number(line, place.line) || !take(line, ":") ||
      !take_number(line, place.column) || !take(line, ": ")) {
    return false;
  }
  place.error = take(line, "error: ");
  if (!place.error && !take(line, "warning: ")) return false;
  return !line.empty() && line.find('\r') == std::string_view::npos;
}

struct run_output {
  std::vector<std::string> reports;
  long long errors = 0;
  long long warnings = 0;
};

// The run's reports, each checked for its place; the tally checked against them.
run_output checked_run(const std::vector<std::string_view>& parts, const std::string& start,
                       bool utf8, bool warnings_as_errors) {
  memory_input files[kGrammarFiles] = {memory_input(""), memory_input(parts[kRulesPart]),
                                       memory_input(parts[kLexiconPart]),
                                       memory_input(parts[kEndingsPart])};
  grammar_sources sources;
  for (int i = 0; i < kGrammarFiles; ++i) {
    sources.names[i] = kNames[i];
    sources.files[i] = files[i].file();
  }
  checker_state settings;
  captured_output output;
  settings.out = output.file();
  settings.utf8_text = utf8;
  settings.max_errors = 0;
  settings.start_category = start;
  settings.warnings_as_errors = warnings_as_errors;
  const int status = check_grammar_files(settings, sources);

  // The lines of each file, counted once: a run may report on most of them.
  long long file_lines[kGrammarFiles] = {4};
  for (int i = 1; i < kGrammarFiles; ++i) file_lines[i] = lines_of(parts[i - 1]);
  run_output run;
  const std::string text = output.text();
  std::size_t at = 0;
  for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string_view line(text.data() + at, end - at);
    if (end + 1 == text.size()) {
      long long errors = 0, warnings = 0;
      fuzz_expect(read_tally(line, errors, warnings), "the run ends without its tally");
      fuzz_expect(errors == run.errors && warnings == run.warnings,
                  "the tally does not count the reports");
      break;
    }
    report_place place{};
    fuzz_expect(read_report(line, place), "a line of the run is no report");
    fuzz_expect(place.file == 0 ? place.line == 4 : place.line <= file_lines[place.file],
                "a report names a line outside its file");
    fuzz_expect(place.column >= 1, "a report names a column before the first");
    ++(place.error ? run.errors : run.warnings);
    run.reports.emplace_back(line);
  }
  fuzz_expect(at < text.size(), "the run wrote no tally");
  fuzz_expect(status == (run.errors > 0 ? kStatusSyntaxError : kStatusCorrect),
              "the status does not follow the errors");
  return run;
}

void expect_warnings_as_errors(const run_output& plain, const run_output& strict) {
  fuzz_expect(strict.warnings == 0 && strict.errors == plain.errors + plain.warnings,
              "-Werror counted otherwise");
  fuzz_expect(strict.reports.size() == plain.reports.size(), "-Werror wrote other reports");
  for (std::size_t i = 0; i < plain.reports.size(); ++i) {
    std::string expected = plain.reports[i];
    const std::size_t level = expected.find(": warning: ");
    if (level != std::string::npos) expected.replace(level, 11, ": error: ");
    fuzz_expect(strict.reports[i] == expected, "-Werror changed a report");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string_view> parts = split_parts(fuzz_bytes(data, size), kPartCount);
  parts.resize(kPartCount);
  const std::string_view start_line = parts[kStartPart].substr(0, parts[kStartPart].find('\n'));
  const std::string start = start_line.empty() ? "SATZ" : std::string(start_line);
  expect_model_as_loaded(parts, false);
  expect_model_as_loaded(parts, true);
  const run_output plain = checked_run(parts, start, false, false);
  expect_warnings_as_errors(plain, checked_run(parts, start, false, true));
  checked_run(parts, start, true, false);
  return 0;
}
