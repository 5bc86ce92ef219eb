#include "analyser/suite/profile_reader.hpp"

#include <algorithm>
#include <climits>
#include <future>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "analyser/base/file_input.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/suite/json_reader.hpp"

namespace {
constexpr std::uint64_t kLongLimit = LONG_MAX;
constexpr std::uint64_t kIntLimit = INT_MAX;
// Lines read and parsed at a time.
constexpr std::size_t kBatchLines = 1024;
// A batch of fewer bytes is parsed on the reading thread: starting threads
// would cost more than its parsing.
constexpr std::size_t kSharedBatchBytes = 64 * 1024;

// The members of one object of a record, checked as they are taken. The
// first problem is kept; after it every value is empty.
class record_fields {
 public:
  record_fields(const json_value* object, std::string path, std::string& problem)
      : object_(object), path_(std::move(path)), problem_(problem) {
    if (problem_.empty() && (object_ == nullptr || object_->kind != json_kind::object)) {
      problem_ = "\"" + path_ + "\" is not an object";
    }
  }

  // A text of the analyser's convention (written as UTF-8).
  std::string text(const char* key) {
    const json_value* v = value(key, json_kind::string, "a text");
    return v != nullptr ? converted(key, v->text) : "";
  }
  std::optional<std::string> optional_text(const char* key) {
    if (is_null(key)) return std::nullopt;
    return text(key);
  }
  // A file name or another text kept as it stands.
  std::string name(const char* key) {
    const json_value* v = value(key, json_kind::string, "a text");
    return v != nullptr ? v->text : "";
  }
  std::uint64_t whole(const char* key, std::uint64_t limit) {
    const json_value* v = value(key, json_kind::number, "a whole number");
    std::uint64_t number = 0;
    if (v != nullptr && !whole_number(*v, limit, number)) reject(key, "a whole number");
    return number;
  }
  std::optional<std::uint64_t> optional_whole(const char* key, std::uint64_t limit) {
    if (is_null(key)) return std::nullopt;
    return whole(key, limit);
  }
  // A count of analyses: a whole number, a text of digits, or "unbounded".
  analysis_count count(const char* key) {
    analysis_count result;
    if (!ok()) return result;
    const json_value* v = object_->member(key);
    const bool readable =
        v != nullptr && (v->kind == json_kind::number || v->kind == json_kind::string);
    if (!readable || !count_of_text(v->text, result)) reject(key, "a count of analyses");
    return result;
  }
  // The elements of a list.
  const std::vector<json_value>* list(const char* key) {
    const json_value* v = value(key, json_kind::array, "a list");
    return v != nullptr ? &v->items : nullptr;
  }
  bool boolean(const char* key) {
    const json_value* v = value(key, json_kind::boolean, "true or false");
    return v != nullptr && v->boolean;
  }
  // Reports `key` as not being `what`, unless a problem came first.
  void reject(const char* key, const char* what) {
    if (ok()) problem_ = "field \"" + path(key) + "\" is not " + what;
  }
  bool has(const char* key) const { return ok() && object_->member(key) != nullptr; }
  const json_value* member(const char* key) const { return ok() ? object_->member(key) : nullptr; }
  std::string path(const char* key) const { return path_ + "." + key; }
  bool ok() const { return problem_.empty(); }

 private:
  bool is_null(const char* key) const {
    if (!ok()) return true;
    const json_value* v = object_->member(key);
    return v == nullptr || v->kind == json_kind::null;
  }
  const json_value* value(const char* key, json_kind kind, const char* what) {
    if (!ok()) return nullptr;
    const json_value* v = object_->member(key);
    if (v == nullptr) {
      problem_ = "field \"" + path(key) + "\" missing";
      return nullptr;
    }
    if (v->kind != kind) return reject(key, what), nullptr;
    return v;
  }
  std::string converted(const char* key, const std::string& text) {
    std::string result;
    utf8_fault ignored;
    if (from_utf8(text, result, ignored)) return result;
    problem_ = "field \"" + path(key) + "\" holds a character the analyser's letters cannot hold";
    return "";
  }

