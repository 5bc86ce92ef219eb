#include "analyser/suite/json_reader.hpp"

#include <nlohmann/json.hpp>

namespace {
using json = nlohmann::json;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The reason of one of the library's faults: its text without the
// exception's name, the place (given as a column of our own) and the text
// last read, which may be long and need not be UTF-8.
std::string reason_of(const nlohmann::detail::exception& fault) {
  constexpr int kNumberOverflow = 406;
  if (fault.id == kNumberOverflow) return "number too large";
  std::string_view text = fault.what();
  const std::size_t name_end = text.find("] ");
  if (name_end != std::string_view::npos) text.remove_prefix(name_end + 2);
  const std::size_t place_end = text.find(": ");
  if (text.substr(0, 12) == "parse error " && place_end != std::string_view::npos) {
    text.remove_prefix(place_end + 2);
  }
  return std::string(text.substr(0, text.find("; last read: ")));
}

// The byte, from 1, of the first bracket that opens more than `limit`
// arrays and objects around it; 0 when there is none. The text up to it
// must be JSON as far as it goes, so brackets in strings are told apart.
std::size_t first_bracket_beyond(std::string_view text, int limit) {
  int depth = 0;
  bool in_string = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (in_string) {
      if (c == '\\') ++at;
      in_string = c != '"';
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return at + 1;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return 0;  // GCOVR_EXCL_LINE: parse_json asks only about a text that opens more
}

// Builds a json_value from the library's events, without recursion: the
// arrays and objects being filled stand on a stack. While the value of an
// unkept member goes by, its events are only counted.
class value_builder {
 public:
  value_builder(json_value& root, std::string_view unkept) : root_(root), unkept_(unkept) {}

  bool null() { return scalar(json_kind::null); }
  bool boolean(bool b) {
    json_value* v = scalar_place(json_kind::boolean);
    if (v != nullptr) v->boolean = b;
    return true;
  }
  bool number_integer(json::number_integer_t n) {
    // Only numbers written with a sign are given as integers; "-0" keeps it.
    return number(n == 0 ? "-0" : std::to_string(n));
  }
  bool number_unsigned(json::number_unsigned_t n) { return number(std::to_string(n)); }
  bool number_float(json::number_float_t, const json::string_t& written) { return number(written); }
  bool string(json::string_t& s) {
    json_value* v = scalar_place(json_kind::string);
    if (v != nullptr) v->text = std::move(s);
    return true;
  }
  bool binary(json::binary_t&) { return true; }  // GCOVR_EXCL_LINE: never given by a JSON text
  bool start_object(std::size_t) { return open(json_kind::object); }
  bool start_array(std::size_t) { return open(json_kind::array); }
  bool end_object() { return close(); }
  bool end_array() { return close(); }
  bool key(json::string_t& k) {
    if (skip_depth_ > 0) return true;
    std::vector<json_member>& members = open_.back()->members;
    members.push_back({std::move(k), json_value{}});
    if (depth_ == 1 && !unkept_.empty() && members.back().key == unkept_) skip_depth_ = depth_;
    return true;
  }
  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception& fault) {
    column_ = position;
    reason_ = reason_of(fault);
    return false;
  }

  bool too_deep() const { return too_deep_; }
  std::size_t column() const { return column_; }
  const std::string& reason() const { return reason_; }

 private:
  // The value the next event fills: the root, an array's next element or
  // the value of an object's last member; null while a value is skipped.
  json_value* place() {
    if (skip_depth_ > 0) return nullptr;
    if (open_.empty()) return &root_;
    json_value* container = open_.back();
    if (container->kind == json_kind::array) return &container->items.emplace_back();
    return &container->members.back().value;
  }
  json_value* scalar_place(json_kind kind) {
    json_value* v = place();
    if (v != nullptr) v->kind = kind;
    if (skip_depth_ == depth_) skip_depth_ = 0;  // the unkept value was this one
    return v;
  }
  bool scalar(json_kind kind) {
    scalar_place(kind);
    return true;
  }
  bool number(std::string written) {
    json_value* v = scalar_place(json_kind::number);
    if (v != nullptr) v->text = std::move(written);
    return true;
  }
  bool open(json_kind kind) {
    if (++depth_ > kJsonDepthLimit) {
      too_deep_ = true;
      return false;
    }
    json_value* v = place();
    if (v != nullptr) {
      v->kind = kind;
      open_.push_back(v);
    }
    return true;
  }
  bool close() {
    --depth_;
    if (skip_depth_ == 0) {
      open_.pop_back();
    } else if (skip_depth_ == depth_) {
      skip_depth_ = 0;
    }
    return true;
  }

  json_value& root_;
  std::string_view unkept_;
  std::vector<json_value*> open_;
  int depth_ = 0;       // arrays and objects open around the next event
  int skip_depth_ = 0;  // while an unkept value goes by: the depth of its member
  bool too_deep_ = false;
  std::size_t column_ = 0;
  std::string reason_;
};
// The library's reading of `text` into `builder`, its lexer inlined into one
// function: most of the time of reading a large profile goes here.
[[gnu::flatten]] bool read_events(std::string_view text, value_builder& builder) {
  return json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json, true);
}
}  // namespace

const json_value* json_value::member(std::string_view key) const {
  for (const json_member& m : members) {
    if (m.key == key) return &m.value;
  }
  return nullptr;
}

bool parse_json(std::string_view text, json_value& value, json_error& error,
                std::string_view unkept) {
  value = json_value{};
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    error = {1, "byte order mark before the value"};
    return false;
  }
  value_builder builder(value, unkept);
  if (read_events(text, builder)) return true;
  if (builder.too_deep()) {
    error = {first_bracket_beyond(text, kJsonDepthLimit), "nested too deeply"};
  } else {
    error = {builder.column(), builder.reason()};
  }
  return false;
}

bool whole_number(const json_value& value, std::uint64_t limit, std::uint64_t& number) {
  if (value.kind != json_kind::number || value.text.empty()) return false;
  std::uint64_t result = 0;
  for (char c : value.text) {
    if (c < '0' || c > '9') return false;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (digit > limit || result > (limit - digit) / 10) return false;
    result = result * 10 + digit;
  }
  number = result;
  return true;
}
