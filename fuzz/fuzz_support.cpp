#include "fuzz/fuzz_support.hpp"

#include <stdio.h>
#include <unistd.h>

#include <cstdlib>

// Undefined behaviour is a finding like any crash: stop at the first report
// even when the harness is run by hand without UBSAN_OPTIONS.
extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }

FILE* null_output() {
  static FILE* const sink =
      std::getenv("FUZZ_SHOW_OUTPUT") != nullptr ? stdout : std::fopen("/dev/null", "w");
  fuzz_expect(sink != nullptr, "cannot open /dev/null");
  return sink;
}

std::string scratch_template(std::string_view name) {
  std::string path = access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
  path += name;
  return path + "_XXXXXX";
}

std::vector<std::string_view> split_parts(std::string_view input, std::size_t max_parts) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < max_parts) {
    const std::size_t at = input.find(kPartSeparator);
    if (at == std::string_view::npos) break;
    parts.push_back(input.substr(0, at));
    input.remove_prefix(at + kPartSeparator.size());
  }
  parts.push_back(input);
  return parts;
}

std::string_view part_or_empty(const std::vector<std::string_view>& parts, std::size_t n) {
  return n < parts.size() ? parts[n] : std::string_view();
}

void fuzz_expect(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "\n*** broken contract: %s\n", what);
  std::abort();
}
