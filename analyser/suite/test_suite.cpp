#include "analyser/suite/test_suite.hpp"

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "analyser/base/checksum.hpp"
#include "analyser/base/fatal_error.hpp"
#include "analyser/base/file_input.hpp"
#include "analyser/driver/analyser_run.hpp"
#include "analyser/suite/profile_reader.hpp"
#include "analyser/suite/profile_writer.hpp"
#include "analyser/driver/sentence_reader.hpp"
#include "analyser/suite/suite_compare.hpp"
#include "analyser/suite/suite_progress.hpp"
#include "analyser/suite/suite_reader.hpp"
#include "analyser/suite/suite_summary.hpp"
#include "analyser/output/json_writer.hpp"
#include "analyser/output/printout.hpp"

namespace {
constexpr const char* kProgram = "Mirask 09-2002";
constexpr int kStatusFailures = 2;

[[noreturn]] void fail_with_name(const char* what, const std::string& name) {
  const std::string text = std::string(what) + ": " + name;
  fatal_error(text.c_str());
}

// The stream of a file named on the command line: "-" is `standard`.
std::FILE* open_named(const std::string& name, std::FILE* standard, const char* mode,
                      unique_file& owner) {
  if (name == "-") return standard;
  owner.reset(std::fopen(name.c_str(), mode));
  return owner.get();
}

bool same_file(std::FILE* file, const std::string& name) {
  struct stat opened {};
  struct stat named {};
  return fstat(fileno(file), &opened) == 0 && stat(name.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// True when the suite or a profile to sum up is read from standard input.
bool reads_standard_input(const added_settings& added) {
  for (const std::string& name : added.summary_files) {
    if (name == "-") return true;
  }
  return added.suite_file_name == "-";
}

// The items of the profile that -compare names. Its faulty lines are
// reported and counted in `problems`.
std::vector<item_result> load_old_profile(analyser_state& state, long& problems) {
  std::vector<item_result> items;
  const std::string& name = state.added.compare_file_name;
  if (name.empty()) return items;
  if (name == "-" && reads_standard_input(state.added)) {
    fatal_error("-compare - and the suite or profiles cannot all read standard input");
  }
  unique_file owner;
  std::FILE* file = open_named(name, state.console, "r", owner);
  if (file == nullptr) fail_with_name("Profile not found", name);
  profile_reader reader(state.out, [&](const item_result& item) { items.push_back(item); });
  reader.read(file, name);
  reader.finish();
  problems += reader.problems();
  return items;
}

void write_record(std::FILE* profile, const std::string& record) {
  if (profile == nullptr) return;
  std::fwrite(record.data(), 1, record.size(), profile);
  std::fputc('\n', profile);
}

// Everything one run of a suite (or the summary of profiles) carries from
// item to item.
struct suite_run {
  suite_run(analyser_state& s, suite_progress p)
      : state(s), verbose(s.trace_flag != 0), progress(p) {}

  analyser_state& state;
  bool verbose;  // -v: every item is listed
  std::FILE* profile = nullptr;
  suite_progress progress;
  suite_summary summary;
  bool keep_items = false;  // for -compare
  std::vector<item_result> items;
  long problems = 0;  // faulty lines of profiles read

  // Reports, counts and keeps one item.
  void take(item_result&& item) {
    if (item.verdict != item_verdict::pass || verbose) {
      progress.clear();
      write_item_line(state.out, item, state.added.utf8);
      std::fflush(state.out);
    }
    add_item(summary, item);
    progress.item_done(summary.failed + summary.malformed);
    if (keep_items) items.push_back(std::move(item));
  }

  int status() const { return problems > 0 ? kStatusFailures : summary_status(summary); }
};

// Reads `sentence` (the item's text as the file holds it) as the sentence
// reader reads an input line, and analyses it as a plain run does; null
// when the text holds no sentence.
const unsigned char* read_item_sentence(analyser_state& state, const std::string& sentence) {
  std::string text = sentence + "\n";
  unique_file stream(fmemopen(text.data(), text.size(), "r"));
  if (stream == nullptr) throw std::bad_alloc();
  state.reading = sentence_reading{};
  return read_sentence(state, stream.get(), state.sentence_buffer, kSentenceCapacity);
}

record_settings record_settings_of(const analyser_state& state) {
  const added_settings& added = state.added;
  return {(state.output_flags & OUT_LIST) != 0,
          added.all_analyses,
          added.analysis_limit,
          added.why,
          &state.loaded.grammar,
          &state.loaded.lexicon};
}

// Analyses the item of `line`; its profile record goes to `record`.
item_result run_item(analyser_state& state, const suite_line& line, long number,
                     std::string& record) {
  item_result item;
  item.suite = state.added.suite_file_name;
  item.line = number;
  item.text = line.text;
  item.expected = line.expected;
  const unsigned char* sentence =
      line.kind == suite_line_kind::item ? read_item_sentence(state, line.sentence) : nullptr;
  if (sentence == nullptr) {
    item.verdict = item_verdict::malformed;
    item.problem = line.kind == suite_line_kind::malformed ? line.problem : "no sentence";
    return item;
  }
  const sentence_analysis analysis = analyse_read_sentence(state, sentence);
  item.found = found_of(analysis);
  item.verdict = judge(item.expected, item.found);
  record = json_record(analysis, record_settings_of(state));
  return item;
}

std::vector<profile_file> loaded_files(const analyser_state& state) {
  const std::pair<const char*, const std::string*> files[] = {
      {"configuration", &state.config_file_name}, {"messages", &state.loaded.message_file_name},
      {"rules", &state.loaded.grammar.file_name},        {"lexicon", &state.loaded.lexicon_file_name},
      {"endings", &state.loaded.endings_file_name},
  };
  std::vector<profile_file> result;
  for (const auto& [role, name] : files) result.push_back({role, *name, file_checksum(*name)});
  return result;
}

profile_header header_of(const analyser_state& state) {
  return {kProgram,
          utc_date_now(),
          state.config_file_name,
          state.start_category,
          state.added.utf8,
          state.added.suite_file_name,
          loaded_files(state)};
}

// Opens the profile that -profile names ("-": the results stream), which
// must not be the suite itself; null without -profile.
std::FILE* open_profile(analyser_state& state, std::FILE* suite, unique_file& owner) {
  const std::string& name = state.added.profile_file_name;
  if (name.empty()) return nullptr;
  if (name != "-" && same_file(suite, name))
    fail_with_name("Profile would overwrite the suite", name);
  std::FILE* profile = open_named(name, state.results, "w", owner);
  if (profile == nullptr) fail_with_name("Profile cannot be written", name);
  return profile;
}

// Runs every line of the suite through `run`; returns the suite's lines.
long run_lines(suite_run& run, std::FILE* suite) {
  suite_reader reader(suite, run.state.added.utf8);
  suite_line line;
  long number = 0;
  std::string record;
  while (reader.next(line, number)) {
    record.clear();
    item_result item = run_item(run.state, line, number, record);
    if (run.profile != nullptr) write_record(run.profile, item_record(item, record));
    run.take(std::move(item));
  }
  if (reader.failed()) fail_with_name("Test suite cannot be read", run.state.added.suite_file_name);
  return reader.lines_read();
}

// Ends the profile; false when it could not be written whole.
bool close_profile(std::FILE* profile, unique_file& owner) {
  if (profile == nullptr) return true;
  bool written = std::fflush(profile) == 0 && !std::ferror(profile);
  if (owner != nullptr) written = std::fclose(owner.release()) == 0 && written;
  return written;
}

void print_changes(suite_run& run, const std::vector<item_result>& before) {
  if (run.state.added.compare_file_name.empty()) return;
  print_comparison(run.state.out, std::string(shown_suite_name(run.state.added.compare_file_name)),
                   compare_items(before, run.items), run.state.added.utf8);
}

bool progress_shown(const analyser_state& state) {
  const int descriptor = fileno(state.errors);
  return descriptor >= 0 && isatty(descriptor);
}

int run_suite(analyser_state& state) {
  const std::string& name = state.added.suite_file_name;
  unique_file suite_owner;
  std::FILE* suite = open_named(name, state.console, "r", suite_owner);
  if (suite == nullptr) fail_with_name("Test suite not found", name);
  long problems = 0;
  const std::vector<item_result> before = load_old_profile(state, problems);
  unique_file profile_owner;
  const bool shown = progress_shown(state);
  const long total = shown ? count_suite_items(suite, state.added.utf8) : -1;
  suite_run run(state, suite_progress(state.errors, shown, total));
  run.problems = problems;
  run.keep_items = !state.added.compare_file_name.empty();
  run.profile = open_profile(state, suite, profile_owner);
  write_record(run.profile, header_record(header_of(state)));
  state.trace_flag = 0;  // -v lists every item; the items are not traced
  const long lines = run_lines(run, suite);
  run.progress.finish();
  write_record(run.profile, end_record(lines, run.summary.items + run.summary.malformed));
  print_summary(state.out, run.summary);
  print_changes(run, before);
  std::fflush(state.out);
  if (!close_profile(run.profile, profile_owner)) {
    fail_with_name("Profile cannot be written", state.added.profile_file_name);
  }
  return run.status();
}

// Reads the profiles -summary names, each reported item through `run`.
void read_profiles(suite_run& run) {
  const std::vector<std::string>& names = run.state.added.summary_files;
  std::vector<unique_file> owners(names.size());
  std::vector<std::FILE*> files;
  for (std::size_t i = 0; i < names.size(); ++i) {
    files.push_back(open_named(names[i], run.state.console, "r", owners[i]));
    if (files.back() == nullptr) fail_with_name("Profile not found", names[i]);
  }
  profile_reader reader(run.state.out,
                        [&](const item_result& item) { run.take(item_result(item)); });
  for (std::size_t i = 0; i < names.size(); ++i) reader.read(files[i], names[i]);
  reader.finish();
  run.problems += reader.problems();
  if (reader.mixed_files()) {
    std::fputs("note: the profiles were made with different files (their checksums differ)\n",
               run.state.out);
  }
}

int summarise_profiles(analyser_state& state) {
  long problems = 0;
  const std::vector<item_result> before = load_old_profile(state, problems);
  suite_run run(state, suite_progress(state.errors, false, -1));
  run.problems = problems;
  run.keep_items = !state.added.compare_file_name.empty();
  read_profiles(run);
  print_summary(state.out, run.summary);
  print_changes(run, before);
  std::fflush(state.out);
  return run.status();
}
}  // namespace

int run_test_suite(analyser_state& state) {
  return needing_memory("run_test_suite: malloc Fehler", [&] { return run_suite(state); });
}

int run_summary(analyser_state& state) {
  return needing_memory("run_summary: malloc Fehler", [&] { return summarise_profiles(state); });
}
