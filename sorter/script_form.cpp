#include "sorter/script_form.hpp"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

#include "sorter/command_line.hpp"
#include "sorter/filter_file.hpp"
#include "sorter/replacement.hpp"
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

void report_unwritten(const sorter_state& state) {
  std::fprintf(state.out, "\n--- Ueberlauf: %s nicht vollstaendig geschrieben ---\n",
               state.output_file_name.c_str());
}

void report_unopened(const sorter_state& state) {
  std::fprintf(state.out, "\n--- Dateifehler: %s ---\n", state.output_file_name.c_str());
}

// Writes the list to what is not a file, such as a device, in place.
bool write_in_place(sorter_state& state) {
  owned_stream file = open_output(state);
  if (file == nullptr) {
    report_unopened(state);
    return false;
  }
  if (write_and_close(state, std::move(file))) return true;
  report_unwritten(state);
  return false;
}

// Writes the list to a new file and moves it over the output file once it
// is complete.
bool write_replacement(sorter_state& state) {
  replacement output(state.output_file_name);
  owned_stream file = output.open();
  if (file == nullptr) {
    report_unopened(state);
    return false;
  }
  if (!write_and_close(state, std::move(file))) {
    report_unwritten(state);
    return false;
  }
  if (output.commit()) return true;
  report_unopened(state);
  return false;
}

// How the output of a run ended.
enum class output_end { written, kept, failed };

output_end end_of(bool written) { return written ? output_end::written : output_end::failed; }

// Writes the list to `list`, the standard output, or to the output file.
// After a problem with the inputs, an output file that exists keeps its
// content, and says so. A failure to write is reported.
output_end write_script_output(sorter_state& state, std::FILE* list, bool complete) {
  if (list != nullptr) {
    if (write_whole_list(state, list)) return output_end::written;
    report_unwritten(state);
    return output_end::failed;
  }
  const output_place place = place_of(state.output_file_name);
  if (place == output_place::not_a_file) return end_of(write_in_place(state));
  if (complete || place == output_place::absent) return end_of(write_replacement(state));
  std::fprintf(state.out, "\n--- %s bleibt unveraendert ---\n", state.output_file_name.c_str());
  return output_end::kept;
}

// The progress lines are for a person watching, as the script's own output
// is not.
sorter_state::progress_stream script_progress(const sorter_state& state) {
  const int descriptor = fileno(state.err);
  return descriptor >= 0 && isatty(descriptor) ? sorter_state::progress_stream::err
                                               : sorter_state::progress_stream::none;
}

}  // namespace

int run_script(sorter_state& state, const script_command& command) {
  take_command(state, command);
  std::FILE* list = nullptr;
  if (state.output_file_name == kStandardStream) {
    list = state.out;
    state.out = state.err;
  }
  state.progress = script_progress(state);
  state.chain_table.late_duplicates = state.progress == sorter_state::progress_stream::none;
  bool complete = read_script_filter(state);
  for (const std::string& input : command.inputs) complete = read_input(state, input) && complete;
  settle_entries(state);
  complete = complete && state.left_out_lines == 0;
  const output_end end = write_script_output(state, list, complete);
  if (end == output_end::failed) return kScriptProblemStatus;
  write_counts(state);
  return complete && end == output_end::written ? 0 : kScriptProblemStatus;
}
