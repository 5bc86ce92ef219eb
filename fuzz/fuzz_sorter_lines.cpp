// A whole Zandoret run over one fuzzed word list: the lines go through the
// filter, the capitals conversion and the entry store, and the output pass
// writes them to memory. The first input byte chooses the run, the rest is
// the word list:
//   bit 0   "-c"                     bit 4   memory runs out after the first
//   bit 1   "-f" with a fixed filter         allocation for the store
//   bit 2   frequencies: "J"         bit 5   the output file overflows
//   bit 3   by frequency: "J"        bits 6-7 the console ends early: 0 never,
//                                            1 in the first answer, 2 after
//                                            two answers, 3 before the output name
// A run that ends normally with all its memory must have written exactly
// the list that a plain std::map of the line pieces gives, and counted its
// lines and duplicates as that map does. The script form, which unwatched
// leaves the duplicates it finds late to the end, runs on the same list
// and with the same options and must do the same.
#include <stdio.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"
#include "sorter/filter_file.hpp"
#include "sorter/input_lines.hpp"
#include "sorter/sorter_driver.hpp"
#include "sorter/sorter_state.hpp"

namespace {

constexpr unsigned kCapitals = 0x01;
constexpr unsigned kFilter = 0x02;
constexpr unsigned kFrequencies = 0x04;
constexpr unsigned kByFrequency = 0x08;
constexpr unsigned kMemoryShort = 0x10;
constexpr unsigned kOverflow = 0x20;
constexpr unsigned kConsoleEndShift = 6;

// Allocations that succeed when memory is short.
constexpr int kAllocationsBeforeShortage = 1;
// Room of the output file that overflows: less than any list with an entry.
constexpr std::size_t kOverflowRoom = 1;
// Room of the output file that never overflows, per byte of the word list:
// no more entries than bytes, and each entry's line at most its text, a
// blank, the ten digits of a count and a line feed.
constexpr std::size_t kOutputRoomPerByte = 16;
constexpr std::size_t kOutputRoomExtra = 64;

// A filter that maps onto the line feed, onto zero, onto a blank and onto letters.
constexpr std::string_view kFilterText =
    "! fuzz filter\n65=66\n10 = 32\n132=0\n97=10\n\n-1=3\n0=65\n255=97\n";

// What the hooks of the state serve; they are plain function pointers.
struct scratch_files {
  std::string_view word_list;
  bool overflow = false;
  std::vector<char> output_room;  // the output file
  char overflow_room[kOverflowRoom + 1];
  int allocations_left = -1;  // -1: no limit
};
scratch_files files;

FILE* read_stream(std::string_view text) {
  if (text.empty()) return std::fopen("/dev/null", "r");
  return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

FILE* open_file(const char* name, const char* mode) {
  const std::string_view file = name;
  if (file == "list" && mode[0] == 'r') return read_stream(files.word_list);
  if (file == "filter" && mode[0] == 'r') return read_stream(kFilterText);
  if (file != "out" || mode[0] != 'w') return nullptr;
  if (files.overflow) return fmemopen(files.overflow_room, kOverflowRoom, "w");
  std::fill(files.output_room.begin(), files.output_room.end(), '\0');
  return fmemopen(files.output_room.data(), files.output_room.size(), "w");
}

bool may_allocate() {
  if (files.allocations_left == 0) return false;
  if (files.allocations_left > 0) --files.allocations_left;
  return true;
}

void* allocate(std::size_t size) { return may_allocate() ? std::malloc(size) : nullptr; }

void* resize(void* block, std::size_t size) {
  return may_allocate() ? std::realloc(block, size) : nullptr;
}

// The console answers of a complete dialogue, cut where the options say.
std::string console_text(unsigned options) {
  std::string text = "list\n\n";
  text += options & kFrequencies ? "J\n" : "n\n";
  text += options & kByFrequency ? "j\n" : "\n";
  text += "out\n";
  static constexpr std::size_t kCuts[] = {std::string::npos, 2, 6, 10};
  return text.substr(0, kCuts[options >> kConsoleEndShift]);
}

std::vector<const char*> arguments(unsigned options) {
  std::vector<const char*> argv{"Zandoret"};
  if (options & kCapitals) argv.push_back("-c");
  if (options & kFilter) argv.insert(argv.end(), {"-f", "filter"});
  return argv;
}

// The pieces of a word list, as the sorter promises to take them: up to and
// including a line feed, at most kPieceCapacity bytes, and a full piece
// followed directly by "\n" or "\r\n" takes that line end too.
std::vector<std::string> pieces_of(std::string_view list) {
  std::vector<std::string> pieces;
  while (!list.empty()) {
    const std::size_t line_feed = list.find('\n');
    const std::size_t line = line_feed == std::string_view::npos ? list.size() : line_feed + 1;
    std::size_t length = std::min(line, kPieceCapacity);
    if (length == kPieceCapacity && list[length - 1] != '\n') {
      if (list.substr(length, 1) == "\n") length += 1;
      else if (list.substr(length, 2) == "\r\n") length += 2;
    }
    pieces.emplace_back(list.substr(0, length));
    list.remove_prefix(length);
  }
  return pieces;
}

// What the sorter should have stored and counted, by a plain std::map.
struct reference_run {
  std::map<std::string, int> counts;
  long entry_count = 0;
  int duplicate_count = 0;
};

reference_run reference_for(const sorter_state& state) {
  reference_run reference;
  for (std::string piece : pieces_of(files.word_list)) {
    const line_piece bytes(reinterpret_cast<unsigned char*>(piece.data()), piece.size());
    if (state.filter_active) apply_filter(state, bytes);
    if (state.capitals_mode) piece.resize(to_capitals(bytes));
    ++reference.entry_count;
    const std::string text = piece.substr(0, piece.find_first_of(std::string_view("\n\r\0", 3)));
    if (text.empty()) continue;
    if (++reference.counts[text] == 1) continue;
    --reference.entry_count;
    ++reference.duplicate_count;
  }
  return reference;
}

// The output file the reference gives.
std::string reference_list(const sorter_state& state, const reference_run& reference) {
  std::vector<std::pair<std::string, int>> entries(reference.counts.begin(),
                                                   reference.counts.end());
  if (state.by_frequency) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
  }
  std::string list;
  for (const auto& [text, count] : entries) {
    list += text;
    if (state.with_frequencies) list += " " + std::to_string(count);
    list += '\n';
  }
  return list;
}

// What the sorter wrote: its lines hold no zero byte, and the room is
// zeroed before the file is opened.
std::string output_file() {
  const std::vector<char>& room = files.output_room;
  return std::string(room.data(), strnlen(room.data(), room.size()));
}

void expect_as_reference(const sorter_state& state, const std::string& written) {
  const reference_run reference = reference_for(state);
  fuzz_expect(state.entry_count == reference.entry_count, "the sorter miscounted its lines");
  fuzz_expect(state.duplicate_count == reference.duplicate_count,
              "the sorter miscounted the duplicates");
  fuzz_expect(written == reference_list(state, reference),
              "the sorted list differs from the reference");
}

bool has_entries(const sorter_state& state) {
  return !for_each_entry(state.chain_table, [](const walked_entry&) { return false; });
}

void use_scratch_files(sorter_state& state) {
  state.err = null_output();
  state.open_file = open_file;
  state.allocate_tail = allocate;
  state.resize_table = resize;
}

void run(unsigned options) {
  sorter_state state;
  state.out = null_output();
  use_scratch_files(state);
  const std::string console = console_text(options);
  memory_input console_stream(console);
  state.console = console_stream.file();
  const std::vector<const char*> argv = arguments(options);
  try {
    run_sorter(state, static_cast<int>(argv.size()), argv.data());
  } catch (const sorter_end& end) {
    fuzz_expect(end.status == kConsoleEndStatus, "the sorter ended with an unknown status");
    return;
  }
  fuzz_expect(options >> kConsoleEndShift == 0, "the sorter ended normally without its answers");
  if (files.overflow) {
    fuzz_expect(!has_entries(state), "the sorter ended normally although its output overflowed");
  } else if (!(options & kMemoryShort)) {
    expect_as_reference(state, output_file());
  }
}

// The script form with the options of the dialogue, writing the list to
// standard output.
void run_script_form(unsigned options) {
  std::vector<const char*> argv = arguments(options);
  if (options & kFrequencies) argv.push_back("--counts");
  if (options & kByFrequency) argv.push_back("--by-frequency");
  argv.insert(argv.end(), {"-o", "-", "list"});
  sorter_state state;
  captured_output out;
  state.out = out.file();
  use_scratch_files(state);
  run_sorter(state, static_cast<int>(argv.size()), argv.data());
  if (!(options & kMemoryShort)) expect_as_reference(state, out.text());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  files.word_list = fuzz_bytes(data + 1, size - 1);
  files.overflow = options & kOverflow;
  files.output_room.resize(kOutputRoomPerByte * size + kOutputRoomExtra);
  files.allocations_left = options & kMemoryShort ? kAllocationsBeforeShortage : -1;
  run(options);
  files.allocations_left = options & kMemoryShort ? kAllocationsBeforeShortage : -1;
  run_script_form(options);
  return 0;
}
