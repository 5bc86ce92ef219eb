// A whole Zandoret run over one fuzzed word list: the lines go through the
// filter, the capitals conversion and the chains, and the output pass writes
// them to memory. The first input byte chooses the run, the rest is the word
// list:
//   bit 0   "-c"                    bit 4   memory runs out after two entries
//   bit 1   "-f" with a fixed filter bit 5   the output file overflows
//   bit 2   frequencies: "J"        bits 6-7 the console ends early: 0 never,
//   bit 3   by frequency: "J"                1 in the first answer, 2 after
//                                            two answers, 3 before the output name
// A run that ends normally must have written its entries in strictly
// ascending byte order (unless ordered by frequency).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.hpp"
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

constexpr int kEntriesBeforeShortage = 2;
// Room of the output file that overflows: less than any list with an entry.
constexpr std::size_t kOverflowRoom = 1;

// A filter that maps onto the line feed, onto zero, onto a blank and onto letters.
constexpr std::string_view kFilterText =
    "! fuzz filter\n65=66\n10 = 32\n132=0\n97=10\n\n-1=3\n0=65\n255=97\n";

// What the open_file hook serves; open_file is a plain function pointer.
struct Files {
  std::string_view word_list;
  bool overflow = false;
  char* output = nullptr;
  std::size_t output_size = 0;
  char overflow_room[kOverflowRoom + 1];
  int entries_left = 0;
};
Files files;

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
  std::free(files.output);
  files.output = nullptr;
  return open_memstream(&files.output, &files.output_size);
}

void* allocate_entry(std::size_t size) {
  if (files.entries_left == 0) return nullptr;
  if (files.entries_left > 0) --files.entries_left;
  return std::malloc(size);
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

// Entries written without counts come in strictly ascending byte order
// (string_view compares its bytes as unsigned values).
bool strictly_ascending(std::string_view list) {
  std::string_view previous;
  for (bool first = true; !list.empty(); first = false) {
    const std::size_t end = list.find('\n');
    const std::string_view line = list.substr(0, end);
    list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    if (!first && !(previous < line)) return false;
    previous = line;
  }
  return true;
}

bool has_entries(const SorterState& state) {
  return !for_each_entry(state.chain_table, [](const word_entry&) { return false; });
}

void run(unsigned options) {
  SorterState state;
  state.out = null_output();
  state.err = null_output();
  state.open_file = open_file;
  state.allocate_entry = allocate_entry;
  const std::string console = console_text(options);
  InputStream console_stream(console);
  state.console = console_stream.file();
  const std::vector<const char*> argv = arguments(options);
  try {
    run_sorter(state, static_cast<int>(argv.size()), argv.data());
  } catch (const SorterEnd& end) {
    fuzz_expect(end.status == kConsoleEndStatus, "the sorter ended with an unknown status");
    return;
  }
  fuzz_expect(!files.overflow || !has_entries(state),
              "the sorter ended normally although its output overflowed");
  fuzz_expect(options >> kConsoleEndShift == 0, "the sorter ended normally without its answers");
  if (!(options & (kByFrequency | kFrequencies))) {
    fuzz_expect(strictly_ascending({files.output, files.output_size}),
                "the sorted list is not in strictly ascending order");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  files.word_list = fuzz_bytes(data + 1, size - 1);
  files.overflow = options & kOverflow;
  files.entries_left = options & kMemoryShort ? kEntriesBeforeShortage : -1;
  run(options);
  std::free(files.output);
  files.output = nullptr;
  files.output_size = 0;
  return 0;
}
