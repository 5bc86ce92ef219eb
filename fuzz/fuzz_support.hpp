// Shared by the fuzz harnesses (their streams come from test_support/): an output sink,
// the split of one input into several files, and the check that turns a
// broken promise of the code into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The bytes libFuzzer hands to a harness, as text.
inline std::string_view fuzz_bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// One stream to "/dev/null" for the whole process: output that is produced
// (so its formatting runs) but never looked at. With FUZZ_SHOW_OUTPUT set in
// the environment it is standard output instead, to follow a finding.
FILE* null_output();

// A mkstemp/mkdtemp template for a scratch file or directory called after
// `name`: in /dev/shm when the machine has it, since a file rewritten for
// every input costs milliseconds on a disk, else in /tmp.
std::string scratch_template(std::string_view name);

// The separator of the files packed into one fuzz input: a line "%%".
inline constexpr std::string_view kPartSeparator = "\n%%\n";

// Cuts `input` at every separator into at most `max_parts` parts; the last
// part keeps any further separators.
std::vector<std::string_view> split_parts(std::string_view input, std::size_t max_parts);

// The `n`-th part, or an empty text when there are fewer parts.
std::string_view part_or_empty(const std::vector<std::string_view>& parts, std::size_t n);

// Aborts with `what` when `holds` is false: the code under test broke its
// contract, which libFuzzer reports like a crash.
void fuzz_expect(bool holds, const char* what);