  const json_value* object_;
  std::string path_;
  std::string& problem_;
};

void take_expectation(record_fields& item, item_result& result) {
  result.text = item.text("text");
  result.expected.grammatical = item.boolean("grammatical");
  result.expected.count = item.optional_whole("expected_count", UINT64_MAX);
  result.expected.analysis = item.optional_text("expected_analysis");
}

// A list of whole numbers from 0 to `limit`.
template <typename Number>
std::vector<Number> numbers_of(record_fields& fields, const char* key, std::uint64_t limit) {
  std::vector<Number> numbers;
  const std::vector<json_value>* items = fields.list(key);
  if (items == nullptr) return numbers;
  for (const json_value& v : *items) {
    std::uint64_t n = 0;
    if (!whole_number(v, limit, n)) {
      fields.reject(key, "a list of whole numbers");
      return {};
    }
    numbers.push_back(static_cast<Number>(n));
  }
  return numbers;
}

// The rules and entries an item used, when its record has them.
std::optional<item_coverage> item_coverage_of(record_fields& found) {
  if (!found.has("rules") && !found.has("entries")) return std::nullopt;
  item_coverage coverage{numbers_of<int>(found, "rules", kIntLimit),
                         numbers_of<long>(found, "entries", kLongLimit)};
  if (!found.ok()) return std::nullopt;
  return coverage;
}

void take_found(record_fields& found, item_found& result) {
  result.outcome = found.text("outcome");
  if (found.ok() && !is_outcome_name(result.outcome)) found.reject("outcome", "an outcome");
  if (found.has("unknown_word")) result.unknown_word = found.text("unknown_word");
  result.count = found.count("count");
  result.analysis = found.optional_text("analysis");
  result.nodes = static_cast<long>(found.whole("nodes", kLongLimit));
  result.time_us = static_cast<long>(found.whole("time_us", kLongLimit));
  result.coverage = item_coverage_of(found);
}

void take_rules(record_fields& coverage, std::string& problem, coverage_universe& universe) {
  const std::vector<json_value>* rules = coverage.list("rules");
  if (rules == nullptr) return;
  for (const json_value& r : *rules) {
    record_fields rule(&r, coverage.path("rules"), problem);
    universe.rules.push_back({static_cast<int>(rule.whole("number", kIntLimit)),
                              static_cast<long>(rule.whole("line", kLongLimit)),
                              rule.text("label"), rule.text("parts")});
  }
}

void take_entries(record_fields& coverage, std::string& problem, coverage_universe& universe) {
  const std::vector<json_value>* entries = coverage.list("entries");
  if (entries == nullptr) return;
  for (const json_value& e : *entries) {
    record_fields entry(&e, coverage.path("entries"), problem);
    universe.entries.push_back({static_cast<long>(entry.whole("line", kLongLimit)),
                                entry.text("word"), entry.text("category")});
  }
}

// The rules and entries a header names, when it names them.
std::optional<coverage_universe> universe_of_header(const json_value& record,
                                                    std::string& problem) {
  const json_value* member = record.member("coverage");
  if (member == nullptr) return std::nullopt;
  record_fields coverage(member, "coverage", problem);
  coverage_universe universe;
  universe.rules_file = coverage.name("rules_file");
  take_rules(coverage, problem, universe);
  universe.lexicon_file = coverage.name("lexicon_file");
  take_entries(coverage, problem, universe);
  if (!problem.empty()) return std::nullopt;
  return universe;
}

// The item of a record; the problem, or empty.
std::string item_of(const json_value& record, item_result& result) {
  std::string problem;
  record_fields top(&record, "record", problem);
  record_fields item(top.member("item"), "item", problem);
  result.line = static_cast<long>(item.whole("line", kLongLimit));
  if (problem.empty() && result.line < 1) problem = "field \"item.line\" is not a line number";
  const std::string verdict = top.name("verdict");
  if (problem.empty() && !verdict_of(verdict, result.verdict)) {
    problem = "field \"verdict\" is not pass, fail or malformed";
  }
  if (!problem.empty()) return problem;
  if (result.verdict == item_verdict::malformed) {
    result.problem = top.text("problem");
    return problem;
  }
  take_expectation(item, result);
  record_fields found(top.member("found"), "found", problem);
  take_found(found, result.found);
  return problem;
}

// The checksums of the files of a header (an object), as one text to
// compare parts by.
std::string files_of(const json_value& record, std::string& problem) {
  const json_value* files = record.member("files");
  if (files == nullptr || files->kind != json_kind::array) {
    problem = "field \"files\" is not a list";
    return "";
  }
  std::string all;
  for (const json_value& file : files->items) {
    record_fields f(&file, "files", problem);
    all += f.name("role") + "=" + f.name("name") + "@";
    if (f.has("checksum") && f.member("checksum")->kind != json_kind::null) {
      all += f.name("checksum");
    }
    all += ";";
  }
  return all;
}

bool is_blank(std::string_view line) {
  for (char c : line) {
    if (c != ' ' && c != '\t' && c != '\r') return false;
  }
  return true;
}

// Parses the first `count` of `lines` into `parsed`, the lines of a large
// batch shared out among the machine's cores: the reading of a large profile
// is mostly the reading of its JSON.
void parse_lines(const std::vector<std::string>& lines, std::size_t count,
                 std::vector<parsed_line>& parsed) {
  const auto parse_range = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      parsed_line& p = parsed[i];
      p.blank = is_blank(lines[i]);
      p.parsed = !p.blank && parse_json(lines[i], p.record, p.error, "record");
    }
  };
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < count; ++i) bytes += lines[i].size();
  const std::size_t workers =
      bytes < kSharedBatchBytes ? 1 : std::max(1u, std::thread::hardware_concurrency());
  const std::size_t share = (count + workers - 1) / workers;
  std::vector<std::future<void>> others;
  for (std::size_t from = share; from < count; from += share) {
    const std::size_t to = std::min(count, from + share);
    try {
      others.push_back(std::async(std::launch::async, parse_range, from, to));
    } catch (const std::system_error&) {  // GCOVR_EXCL_START: no test can take the threads away
      parse_range(from, to);  // no thread to be had: parsed here
    }  // GCOVR_EXCL_STOP
  }
  parse_range(0, std::min(count, share));
  for (std::future<void>& other : others) other.get();
}
}  // namespace

