#include "analyser/output/json_text.hpp"

#include <cstdint>
#include <cstdio>

#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"

void append_json_string(std::string& out, std::string_view text) {
  out += '"';
  for (unsigned char c : text) {
    if (c == '"') {
      out += "\\\"";
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += utf8_of(c);
    }
  }
  out += '"';
}

void append_key(std::string& out, std::string_view key) {
  if (!out.empty() && out.back() != '{') out += ',';
  out += '"';
  out += key;
  out += "\":";
}

void append_json_values(std::string& out, const unsigned char* values) {
  if (values == nullptr) {
    out += "null";
    return;
  }
  out += '[';
  for (int g = 1; g <= values[0]; ++g) {
    if (g > 1) out += ',';
    out += '[';
    const char* separator = "";
    for (int v : group_values(values[g])) {
      out += separator;
      out += std::to_string(v);
      separator = ",";
    }
    out += ']';
  }
  out += ']';
}

void append_json_count(std::string& out, const analysis_count& count) {
  constexpr std::uint64_t kLargestExactNumber = std::uint64_t{1} << 53;
  const bool number = !count.unbounded && count.value.fits_in(kLargestExactNumber);
  const std::string text = count_text(count);
  out += number ? text : '"' + text + '"';
}
