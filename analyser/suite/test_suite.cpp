#include "analyser/suite/test_suite.hpp"

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analyser/base/checksum.hpp"
#include "analyser/base/fatal_error.hpp"
#include "analyser/base/file_input.hpp"
#include "analyser/base/sentence_text.hpp"
#include "analyser/library/sentence_analyser.hpp"
#include "analyser/output/json_writer.hpp"
#include "analyser/suite/file_replacement.hpp"
#include "analyser/suite/profile_reader.hpp"
#include "analyser/suite/profile_writer.hpp"
#include "analyser/suite/suite_compare.hpp"
#include "analyser/suite/suite_coverage.hpp"
#include "analyser/suite/suite_progress.hpp"
#include "analyser/suite/suite_reader.hpp"
#include "analyser/suite/suite_summary.hpp"

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
bool reads_standard_input(const suite_options& options) {
  for (const std::string& name : options.summary_files) {
    if (name == "-") return true;
  }
  return options.suite_file_name == "-";
}

// The items of the profile that the compare file names. Its faulty lines
// are reported and counted in `problems`.
std::vector<item_result> load_old_profile(const suite_options& options,
                                          const suite_streams& streams, long& problems) {
  std::vector<item_result> items;
  const std::string& name = options.compare_file_name;
  if (name.empty()) return items;
  if (name == "-" && reads_standard_input(options)) {
    fatal_error("-compare - and the suite or profiles cannot all read standard input");
  }
  unique_file owner;
  std::FILE* file = open_named(name, streams.console, "r", owner);
  if (file == nullptr) fail_with_name("Profile not found", name);
  profile_reader reader(streams.out, [&](const item_result& item) { items.push_back(item); });
  reader.read(file, name);
  reader.finish();
  problems += reader.problems();
  return items;
}

// Where the records of a profile go, one at a time, without line ends.
using record_sink = std::function<void(const std::string&)>;

// Everything one run of a suite (or the summary of profiles) carries from
// item to item.
struct suite_run {
  suite_run(const suite_options& o, const suite_streams& s, suite_progress p)
      : options(o), streams(s), progress(p) {}

  const suite_options& options;
  const suite_streams& streams;
  record_sink profile;  // empty without a profile
  suite_progress progress;
  suite_summary summary;
  std::vector<item_result> items;  // kept for a comparison
  long problems = 0;               // faulty lines of profiles read
  // The rules and lexicon entries the items could use; none for profiles
  // that do not record them.
  std::optional<coverage_universe> universe;

  void write_record(const std::string& record) const {
    if (profile) profile(record);
  }

  // Reports, counts and keeps one item.
  void take(item_result&& item) {
    if (item.verdict != item_verdict::pass || options.verbose) {
      progress.clear();
      write_item_line(streams.out, item, options.utf8);
      std::fflush(streams.out);
    }
    add_item(summary, item);
    progress.item_done(summary.failed + summary.malformed);
    if (!options.compare_file_name.empty()) items.push_back(std::move(item));
  }

  int status() const { return problems > 0 ? kStatusFailures : summary_status(summary); }

  // What the items left untested, the summary and, against the old
  // profile's items, the comparison.
  void report(const std::vector<item_result>& before) const {
    if (universe) {
      print_untested(streams.out, *universe, summary.coverage, options.verbose, options.utf8);
      const coverage_figures figures = figures_of(*universe, summary.coverage);
      print_summary(streams.out, summary, &figures);
    } else {
      print_summary(streams.out, summary);
    }
    if (!options.compare_file_name.empty()) {
      print_comparison(streams.out, std::string(shown_suite_name(options.compare_file_name)),
                       compare_items(before, items), options.utf8);
    }
    std::fflush(streams.out);
  }
};

// One run's analysis of its items' sentences: the analyser and its nodes,
// what each analysis is asked for, and what its record holds.
class item_analyser {
 public:
  item_analyser(const loaded_grammar& grammar, const suite_options& options, std::FILE* out)
      : grammar_(grammar),
        analyser_(grammar),
        log_{out, false, options.utf8},
        letters_(letter_case_of(grammar.utf8)) {
    request_.start_category = options.start_category;
    // Nothing looks at the nodes after the first analysis unless the record
    // lists them or every analysis.
    request_.stop_at_first_analysis = !options.nodes && !options.all_analyses;
    request_.count_analyses = true;
    request_.node_limit = options.node_limit;
    if (options.time_limit.count() > 0) run_end_ = steady::now() + options.time_limit;
    record_ = {options.nodes,    options.all_analyses, options.analysis_limit,
               options.why,      &grammar.grammar,     &grammar.lexicon};
  }

