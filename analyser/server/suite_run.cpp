#include "analyser/server/suite_run.hpp"

#include <stdio.h>

#include <functional>
#include <vector>

#include "analyser/base/file_input.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/suite/profile_reader.hpp"
#include "analyser/suite/profile_writer.hpp"
#include "analyser/suite/suite_compare.hpp"
#include "analyser/suite/suite_reader.hpp"
#include "analyser/suite/suite_summary.hpp"
#include "analyser/library/library_data.hpp"
#include "analyser/output/json_text.hpp"
#include "analyser/server/deadline.hpp"

namespace {
constexpr const char* kProgram = "Mirask 09-2002";

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

std::string convention_of(const std::string& utf8) {
  std::string text;
  utf8_fault fault;
  from_utf8(utf8, text, fault);
  return text;
}

// What the analysis found, as found_of takes it from an analysis.
item_found found_of(const mirask::result& r) {
  item_found found;
  found.outcome = std::string(mirask::outcome_name(r.outcome()));
  if (r.outcome() == mirask::outcome::unknown_word ||
      r.outcome() == mirask::outcome::no_number_reading) {
    found.unknown_word = convention_of(r.unknown_word());
  }
  if (const std::optional<mirask::analysis_count> count = r.count()) {
    if (count->unbounded || !count_of_text(count->digits, found.count)) found.count.unbounded = true;
  }
  if (const std::string brackets = r.brackets(false); !brackets.empty()) {
    found.analysis = convention_of(brackets);
  }
  found.nodes = r.node_count();
  found.time_us = r.time_us();
  return found;
}

profile_header header_of(const mirask::grammar& g, const std::string& suite) {
  profile_header header{kProgram, utc_date_now(), "", g.start_category(), g.utf8(), suite, {}, {}};
  for (const mirask::file_info& f : g.files()) {
    if (f.role == "configuration") header.configuration = f.name;
    header.files.push_back({f.role, f.name, f.checksum});
  }
  return header;
}

// One run: the items in order, their records and the summary.
struct suite_run {
  std::vector<item_result> items;
  std::vector<std::string> records;
  suite_summary summary;
  long lines = 0;
};

suite_run run_items(mirask::analyser& analyser, const suite_request& request) {
  std::string text = request.suite;
  unique_file stream = reading(text);
  suite_reader reader(stream.get(), true,
                      mirask::detail::data_of(analyser.grammar()).loaded.sentence_end_chars);
  const deadline until(request.time_limit);
  mirask::parse_options options;
  options.node_limit = request.node_limit;
  suite_run run;
  suite_line line;
  long number = 0;
  while (reader.next(line, number)) {
    item_result item;
    item.suite = request.name;
    item.line = number;
    item.text = line.text;
    item.expected = line.expected;
    if (line.kind == suite_line_kind::malformed) {
      item.verdict = item_verdict::malformed;
      item.problem = line.problem;
      run.records.push_back(item_record(item, ""));
    } else {
      ++options.number;
      options.timeout = until.left();
      const mirask::result r = analyser.parse_bytes(line.text, options);
      item.found = found_of(r);
      item.verdict = judge(item.expected, item.found);
      run.records.push_back(item_record(item, r.json()));
    }
    add_item(run.summary, item);
    run.items.push_back(std::move(item));
  }
  run.lines = reader.lines_read();
  return run;
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
  const suite_run run = run_items(analyser, request);
  std::string out = "{";
  append_key(out, "header");
  out += header_record(header_of(analyser.grammar(), request.name));
  append_list(out, "records", run.records);
  append_key(out, "end");
  out += end_record(run.lines, run.summary.items + run.summary.malformed);
  append_key(out, "summary");
  out += summary_object(run.summary);
  std::vector<compared_item> compared;
  std::string compare_problems;
  std::vector<item_result> before;
  if (request.compare) {
    before = earlier_items(*request.compare, compare_problems);
    compared = compare_items(before, run.items);
    append_key(out, "changes");
    out += changes_list(compared);
    append_key(out, "compare_problems");
    append_json_utf8(out, compare_problems);
  }
  const std::string report = captured([&](std::FILE* stream) {
    for (const item_result& item : run.items) {
      if (item.verdict != item_verdict::pass) write_item_line(stream, item, true);
    }
    print_summary(stream, run.summary);
    if (request.compare) print_comparison(stream, "the earlier run", compared, true);
  });
  append_key(out, "report");
  append_json_utf8(out, report);
  return out + "}";
}
