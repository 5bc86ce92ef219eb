#include "analyser/suite/profile_writer.hpp"

#include <ctime>

#include "analyser/base/file_input.hpp"
#include "analyser/output/json_text.hpp"

namespace {

void append_optional_string(std::string& out, const std::optional<std::string>& text) {
  if (text) {
    append_json_string(out, *text);
  } else {
    out += "null";
  }
}

void append_files(std::string& out, const std::vector<profile_file>& files) {
  append_key(out, "files");
  out += '[';
  for (const profile_file& f : files) {
    if (out.back() != '[') out += ',';
    out += '{';
    append_key(out, "role");
    append_json_latin1(out, f.role);
    append_key(out, "name");
    append_json_latin1(out, f.name);
    append_key(out, "checksum");
    if (f.checksum.empty()) {
      out += "null";
    } else {
      append_json_latin1(out, f.checksum);
    }
    out += '}';
  }
  out += ']';
}

template <typename Numbers>
void append_numbers(std::string& out, const char* key, const Numbers& numbers) {
  append_key(out, key);
  out += '[';
  for (const auto n : numbers) {
    if (out.back() != '[') out += ',';
    out += std::to_string(n);
  }
  out += ']';
}

void append_rules(std::string& out, const std::vector<coverage_rule>& rules) {
  append_key(out, "rules");
  out += '[';
  for (const coverage_rule& r : rules) {
    if (out.back() != '[') out += ',';
    out += "{\"number\":" + std::to_string(r.number) + ",\"line\":" + std::to_string(r.line);
    append_key(out, "label");
    append_json_string(out, r.label);
    append_key(out, "parts");
    append_json_string(out, r.parts);
    out += '}';
  }
  out += ']';
}

void append_entries(std::string& out, const std::vector<coverage_entry>& entries) {
  append_key(out, "entries");
  out += '[';
  for (const coverage_entry& e : entries) {
    if (out.back() != '[') out += ',';
    out += "{\"line\":" + std::to_string(e.line);
    append_key(out, "word");
    append_json_string(out, e.word);
    append_key(out, "category");
    append_json_string(out, e.category);
    out += '}';
  }
  out += ']';
}

void append_coverage(std::string& out, const coverage_universe& universe) {
  append_key(out, "coverage");
  out += '{';
  append_key(out, "rules_file");
  append_json_latin1(out, universe.rules_file);
  append_rules(out, universe.rules);
  append_key(out, "lexicon_file");
  append_json_latin1(out, universe.lexicon_file);
  append_entries(out, universe.entries);
  out += '}';
}

void append_item_fields(std::string& out, const item_result& item) {
  append_key(out, "item");
  out += '{';
  append_key(out, "line");
  out += std::to_string(item.line);
  if (item.verdict != item_verdict::malformed) {
    append_key(out, "text");
    append_json_string(out, item.text);
    append_key(out, "grammatical");
    out += item.expected.grammatical ? "true" : "false";
    append_key(out, "expected_count");
    out += item.expected.count ? std::to_string(*item.expected.count) : "null";
    append_key(out, "expected_analysis");
    append_optional_string(out, item.expected.analysis);
  }
  out += '}';
}

void append_found(std::string& out, const item_found& found) {
  append_key(out, "found");
  out += '{';
  append_key(out, "outcome");
  append_json_string(out, found.outcome);
  if (!found.unknown_word.empty()) {
    append_key(out, "unknown_word");
    append_json_string(out, found.unknown_word);
  }
  append_key(out, "count");
  append_json_count(out, found.count);
  append_key(out, "analysis");
  append_optional_string(out, found.analysis);
  append_key(out, "nodes");
  out += std::to_string(found.nodes);
  append_key(out, "time_us");
  out += std::to_string(found.time_us);
  if (found.coverage) {
    append_numbers(out, "rules", found.coverage->rules);
    append_numbers(out, "entries", found.coverage->entries);
  }
  out += '}';
}
}  // namespace

std::string utc_date_now() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  char text[32] = "1970-01-01T00:00:00Z";
  if (gmtime_r(&now, &parts) != nullptr) {
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  }
  return text;
}

std::string header_record(const profile_header& header) {
  std::string out = "{";
  append_key(out, "profile");
  out += std::to_string(kProfileVersion);
  const std::pair<const char*, const std::string*> names[] = {
      {"program", &header.program},
      {"date", &header.date},
      {"configuration", &header.configuration},
  };
  for (const auto& [key, name] : names) {
    append_key(out, key);
    append_json_latin1(out, *name);
  }
  append_key(out, "start_category");
  append_json_string(out, header.start_category);
  append_key(out, "utf8");
  out += header.utf8 ? "true" : "false";
  append_key(out, "suite");
  append_json_latin1(out, header.suite);
  append_files(out, header.files);
  if (header.coverage) append_coverage(out, *header.coverage);
  out += '}';
  return out;
}

std::string item_record(const item_result& item, std::string_view record) {
  std::string out = "{";
  append_item_fields(out, item);
  append_key(out, "verdict");
  append_json_string(out, verdict_name(item.verdict));
  if (item.verdict == item_verdict::malformed) {
    append_key(out, "problem");
    append_json_string(out, item.problem);
  } else {
    append_found(out, item.found);
    append_key(out, "record");
    out += record;
  }
  out += '}';
  return out;
}

std::string end_record(long lines, long items) {
  return "{\"end\":{\"lines\":" + std::to_string(lines) + ",\"items\":" + std::to_string(items) +
         "}}";
}