  // Analyses the item of `line` (numbered `number` in the suite); its
  // profile record goes to `record`.
  item_result run(const suite_line& line, const std::string& suite, long number,
                  std::string& record) {
    item_result item;
    item.suite = suite;
    item.line = number;
    item.text = line.text;
    item.expected = line.expected;
    if (line.kind == suite_line_kind::malformed) {
      item.verdict = item_verdict::malformed;
      item.problem = line.problem;
      return item;
    }
    const sentence_analysis analysis = analyse(line.text);
    item.found = found_of(analysis);
    item.found.coverage = coverage_of(analysis, grammar_.grammar);
    item.verdict = judge(item.expected, item.found);
    record = json_record(analysis, record_);
    return item;
  }

 private:
  // Analyses `text` as a plain run analyses an input line that holds it:
  // made into a sentence at its first delimiter, numbered, timed.
  sentence_analysis analyse(const std::string& text) {
    if (run_end_) {
      // At least a microsecond, so that an item past the end times out.
      request_.time_limit = std::max(std::chrono::microseconds(1),
                                     std::chrono::duration_cast<std::chrono::microseconds>(
                                         *run_end_ - steady::now()));
    }
    sentence_.assign(text.begin(), text.end());
    sentence_.resize(text.size() + 2);
    make_sentence(sentence_.data(), static_cast<int>(text.size()), grammar_.sentence_end_chars,
                  letters_);
    sentence_analysis analysis = analyser_.analyse(sentence_.data(), nodes_, request_, log_);
    analysis.number = ++sentences_;
    analysis.as_read = text;
    return analysis;
  }

  const loaded_grammar& grammar_;
  sentence_analyser analyser_;
  node_list nodes_;
  analysis_request request_;
  record_settings record_;
  log_output log_;
  letter_case letters_;
  using steady = std::chrono::steady_clock;
  std::optional<steady::time_point> run_end_;
  std::vector<unsigned char> sentence_;
  int sentences_ = 0;
};

std::vector<profile_file> loaded_files(const loaded_grammar& grammar,
                                       const suite_options& options) {
  const std::pair<const char*, const std::string*> files[] = {
      {"configuration", &options.configuration_file_name},
      {"messages", &grammar.message_file_name},
      {"rules", &grammar.grammar.file_name},
      {"lexicon", &grammar.lexicon_file_name},
      {"endings", &grammar.endings_file_name},
  };
  if (!options.files.empty()) return options.files;
  std::vector<profile_file> result;
  for (const auto& [role, name] : files) result.push_back({role, *name, file_checksum(*name)});
  return result;
}

profile_header header_of(const loaded_grammar& grammar, const suite_options& options) {
  return {kProgram,
          utc_date_now(),
          options.configuration_file_name,
          options.start_category,
          grammar.utf8,
          options.suite_file_name,
          loaded_files(grammar, options),
          universe_of(grammar)};
}

// Runs every line of the suite `file` through `run`, the profile's records
// around them; returns the suite's lines.
void run_lines(suite_run& run, const loaded_grammar& grammar, std::FILE* file) {
  const suite_options& options = run.options;
  const profile_header header = header_of(grammar, options);
  run.universe = header.coverage;
  run.write_record(header_record(header));
  item_analyser analyser(grammar, options, run.streams.out);
  suite_reader reader(file, options.utf8, grammar.sentence_end_chars);
  suite_line line;
  long number = 0;
  std::string record;
  while (reader.next(line, number)) {
    record.clear();
    item_result item = analyser.run(line, options.suite_file_name, number, record);
    run.write_record(item_record(item, record));
    run.take(std::move(item));
  }
  if (reader.failed()) fail_with_name("Test suite cannot be read", options.suite_file_name);
  run.progress.finish();
  run.write_record(end_record(reader.lines_read(), run.summary.items + run.summary.malformed));
}

// Opens the profile that the options name ("-": the results stream), which
// must not be the suite itself; null without one. A file is written anew
// beside the old one, which it replaces only when the run is complete.
std::FILE* open_profile(const suite_options& options, const suite_streams& streams,
                        std::FILE* suite, std::optional<file_replacement>& file) {
  const std::string& name = options.profile_file_name;
  if (name.empty()) return nullptr;
  if (name == "-") return streams.results;
  if (same_file(suite, name)) fail_with_name("Profile would overwrite the suite", name);
  std::FILE* profile = file.emplace(name).open();
  if (profile == nullptr) fail_with_name("Profile cannot be written", name);
  return profile;
}

// Ends the profile; false when it could not be written whole.
bool close_profile(std::FILE* profile, std::optional<file_replacement>& file) {
  if (file) return file->commit();
  return profile == nullptr || (std::fflush(profile) == 0 && !std::ferror(profile));
}

bool progress_shown(std::FILE* errors) {
  const int descriptor = fileno(errors);
  return descriptor >= 0 && isatty(descriptor);
}