void profile_reader::problem(const std::string& name, long number, const std::string& reason) {
  ++problems_;
  std::fprintf(messages_, "%s:%ld: %s\n", name.c_str(), number, reason.c_str());
}

void profile_reader::close_part_without_end() {
  if (!part_.open) return;
  problem(part_.name, part_.header_line,
          "profile part without its end record (was its run cut short?)");
  part_.open = false;
}

void profile_reader::take_header(const json_value& record, const std::string& name, long number) {
  std::string reason;
  record_fields top(&record, "record", reason);
  const std::uint64_t version = top.whole("profile", kLongLimit);
  if (reason.empty() && version != kProfileVersion) {
    reason = "profile version " + std::to_string(version) + " is not known (this Mirask reads " +
             std::to_string(kProfileVersion) + ")";
  }
  const std::string suite = top.name("suite");
  const std::string files = reason.empty() ? files_of(record, reason) : "";
  std::optional<coverage_universe> universe =
      reason.empty() ? universe_of_header(record, reason) : std::nullopt;
  if (!reason.empty()) return problem(name, number, reason);
  take_universe(std::move(universe));
  close_part_without_end();
  const bool continues = suite == "-" && part_.suite == "-";
  // Saturates: a part beyond LONG_MAX lines has no line numbers to give.
  const long base = !continues                            ? 0
                    : part_.lines > LONG_MAX - part_.base ? LONG_MAX
                                                          : part_.base + part_.lines;
  part_ = part{true, suite, name, number, base, 0, 0};
  ++parts_;
  if (have_files_ && files != first_files_) mixed_files_ = true;
  if (!have_files_) first_files_ = files;
  have_files_ = true;
}

