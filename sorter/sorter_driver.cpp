#include "sorter/sorter_driver.hpp"

#include <string>

#include "sorter/filter_file.hpp"
#include "sorter/input_lines.hpp"
#include "sorter/output_pass.hpp"
#include "sorter/sorter_state.hpp"

namespace {

// entry_count is reported each time it reaches a multiple of this.
constexpr long kProgressStep = 100;

void write_start_lines(SorterState& state) {
  std::fputs("\t\t\t----- Zandoret V2.0 -----\n", state.out);
  std::fputs("Zandoret [-c(apitals)] [-f filterfile]\n", state.out);
  std::fputs("Nicht als allgemeines Sortierprogramm verwenden!\n", state.out);
  std::fputs("Dont use this as a general sort program!\n", state.out);
}

// Ends the run when the console has no more answers: without them the
// dialogue could only ask the same question for ever.
[[noreturn]] void end_of_console(SorterState& state) {
  std::fputs("\n--- Ende der Konsoleneingabe ---\n", state.out);
  std::fflush(state.out);
  throw SorterEnd{kConsoleEndStatus};
}

// Reads one answer line from the console, of any length, without its line
// end ("\n" or "\r\n"). Everything written so far is shown first.
std::string read_answer(SorterState& state) {
  std::fflush(state.out);
  std::string answer;
  if (!read_line(state.console, answer)) end_of_console(state);
  if (!answer.empty() && answer.back() == '\n') answer.pop_back();
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return answer;
}

std::string ask(SorterState& state, const char* prompt) {
  std::fputs(prompt, state.out);
  return read_answer(state);
}

bool is_yes(const std::string& answer) {
  return !answer.empty() && (answer[0] == 'J' || answer[0] == 'j');
}

void count_line(SorterState& state) {
  ++state.entry_count;
  if (state.entry_count % kProgressStep == 0)
    std::fprintf(state.out, "%ld Eintraege\n", state.entry_count);
}

// Takes every piece of one word list into the chains. When memory runs out
// the rest of the list stays unread.
void read_word_list(SorterState& state, std::FILE* file) {
  PieceReader reader(file);
  std::string piece;
  while (read_piece(reader, piece)) {
    if (state.filter_active) apply_filter(state, piece);
    if (state.capitals_mode) to_capitals(piece);
    count_line(state);
    if (make_entry(state, piece) == -1) {
      std::fputs("\n--- Speichermangel ---\n", state.err);
      return;
    }
  }
  if (std::ferror(file)) std::fputs("\n--- Lesefehler ---\n", state.out);
}

// Asks for input files until the answer is empty.
void read_input_files(SorterState& state) {
  for (;;) {
    const std::string name = ask(state, "Eingabefile:\n");
    if (name.empty()) return;
    std::FILE* file = state.open_file(name.c_str(), "r");
    if (file == nullptr) {
      std::fputs("\n--- nicht gefunden ---", state.out);
      continue;
    }
    read_word_list(state, file);
    std::fclose(file);
  }
}

// Opens the output file named last for writing. A file with a descriptor
// is written through the state's buffer, in fewer and larger pieces than
// through the stream's own; a stream without one, such as a stream in
// memory, manages its buffer itself and keeps it. Returns null when the file
// cannot be opened.
std::FILE* open_output(SorterState& state) {
  std::FILE* file = state.open_file(state.output_file_name.c_str(), "w");
  if (file != nullptr && fileno(file) != -1)
    std::setvbuf(file, state.output_buffer.data(), _IOFBF, state.output_buffer.size());
  return file;
}

// Asks for the output file until one can be opened.
std::FILE* open_output_file(SorterState& state) {
  for (;;) {
    state.output_file_name = ask(state, "Ausgabefile:\n");
    std::FILE* file = open_output(state);
    if (file != nullptr) return file;
    std::fputs("\n--- Dateifehler ---\n", state.out);
  }
}

// Writes the list and closes the file. Returns true only when every byte
// reached it; the file is closed either way.
bool write_and_close(const SorterState& state, std::FILE* file) {
  const bool written = write_list(state, file) && std::fflush(file) == 0;
  return std::fclose(file) == 0 && written;
}

// After an overflow the user changes the medium and answers; the same output
// file is then opened again, or another name asked for when it cannot be.
std::FILE* reopen_after_overflow(SorterState& state) {
  std::fputs("\nUeberlauf: Neue Diskette einlegen.Dann Taste\n", state.out);
  read_answer(state);
  std::FILE* file = open_output(state);
  if (file != nullptr) return file;
  std::fputs("\n--- Dateifehler ---\n", state.out);
  return open_output_file(state);
}

void write_output(SorterState& state) {
  std::FILE* file = open_output_file(state);
  while (!write_and_close(state, file)) file = reopen_after_overflow(state);
}

}  // namespace

void scan_command_line(SorterState& state, int argc, const char* const* argv) {
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "-c") state.capitals_mode = true;
    if (argument != "-f") continue;
    if (i + 1 < argc) {
      state.filter_file_name = argv[i + 1];
      state.filter_named = true;
    } else {
      std::fputs("\n--- Filter File name missing after -f ---\n", state.out);
    }
  }
}

void run_sorter(SorterState& state, int argc, const char* const* argv) {
  write_start_lines(state);
  scan_command_line(state, argc, argv);
  if (state.filter_named) read_filter(state, state.filter_file_name);
  read_input_files(state);
  state.with_frequencies = is_yes(ask(state, "Frequenzen mit ausgeben? J/N:\n"));
  state.by_frequency = is_yes(ask(state, "nach Frequenzen sortieren? J/N\n"));
  write_output(state);
  std::fprintf(state.out, "Anz. Saetze: %ld\n", state.entry_count);
  std::fprintf(state.out, "Elim. Doppeleintraege: %d\n", state.duplicate_count);
}
