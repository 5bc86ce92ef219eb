#include "analyser/suite/test_suite.hpp"

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <chrono>
#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "analyser/base/checksum.hpp"
#include "analyser/base/fatal_error.hpp"
#include "analyser/base/file_input.hpp"
#include "analyser/base/memory_output.hpp"
#include "analyser/base/ordered_pipeline.hpp"
#include "analyser/output/json_writer.hpp"
#include "analyser/suite/file_replacement.hpp"
#include "analyser/suite/item_analyser.hpp"
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
  bool writes_records() const { return static_cast<bool>(profile); }
  void write_item_record(const item_result& item, std::string_view record) const {
    if (profile) profile(item_record(item, record));
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

// Reads the next item of the suite into `job`, numbering its sentence
// behind those read before; false at the end of the suite.
bool next_job(suite_reader& reader, suite_job& job, int& sentences) {
  if (!reader.next(job.line, job.number)) return false;
  job.sentence = job.line.kind == suite_line_kind::malformed ? 0 : ++sentences;
  return true;
}

// What an item gives: its result, its record, and what the analyser wrote
// while it was analysed.
struct item_output {
  item_result item;
  std::string record;
  std::string told;
};

// Items handed to a thread at once, so that handing them on costs little
// beside their analysis, and what they give: a fatal end (null: none)
// stops the block at its item.
using item_block = std::vector<suite_job>;
constexpr std::size_t kItemsPerBlock = 128;
struct block_output {
  std::vector<item_output> items;
  std::exception_ptr failure;
};

// One thread's analyser of items, writing its messages into memory.
struct item_worker {
  item_worker(const loaded_grammar& grammar, const suite_options& options, bool with_records)
      : analyser(grammar, options, told.file(), with_records) {}
  memory_output told;
  item_analyser analyser;
};

block_output analyse_block(item_worker& worker, const item_block& block,
                           const std::string& suite) {
  block_output output;
  for (const suite_job& job : block) {
    item_output& item = output.items.emplace_back();
    try {
      item.item = worker.analyser.run(job, suite, item.record);
    } catch (...) {
      output.failure = std::current_exception();
    }
    item.told = worker.told.take();
    if (output.failure) break;
  }
  return output;
}

// The items of `reader` on options.threads threads, each with an analyser
// of its own; their results are taken in the suite's order.
void run_items_on_threads(suite_run& run, const loaded_grammar& grammar, suite_reader& reader) {
  const suite_options& options = run.options;
  std::vector<std::unique_ptr<item_worker>> workers;
  for (int k = 0; k < options.threads; ++k) {
    workers.push_back(std::make_unique<item_worker>(grammar, options, run.writes_records()));
  }
  const auto work = [&](std::size_t worker, item_block& block) {
    return analyse_block(*workers[worker], block, options.suite_file_name);
  };
  const auto take = [&](block_output& output) {
    for (std::size_t k = 0; k < output.items.size(); ++k) {
      item_output& item = output.items[k];
      std::fwrite(item.told.data(), 1, item.told.size(), run.streams.out);
      if (output.failure && k + 1 == output.items.size()) std::rethrow_exception(output.failure);
      run.write_item_record(item.item, item.record);
      run.take(std::move(item.item));
    }
  };
  const auto threads = static_cast<std::size_t>(options.threads);
  ordered_pipeline<item_block, block_output> pipeline(threads, kJobsPerWorker * threads, work,
                                                      take);
  item_block block;
  suite_job job;
  int sentences = 0;
  while (next_job(reader, job, sentences)) {
    block.push_back(std::move(job));
    if (block.size() == kItemsPerBlock) pipeline.push(std::exchange(block, {}));
  }
  if (!block.empty()) pipeline.push(std::move(block));
  pipeline.finish();
}

// The items of `reader` one after the other.
void run_items(suite_run& run, const loaded_grammar& grammar, suite_reader& reader) {
  const suite_options& options = run.options;
  item_analyser analyser(grammar, options, run.streams.out, run.writes_records());
  suite_job job;
  int sentences = 0;
  std::string record;
  while (next_job(reader, job, sentences)) {
    record.clear();
    item_result item = analyser.run(job, options.suite_file_name, record);
    run.write_item_record(item, record);
    run.take(std::move(item));
  }
}

// Runs every line of the suite `file` through `run`, the profile's records
// around them; returns the suite's lines.
void run_lines(suite_run& run, const loaded_grammar& grammar, std::FILE* file) {
  const suite_options& options = run.options;
  const profile_header header = header_of(grammar, options);
  run.universe = header.coverage;
  run.write_record(header_record(header));
  suite_reader reader(file, options.utf8, grammar.sentence_end_chars);
  if (options.threads > 1) {
    run_items_on_threads(run, grammar, reader);
  } else {
    run_items(run, grammar, reader);
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
