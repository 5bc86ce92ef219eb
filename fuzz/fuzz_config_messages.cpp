// The analyser's start-up on a fuzzed configuration file and a fuzzed
// message file, packed into one input as
//   configuration %% message file
// (parts separated by a line "%%"). The harness works in a scratch directory
// that holds the two fuzzed files ("cfg" and "m") and a small fixed rules
// file "r", lexicon "l" and endings file "e", so the configuration can name
// any of them, or a name that does not exist. Names with "/" could reach
// endless or blocking files elsewhere (/dev/zero, a terminal) and are
// passed over. After a complete start-up every message is shown, and the
// wait at the console is tried on an empty console.
//
// The harness enters its scratch directory only while it runs an input, so
// relative corpus paths keep working; give -artifact_prefix as an absolute
// path, or a crash input is written into the scratch directory.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "analyser/driver/console.hpp"
#include "analyser/driver/startup.hpp"
#include "fuzz/analyser_fixture.hpp"

namespace {

constexpr std::string_view kRules = "ADJE + NOMN = NBAR ; 111222 : attr.\nNOMN = NPHR ;.\n";
constexpr std::string_view kLexicon = "ALT=ADJS\nHUND=NOMN GEN(1)NUM(1)KAS(1,3,4)\nNULL=ZAHL NUM()\n";
constexpr std::string_view kEndings = "E=ENDG\nEN=ENDG\n";
// Messages tried after start-up: every number in use and some beyond.
constexpr int kLowestMessage = -1;
constexpr int kHighestMessage = 12;

void write_file(const char* name, std::string_view content) {
  FILE* file = std::fopen(name, "wb");
  fuzz_expect(file != nullptr, "cannot write a scratch file");
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

std::filesystem::path scratch_path;

// Works in the scratch directory for its lifetime.
class in_scratch_directory {
 public:
  in_scratch_directory() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(scratch_path);
  }
  in_scratch_directory(const in_scratch_directory&) = delete;
  in_scratch_directory& operator=(const in_scratch_directory&) = delete;
  ~in_scratch_directory() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

void remove_scratch_directory() { std::filesystem::remove_all(scratch_path); }

void show_every_message(analyser_state& state) {
  for (int number = kLowestMessage; number <= kHighestMessage; ++number) {
    show_message(state.loaded.messages, state.out, number);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string name = scratch_template("fuzz_config_messages");
  fuzz_expect(mkdtemp(name.data()) != nullptr, "cannot make a scratch directory");
  scratch_path = name;
  std::atexit(remove_scratch_directory);
  const in_scratch_directory in_scratch;
  write_file("r", kRules);
  write_file("l", kLexicon);
  write_file("e", kEndings);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = split_parts(fuzz_bytes(data, size), 2);
  if (parts[0].find('/') != std::string_view::npos) return 0;
  const in_scratch_directory in_scratch;
  write_file("cfg", parts[0]);
  write_file("m", part_or_empty(parts, 1));
  quiet_analyser analyser;
  analyser.state.trace_flag = 1;
  analyser.state.config_file_name = "cfg";
  try {
    initialize_everything(analyser.state);
  } catch (const fatal_end&) {
    return 0;
  }
  show_every_message(analyser.state);
  wait_for_user(analyser.state);
  return 0;
}
