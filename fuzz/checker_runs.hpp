// One run of a checker check over the fuzz input, shared by the lexicon and
// the rules harness. Every input is checked with the default settings and
// once more with settings (as "-h" and "-u" would give them) taken from its
// first two bytes, odd values and extremes included. Each run is made twice:
// stopping at the first error, and going on after it ("-all"), whose output
// must begin with that of the first, its first error included.
#pragma once

#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <string_view>

#include "checker/checker_state.hpp"
#include "checker/lexicon_check.hpp"
#include "checker/rules_check.hpp"
#include "checker/text_routines.hpp"
#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"

struct check_settings {
  int category_length;
  int group_name_length;
  bool utf8 = false;  // "-utf8"
};

inline constexpr check_settings kDefaultSettings{4, 3};

// The settings of the second run: first byte for "-h", second for "-u".
inline check_settings settings_from(std::string_view input) {
  static constexpr int kLengths[] = {4, 3, 0, 1, 2, 5, 99, 100, -1, INT_MAX, INT_MIN};
  constexpr unsigned kCount = sizeof kLengths / sizeof kLengths[0];
  const auto byte = [&](std::size_t i) {
    return i < input.size() ? static_cast<unsigned char>(input[i]) : 0u;
  };
  return {kLengths[byte(0) % kCount], kLengths[byte(1) % kCount]};
}

// The output of one check of `input` in `mode`, and whether it found errors.
inline std::pair<std::string, bool> checked(file_kind mode, std::string_view input,
                                            check_settings settings, bool all_errors,
                                            long long& count) {
  checker_state state;
  captured_output output;
  state.out = output.file();
  state.check_mode = mode;
  state.expected_category_length = settings.category_length;
  state.expected_group_name_length = settings.group_name_length;
  state.all_errors = all_errors;
  state.utf8_text = settings.utf8;
  clear_frame_table(state);
  memory_input file(input);
  count = mode == file_kind::lexicon ? check_lexicon(state, file.file())
                                     : check_rules(state, file.file());
  fuzz_expect(all_errors || state.errors_found <= 1, "a check went on after its first error");
  return {output.text(), state.errors_found > 0};
}

// Checks `input` in `mode`; the count of entries or rules when the file was
// accepted, nothing when the check reported an error.
inline std::optional<long long> run_check(file_kind mode, std::string_view input,
                                          check_settings settings) {
  long long count = 0, all_count = 0;
  const auto [first, failed] = checked(mode, input, settings, false, count);
  const auto [all, all_failed] = checked(mode, input, settings, true, all_count);
  fuzz_expect(failed == all_failed, "-all judged a file otherwise than the first error did");
  fuzz_expect(all.compare(0, first.size(), first) == 0, "-all began otherwise than the first error");
  if (failed) return std::nullopt;
  fuzz_expect(all == first && all_count == count, "-all changed the check of a correct file");
  return count;
}
