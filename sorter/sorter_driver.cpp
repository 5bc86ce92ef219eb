#include "sorter/sorter_driver.hpp"

#include <new>
#include <string>
#include <utility>

#include "sorter/command_line.hpp"
#include "sorter/filter_file.hpp"
#include "sorter/input_lines.hpp"
#include "sorter/script_form.hpp"
#include "sorter/sorter_state.hpp"
#include "sorter/sorter_steps.hpp"

namespace {

void write_start_lines(sorter_state& state) {
  std::fputs("\t\t\t----- Zandoret V2.0 -----\n", state.out);
  std::fputs("Zandoret [-c(apitals)] [-f filterfile]\n", state.out);
  std::fputs("Nicht als allgemeines Sortierprogramm verwenden!\n", state.out);
  std::fputs("Dont use this as a general sort program!\n", state.out);
}

// Ends the run when the console has no more answers: without them the
// dialogue could only ask the same question for ever.
[[noreturn]] void end_of_console(sorter_state& state) {
  std::fputs("\n--- Ende der Konsoleneingabe ---\n", state.out);
  std::fflush(state.out);
  throw sorter_end{kConsoleEndStatus};
}

// Reads one answer line from the console, of any length, without its line
// end ("\n" or "\r\n"). Everything written so far is shown first.
std::string read_answer(sorter_state& state) {
  std::fflush(state.out);
  std::string answer;
  if (!read_line(state.console, answer)) end_of_console(state);
  if (!answer.empty() && answer.back() == '\n') answer.pop_back();
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return answer;
}

std::string ask(sorter_state& state, const char* prompt) {
  std::fputs(prompt, state.out);
  return read_answer(state);
}

bool is_yes(const std::string& answer) {
  return !answer.empty() && (answer[0] == 'J' || answer[0] == 'j');
}

// Asks for input files until the answer is empty.
void read_input_files(sorter_state& state) {
  for (;;) {
    const std::string name = ask(state, "Eingabefile:\n");
    if (name.empty()) return;
    const owned_stream file = open_stream(state, name, "r");
    if (file == nullptr) {
      std::fputs("\n--- nicht gefunden ---", state.out);
      continue;
    }
    if (read_word_list(state, file.get(), name) == list_end::read_error)
      std::fputs("\n--- Lesefehler ---\n", state.out);
  }
}

// Asks for the output file until one can be opened.
owned_stream open_output_file(sorter_state& state) {
  for (;;) {
    state.output_file_name = ask(state, "Ausgabefile:\n");
    owned_stream file = open_output(state);
    if (file != nullptr) return file;
    std::fputs("\n--- Dateifehler ---\n", state.out);
  }
}

// After an overflow the user changes the medium and answers; the same output
// file is then opened again, or another name asked for when it cannot be.
owned_stream reopen_after_overflow(sorter_state& state) {
  std::fputs("\nUeberlauf: Neue Diskette einlegen.Dann Taste\n", state.out);
  read_answer(state);
  owned_stream file = open_output(state);
  if (file != nullptr) return file;
  std::fputs("\n--- Dateifehler ---\n", state.out);
  return open_output_file(state);
}

void write_output(sorter_state& state) {
  owned_stream file = open_output_file(state);
  while (!write_and_close(state, std::move(file))) file = reopen_after_overflow(state);
}

void run_dialogue(sorter_state& state, int argc, const char* const* argv) {
  write_start_lines(state);
  scan_command_line(state, argc, argv);
  if (state.filter_named) read_filter(state, state.filter_file_name);
  read_input_files(state);
  state.with_frequencies = is_yes(ask(state, "Frequenzen mit ausgeben? J/N:\n"));
  state.by_frequency = is_yes(ask(state, "nach Frequenzen sortieren? J/N\n"));
  write_output(state);
  write_counts(state);
}

int run_form(sorter_state& state, int argc, const char* const* argv) {
  const script_command command = read_script_command(argc, argv);
  switch (form_of(command)) {
    case command_form::help:
      write_usage(state.out);
      return 0;
    case command_form::misuse:
      write_misuse(command, state.err);
      return kMisuseStatus;
    case command_form::script:
      return run_script(state, command);
    case command_form::dialogue:
      break;
  }
  run_dialogue(state, argc, argv);
  return 0;
}

}  // namespace

int run_sorter(sorter_state& state, int argc, const char* const* argv) {
  try {
    return run_form(state, argc, argv);
  } catch (const std::bad_alloc&) {
    std::fflush(state.out);
    std::fputs("\n--- Speichermangel ---\n", state.err);
    return kMemoryStatus;
  }
}
