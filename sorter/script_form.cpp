#include "sorter/script_form.hpp"

#include <cstdio>
#include <string>
#include <utility>

#include "sorter/command_line.hpp"
#include "sorter/filter_file.hpp"
#include "sorter/sorter_state.hpp"
#include "sorter/sorter_steps.hpp"

namespace {

// The name that stands for the standard streams.
constexpr const char* kStandardStream = "-";

void take_command(sorter_state& state, const script_command& command) {
  state.capitals_mode = command.capitals;
  state.utf8_input = command.utf8;
  state.filter_named = command.filter_named;
  state.filter_file_name = command.filter_file_name;
  state.with_frequencies = command.counts;
  state.by_frequency = command.by_frequency;
  state.output_file_name = command.output_file_name;
}

// Reads the filter file as the dialogue does. Its "not found" message ends
// without a line end, which in the dialogue the next prompt gives it.
bool read_script_filter(sorter_state& state) {
  if (!state.filter_named || read_filter(state, state.filter_file_name) == 0) return true;
  if (!state.filter_active) std::fputs("\n", state.out);
  return false;
}

// Takes one input into the store. Returns false when it could not be read
// in full.
bool read_input(sorter_state& state, const std::string& name) {
  owned_stream file;
  std::FILE* list = state.console;
  if (name != kStandardStream) {
    file = open_stream(state, name, "r");
    if (file == nullptr) {
      std::fprintf(state.out, "\n--- nicht gefunden: %s ---\n", name.c_str());
      return false;
    }
    list = file.get();
  }
  const list_end end = read_word_list(state, list, name);
  if (end == list_end::read_error)
    std::fprintf(state.out, "\n--- Lesefehler: %s ---\n", name.c_str());
  return end == list_end::complete;
}

// Writes the list to `list`, the standard output, or to the output file.
// Returns false, after a message, when it could not be written in full.
bool write_script_output(sorter_state& state, std::FILE* list) {
  const char* const name = state.output_file_name.c_str();
  bool written = false;
  if (list != nullptr) {
    written = write_whole_list(state, list);
  } else {
    owned_stream file = open_output(state);
    if (file == nullptr) {
      std::fprintf(state.out, "\n--- Dateifehler: %s ---\n", name);
      return false;
    }
    written = write_and_close(state, std::move(file));
  }
  if (!written)
    std::fprintf(state.out, "\n--- Ueberlauf: %s nicht vollstaendig geschrieben ---\n", name);
  return written;
}

}  // namespace

int run_script(sorter_state& state, const script_command& command) {
  take_command(state, command);
  std::FILE* list = nullptr;
  if (state.output_file_name == kStandardStream) {
    list = state.out;
    state.out = state.err;
  }
  bool complete = read_script_filter(state);
  for (const std::string& input : command.inputs) complete = read_input(state, input) && complete;
  if (!write_script_output(state, list)) return kScriptProblemStatus;
  write_counts(state);
  return complete && state.left_out_lines == 0 ? 0 : kScriptProblemStatus;
}
