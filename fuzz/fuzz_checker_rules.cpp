// Quelvint's rules check on any bytes. Besides not crashing, a file the check
// accepts with the default settings must hold only complete rules: outside
// comments, every rule up to its "." has at most one "+", exactly one "=" and
// one ";" in that order, nothing but blanks follows the last ".", and the
// count reported is the number of rules.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/checker_runs.hpp"

namespace {

// The rules text without comments ("$" to the line end) and line ends.
std::string rules_text(std::string_view input) {
  std::string text;
  bool in_comment = false;
  for (const char c : input) {
    if (c == '\n') in_comment = false;
    if (c == '$') in_comment = true;
    if (!in_comment && c != '\n' && c != '\r') text += c;
  }
  return text;
}

// The separators of one rule stand as one of the two rule forms puts them.
bool rule_in_form(std::string_view rule) {
  std::string separators;
  for (const char c : rule) {
    if (c == '+' || c == '=' || c == ';') separators += c;
  }
  return separators == "+=;" || separators == "=;";
}

// Number of rules of an accepted file, or nothing when it is not in form.
std::optional<long long> complete_rules(std::string_view input) {
  const std::string text = rules_text(input);
  std::string_view rest = text;
  long long count = 0;
  for (std::size_t stop; (stop = rest.find('.')) != std::string_view::npos; ++count) {
    if (!rule_in_form(rest.substr(0, stop))) return std::nullopt;
    rest.remove_prefix(stop + 1);
  }
  if (rest.find_first_not_of(' ') != std::string_view::npos) return std::nullopt;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz_bytes(data, size);
  if (const std::optional<long long> count = run_check(file_kind::rules, input, kDefaultSettings)) {
    fuzz_expect(complete_rules(input) == count, "the rules check accepted a malformed file");
  }
  run_check(file_kind::rules, input, settings_from(input));
  return 0;
}
