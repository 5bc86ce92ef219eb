// Quelvint's lexicon check on any bytes. Besides not crashing, a file the
// check accepts with the default settings must really have what the analyser
// relies on: every line with text holds "=", and the words' first bytes
// (signed, as the check compares them) never fall.
#include <cstdint>
#include <string_view>

#include "fuzz/checker_runs.hpp"

namespace {

// What an accepted lexicon file must show, judged independently of the check.
bool lines_in_form(std::string_view input) {
  signed char previous_first = 0;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    std::string text;
    for (const char c : line) {
      if (c != '\r') text += c;
    }
    if (text.empty() && end == std::string_view::npos) break;  // no last line
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    const signed char first = equals == 0 ? 0 : static_cast<signed char>(text[0]);
    if (first < previous_first) return false;
    previous_first = first;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz_bytes(data, size);
  if (run_check(file_kind::lexicon, input, kDefaultSettings)) {
    fuzz_expect(lines_in_form(input), "the lexicon check accepted a malformed file");
  }
  run_check(file_kind::lexicon, input, settings_from(input));
  return 0;
}
