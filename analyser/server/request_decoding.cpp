#include "analyser/server/request_decoding.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace {
using json = nlohmann::json;

[[noreturn]] void refuse(const std::string& message) { throw request_error{400, message}; }

struct too_deep {};

// The parse error as a message of our own: where, and what (the library's
// text without its prefix, which may quote the faulty bytes).
std::string parse_error_text(const json::parse_error& e) {
  std::string what = e.what();
  if (what.find("UTF-8") != std::string::npos || what.find("surrogate") != std::string::npos) {
    return "invalid UTF-8 in the request at byte " + std::to_string(e.byte);
  }
  const std::size_t reason = what.find(" - ", what.find("syntax error"));
  std::string detail = reason == std::string::npos ? "" : what.substr(reason + 3);
  detail = detail.substr(0, detail.find(';'));
  return "malformed JSON at byte " + std::to_string(e.byte) + (detail.empty() ? "" : ": " + detail);
}

// The members of a request object, taken one by one with their types
// checked; at the end, a member that nothing took is an unknown field.
class fields {
 public:
  explicit fields(const json& object) : object_(object) {
    if (!object.is_object()) refuse("the request must be a JSON object");
  }

  const json* find(const char* key) {
    taken_.insert(key);
    const auto at = object_.find(key);
    return at == object_.end() ? nullptr : &*at;
  }

  bool boolean(const char* key, bool otherwise) {
    const json* v = find(key);
    if (v == nullptr) return otherwise;
    if (!v->is_boolean()) refuse(std::string("\"") + key + "\" must be true or false");
    return v->get<bool>();
  }

  std::optional<std::string> text(const char* key) {
    const json* v = find(key);
    if (v == nullptr) return std::nullopt;
    if (!v->is_string()) refuse(std::string("\"") + key + "\" must be a string");
    return v->get<std::string>();
  }

  // A whole number from `least` on; a larger one than `most` is `most`.
  std::optional<long> number(const char* key, long least, long most) {
    const json* v = find(key);
    if (v == nullptr) return std::nullopt;
    const std::string wrong = std::string("\"") + key + "\" must be a whole number of at least " +
                              std::to_string(least);
    // Numbers beyond 64 bits come as floating point: whole ones are taken too.
    const bool whole = v->is_number_integer() ||
                       (v->is_number_float() && std::floor(v->get<double>()) == v->get<double>());
    if (!whole || v->get<double>() < static_cast<double>(least)) refuse(wrong);
    // What is left is no less than `least`, which is never negative: a whole
    // number in floating point, or an integer that fits in 64 bits unsigned.
    if (v->is_number_float()) return std::min<double>(v->get<double>(), most);
    return std::min<std::uint64_t>(v->get<std::uint64_t>(), most);
  }

  void finish() const {
    for (const auto& [key, value] : object_.items()) {
      if (taken_.count(key) == 0) refuse("unknown field \"" + key + "\"");
    }
  }

 private:
  const json& object_;
  std::set<std::string> taken_;
};

std::chrono::microseconds time_limit_of(fields& f, const request_limits& limits) {
  const long most = static_cast<long>(limits.time_limit.count());
  return std::chrono::milliseconds(f.number("timeout_ms", 1, most).value_or(most));
}

std::vector<std::string> sentences_of(const json& list) {
  if (!list.is_array()) refuse("\"sentences\" must be a list of strings");
  std::vector<std::string> sentences;
  for (const json& s : list) {
    if (!s.is_string()) refuse("\"sentences\" must be a list of strings");
    sentences.push_back(s.get<std::string>());
  }
  return sentences;
}
}  // namespace

json decode_json(std::string_view body) {
  const auto depth_bound = [](int depth, json::parse_event_t event, json&) {
    const bool opens = event == json::parse_event_t::object_start ||
                       event == json::parse_event_t::array_start;
    if (opens && depth >= kMaxNesting) throw too_deep{};
    return true;
  };
  try {
    return json::parse(body.begin(), body.end(), depth_bound);
  } catch (const json::parse_error& e) {
    refuse(parse_error_text(e));
  } catch (const json::out_of_range&) {
    // A number beyond what a double holds ("1E400"): the library gives up on it.
    refuse("a number in the request is too large");
  } catch (const too_deep&) {
    refuse("the request nests deeper than " + std::to_string(kMaxNesting) + " levels");
  }
}

parse_request decode_parse_request(std::string_view body, const request_limits& limits) {
  const json request = decode_json(body);
  fields f(request);
  parse_request r;
  const std::optional<std::string> sentence = f.text("sentence");
  const json* list = f.find("sentences");
  if (sentence.has_value() == (list != nullptr)) {
    refuse("give either \"sentence\" or \"sentences\"");
  }
  r.batch = list != nullptr;
  r.sentences = r.batch ? sentences_of(*list) : std::vector<std::string>{*sentence};
  mirask::parse_options& o = r.options;
  o.all = f.boolean("all", false);
  o.why = f.boolean("why", false);
  o.nodes = f.boolean("nodes", false);
  o.count = f.boolean("count", true);
  o.max_analyses = f.number("max_analyses", 1, limits.max_analyses).value_or(o.max_analyses);
  o.max_analyses = std::min(o.max_analyses, limits.max_analyses);
  o.node_limit = f.number("node_limit", 1, limits.node_limit).value_or(limits.node_limit);
  o.start = f.text("start").value_or("");
  r.svg = f.boolean("svg", false);
  r.analysis_index = f.number("analysis_index", 0, std::numeric_limits<long>::max());
  r.time_limit = time_limit_of(f, limits);
  f.finish();
  return r;
}

suite_request decode_suite_request(std::string_view body, const request_limits& limits) {
  const json request = decode_json(body);
  fields f(request);
  suite_request r;
  const std::optional<std::string> suite = f.text("suite");
  if (!suite) refuse("\"suite\" is missing: the suite's text");
  r.suite = *suite;
  r.name = f.text("name").value_or(r.name);
  r.compare = f.text("compare");
  r.node_limit = f.number("node_limit", 1, limits.node_limit).value_or(limits.node_limit);
  r.time_limit = time_limit_of(f, limits);
  f.finish();
  return r;
}

void decode_empty_request(std::string_view body) {
  if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) return;
  const json request = decode_json(body);
  fields(request).finish();
}