void profile_reader::take_universe(std::optional<coverage_universe> universe) {
  if (!universe) {
    coverage_everywhere_ = false;
  } else if (!coverage_) {
    coverage_ = std::move(universe);
  } else if (*coverage_ != *universe) {
    coverage_differs_ = true;
  }
}

const coverage_universe* profile_reader::coverage() const {
  return coverage_ && coverage_everywhere_ && !coverage_differs_ ? &*coverage_ : nullptr;
}

void profile_reader::take_end(const json_value& record, const std::string& name, long number) {
  std::string reason;
  record_fields end(record.member("end"), "end", reason);
  const auto lines = static_cast<long>(end.whole("lines", kLongLimit));
  const auto items = static_cast<long>(end.whole("items", kLongLimit));
  if (reason.empty() && !part_.open) reason = "end record without its profile record";
  if (!reason.empty()) return problem(name, number, reason);
  // The part ends here, whether its end record agrees with it or not.
  part_.open = false;
  if (items != part_.items) {
    problem(name, number,
            "the part holds " + std::to_string(part_.items) + " items, its end record says " +
                std::to_string(items));
  }
  if (lines < part_.lines) {
    problem(name, number, "the part has items beyond its " + std::to_string(lines) + " lines");
  } else {
    part_.lines = lines;
  }
}

void profile_reader::take_item(const json_value& record, const std::string& name, long number) {
  if (!part_.open) return problem(name, number, "item record outside a profile part");
  item_result item;
  const std::string reason = item_of(record, item);
  if (!reason.empty()) return problem(name, number, reason);
  if (item.line > LONG_MAX - part_.base) return problem(name, number, "line number too large");
  ++part_.items;
  if (item.line > part_.lines) part_.lines = item.line;
  item.line += part_.base;
  item.suite = part_.suite;
  sink_(item);
}

void profile_reader::take_record(const parsed_line& line, const std::string& name, long number) {
  if (line.blank) return;
  if (!line.parsed) {
    std::fprintf(messages_, "%s:%ld:%zu: %s\n", name.c_str(), number, line.error.column,
                 line.error.reason.c_str());
    ++problems_;
    return;
  }
  const json_value& record = line.record;
  if (record.kind == json_kind::object && record.member("profile") != nullptr) {
    take_header(record, name, number);
  } else if (record.kind == json_kind::object && record.member("end") != nullptr) {
    take_end(record, name, number);
  } else if (record.kind == json_kind::object && record.member("item") != nullptr) {
    take_item(record, name, number);
  } else {
    problem(name, number, "not a record of a profile");
  }
}

void profile_reader::read(std::FILE* stream, const std::string& name) {
  // Both grow to the lines of the largest batch: a short profile makes room
  // for its own lines only.
  std::vector<std::string> lines;
  std::vector<parsed_line> parsed;
  long number = 0;
  bool more = true;
  while (more) {
    std::size_t count = 0;
    for (; count < kBatchLines; ++count) {
      if (count == lines.size()) lines.emplace_back();
      if (!(more = read_line(stream, lines[count]))) break;
      remove_line_end(lines[count]);
    }
    if (parsed.size() < count) parsed.resize(count);
    parse_lines(lines, count, parsed);
    for (std::size_t i = 0; i < count; ++i) take_record(parsed[i], name, ++number);
  }
  if (std::ferror(stream)) problem(name, number, "read error");
}

void profile_reader::finish() { close_part_without_end(); }
