// One run of a checker check over the fuzz input, shared by the lexicon and
// the rules harness. Every input is checked with the default settings and
// once more with settings (as "-h" and "-u" would give them) taken from its
// first two bytes, odd values and extremes included.
#pragma once

#include <climits>
#include <cstdio>
#include <optional>
#include <string_view>

#include "checker/checker_state.hpp"
#include "checker/lexicon_check.hpp"
#include "checker/rules_check.hpp"
#include "checker/text_routines.hpp"
#include "fuzz/fuzz_support.hpp"

struct CheckSettings {
  int category_length;
  int group_name_length;
};

inline constexpr CheckSettings kDefaultSettings{4, 3};

// The settings of the second run: first byte for "-h", second for "-u".
inline CheckSettings settings_from(std::string_view input) {
  static constexpr int kLengths[] = {4, 3, 0, 1, 2, 5, 99, 100, -1, INT_MAX, INT_MIN};
  constexpr unsigned kCount = sizeof kLengths / sizeof kLengths[0];
  const auto byte = [&](std::size_t i) {
    return i < input.size() ? static_cast<unsigned char>(input[i]) : 0u;
  };
  return {kLengths[byte(0) % kCount], kLengths[byte(1) % kCount]};
}

// Checks `input` in `mode`; the count of entries or rules when the file was
// accepted, nothing when the check reported an error.
inline std::optional<int> run_check(CheckMode mode, std::string_view input,
                                    CheckSettings settings) {
  CheckerState state;
  state.out = null_output();
  state.check_mode = mode;
  state.expected_category_length = settings.category_length;
  state.expected_group_name_length = settings.group_name_length;
  clear_frame_table(state);
  InputStream file(input);
  try {
    return mode == CheckMode::lexicon ? check_lexicon(state, file.file())
                                      : check_rules(state, file.file());
  } catch (const CheckerEnd& end) {
    fuzz_expect(end.status == kStatusSyntaxError, "a check ended with a status other than -1");
    return std::nullopt;
  }
}