int run_suite_file(const loaded_grammar& grammar, const suite_options& options,
                   const suite_streams& streams) {
  const std::string& name = options.suite_file_name;
  unique_file suite_owner;
  std::FILE* suite = open_named(name, streams.console, "r", suite_owner);
  if (suite == nullptr) fail_with_name("Test suite not found", name);
  long problems = 0;
  const std::vector<item_result> before = load_old_profile(options, streams, problems);
  const bool shown = progress_shown(streams.errors);
  const long total = shown ? count_suite_items(suite) : -1;
  suite_run run(options, streams, suite_progress(streams.errors, shown, total));
  run.problems = problems;
  std::optional<file_replacement> profile_file;
  std::FILE* profile = open_profile(options, streams, suite, profile_file);
  if (profile != nullptr) {
    run.profile = [profile](const std::string& record) {
      std::fwrite(record.data(), 1, record.size(), profile);
      std::fputc('\n', profile);
    };
  }
  run_lines(run, grammar, suite);
  run.report(before);
  if (!close_profile(profile, profile_file)) {
    fail_with_name("Profile cannot be written", options.profile_file_name);
  }
  return run.status();
}

// Reads the profiles the options name, each reported item through `run`.
void read_profiles(suite_run& run) {
  const std::vector<std::string>& names = run.options.summary_files;
  std::vector<unique_file> owners(names.size());
  std::vector<std::FILE*> files;
  for (std::size_t i = 0; i < names.size(); ++i) {
    files.push_back(open_named(names[i], run.streams.console, "r", owners[i]));
    if (files.back() == nullptr) fail_with_name("Profile not found", names[i]);
  }
  profile_reader reader(run.streams.out,
                        [&](const item_result& item) { run.take(item_result(item)); });
  for (std::size_t i = 0; i < names.size(); ++i) reader.read(files[i], names[i]);
  reader.finish();
  run.problems += reader.problems();
  if (reader.mixed_files()) {
    std::fputs("note: the profiles were made with different files (their checksums differ)\n",
               run.streams.out);
  }
  if (reader.coverage() != nullptr) run.universe = *reader.coverage();
  if (reader.coverage_left_out()) {
    std::fputs("note: no coverage of rules and lexicon entries: not every part records it, or "
               "their rules or lexicons differ\n",
               run.streams.out);
  }
}

int summarise(const suite_options& options, const suite_streams& streams) {
  long problems = 0;
  const std::vector<item_result> before = load_old_profile(options, streams, problems);
  suite_run run(options, streams, suite_progress(streams.errors, false, -1));
  run.problems = problems;
  read_profiles(run);
  run.report(before);
  return run.status();
}

// A report written to memory, freed with it.
class memory_output {
 public:
  memory_output() : file_(open_memstream(&text_, &size_)) {
    if (file_ == nullptr) throw std::bad_alloc();
  }
  ~memory_output() {
    if (file_ != nullptr) std::fclose(file_);
    std::free(text_);
  }
  memory_output(const memory_output&) = delete;
  memory_output& operator=(const memory_output&) = delete;

  std::FILE* file() const { return file_; }
  // Ends the writing; the text written.
  std::string text() {
    std::fclose(file_);
    file_ = nullptr;
    return std::string(text_, size_);
  }

 private:
  char* text_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

suite_text_run run_text(const loaded_grammar& grammar, std::string_view text,
                        const suite_options& given) {
  suite_options options = given;
  if (options.suite_file_name.empty()) options.suite_file_name.push_back('-');
  options.compare_file_name.clear();
  std::string suite(text);
  const unique_file input(fmemopen(suite.data(), suite.size(), "r"));
  if (input == nullptr) throw std::bad_alloc();
  memory_output out;
  suite_text_run result;
  const suite_streams streams{out.file(), nullptr, nullptr, nullptr};
  suite_run run(options, streams, suite_progress(nullptr, false, -1));
  run.profile = [&](const std::string& record) { result.profile.push_back(record); };
  run_lines(run, grammar, input.get());
  run.report({});
  result.report = out.text();
  result.status = run.status();
  return result;
}
}  // namespace

int run_suite(const loaded_grammar& grammar, const suite_options& options,
              const suite_streams& streams) {
  return needing_memory("run_test_suite: malloc Fehler",
                        [&] { return run_suite_file(grammar, options, streams); });
}

int summarise_profiles(const suite_options& options, const suite_streams& streams) {
  return needing_memory("run_summary: malloc Fehler", [&] { return summarise(options, streams); });
}

suite_text_run run_suite_text(const loaded_grammar& grammar, std::string_view text,
                              const suite_options& options) {
  return needing_memory("run_test_suite: malloc Fehler",
                        [&] { return run_text(grammar, text, options); });
}
