#include "analyser/server/suite_run.hpp"

#include <stdio.h>

#include <functional>
#include <vector>

#include "analyser/base/file_input.hpp"
#include "analyser/suite/profile_reader.hpp"
#include "analyser/suite/profile_writer.hpp"
#include "analyser/suite/suite_compare.hpp"
#include "analyser/suite/suite_summary.hpp"
#include "analyser/suite/test_suite.hpp"
#include "analyser/library/library_data.hpp"
#include "analyser/output/json_text.hpp"

namespace {
// What `write` writes to a stream, as a text.
std::string captured(const std::function<void(std::FILE*)>& write) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&buffer, &size);
  if (stream == nullptr) throw std::bad_alloc();
  write(stream);
  std::fclose(stream);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

// A stream over `text` (which must outlive it); empty texts have one too.
unique_file reading(std::string& text) {
  static char nothing[1];
  unique_file stream(text.empty() ? fmemopen(nothing, 0, "r")
                                  : fmemopen(text.data(), text.size(), "r"));
  if (stream == nullptr) throw std::bad_alloc();
  return stream;
}

// The suite's own run, as -test -utf8 -profile runs it: its report and its
// profile's records, header first and end last.
suite_text_run run_suite(const mirask::grammar& g, const suite_request& request) {
  suite_options options;
  options.suite_file_name = request.name;
  options.utf8 = true;
  options.start_category = g.start_category();
  if (request.node_limit > 0) options.node_limit = request.node_limit;
  options.time_limit = request.time_limit;
  for (const mirask::file_info& f : g.files()) {
    if (f.role == "configuration") options.configuration_file_name = f.name;
    options.files.push_back({f.role, f.name, f.checksum});
  }
  return run_suite_text(mirask::detail::data_of(g).loaded, request.suite, options);
}

std::string summary_object(const suite_summary& s) {
  const std::pair<const char*, long> numbers[] = {
      {"items", s.items},         {"malformed", s.malformed},   {"passed", s.passed},
      {"failed", s.failed},       {"grammatical", s.grammatical}, {"analysed", s.analysed},
      {"ungrammatical", s.ungrammatical}, {"rejected", s.rejected}, {"given", s.given},
      {"given_met", s.given_met}, {"nodes_largest", s.nodes_largest},
      {"time_largest_us", s.time_largest_us},
  };
  std::string out = "{";
  for (const auto& [key, value] : numbers) {
    append_key(out, key);
    out += std::to_string(value);
  }
  append_key(out, "nodes_total");
  out += std::to_string(s.nodes_total);
  append_key(out, "time_total_us");
  out += std::to_string(s.time_total_us);
  return out + "}";
}

// The earlier run's items, read as -compare reads a profile; what is wrong
// with its lines goes to `problems`.
std::vector<item_result> earlier_items(std::string profile, std::string& problems) {
  std::vector<item_result> items;
  unique_file stream = reading(profile);
  problems = captured([&](std::FILE* messages) {
    profile_reader reader(messages, [&](const item_result& item) { items.push_back(item); });
    reader.read(stream.get(), "compare");
    reader.finish();
  });
  return items;
}

// The items of a run's profile records.
std::vector<item_result> items_of(const std::vector<std::string>& records) {
  std::string profile;
  for (const std::string& record : records) profile += record + "\n";
  std::string problems;
  return earlier_items(std::move(profile), problems);
}

std::string changes_list(const std::vector<compared_item>& compared) {
  std::string out = "[";
  for (const compared_item& c : compared) {
    if (c.change == item_change::unchanged) continue;
    const item_result& shown = c.now != nullptr ? *c.now : *c.before;
    if (out.size() > 1) out += ',';
    out += '{';
    append_key(out, "change");
    append_json_string(out, change_name(c.change));
    append_key(out, "line");
    out += std::to_string(shown.line);
    append_key(out, "text");
    append_json_string(out, shown.text);
    for (const auto& [key, side] : {std::pair{"before", c.before}, std::pair{"now", c.now}}) {
      append_key(out, key);
      out += side != nullptr ? "\"" + std::string(verdict_name(side->verdict)) + "\"" : "null";
    }
    out += '}';
  }
  return out + "]";
}

void append_list(std::string& out, const char* key, const std::vector<std::string>& records) {
  append_key(out, key);
  out += '[';
  for (std::size_t i = 0; i < records.size(); ++i) out += (i > 0 ? "," : "") + records[i];
  out += ']';
}
}  // namespace

std::string suite_answer(mirask::analyser& analyser, const suite_request& request) {
  const suite_text_run run = run_suite(analyser.grammar(), request);
  const std::vector<item_result> items = items_of(run.profile);
  suite_summary summary;
  for (const item_result& item : items) add_item(summary, item);
  std::string out = "{";
  append_key(out, "header");
  out += run.profile.front();
  append_list(out, "records", {run.profile.begin() + 1, run.profile.end() - 1});
  append_key(out, "end");
  out += run.profile.back();
  append_key(out, "summary");
  out += summary_object(summary);
  std::string report = run.report;
  if (request.compare) {
    std::string compare_problems;
    const std::vector<item_result> before = earlier_items(*request.compare, compare_problems);
    const std::vector<compared_item> compared = compare_items(before, items);
    append_key(out, "changes");
    out += changes_list(compared);
    append_key(out, "compare_problems");
    append_json_utf8(out, compare_problems);
    report += captured([&](std::FILE* stream) {
      print_comparison(stream, "the earlier run", compared, true);
    });
  }
  append_key(out, "report");
  append_json_utf8(out, report);
  return out + "}";
}
