#include "analyser/driver/analyser_run.hpp"

#include <chrono>

#include "analyser/driver/command_line.hpp"
#include "analyser/driver/console.hpp"
#include "analyser/driver/fatal_error.hpp"
#include "analyser/driver/file_input.hpp"
#include "analyser/driver/sentence_reader.hpp"
#include "analyser/driver/startup.hpp"
#include "analyser/grammar/parser.hpp"
#include "analyser/lexicon/lex_analysis.hpp"

std::uint32_t clock_ms() {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(duration_cast<milliseconds>(since_epoch).count());
}

bool analyse_next_sentence(AnalyserState& state, FILE* stream) {
  const unsigned char* sentence =
      read_sentence(state, stream, state.sentence_buffer, kSentenceCapacity);
  if (sentence == nullptr) return false;
  state.sentence.reset();
  state.node_list = nullptr;
  state.node_tail = nullptr;
  state.word_count = lex_analysis(state, sentence);
  if (state.word_count > 0) parse_sentence(state);
  return true;
}

namespace {
// Opens the input text when one was named; null means console mode.
unique_file open_input_text(AnalyserState& state) {
  if (state.input_file_name.empty()) return nullptr;
  state.console_input = 0;
  unique_file input = open_text_file(state.input_file_name);
  if (input == nullptr) fatal_error(state, "Fehler: Inputtext-Datei nicht gefunden");
  return input;
}

// Analyses sentence after sentence until the input ends.
void sentence_loop(AnalyserState& state, FILE* stream) {
  while (analyse_next_sentence(state, stream)) {
  }
}

[[noreturn]] void run(AnalyserState& state, int argc, char** argv) {
  show_usage(state);
  scan_command_line(state, argc, argv);
  initialize_everything(state);
  unique_file input = open_input_text(state);
  if (state.console_input) wait_for_user(state);
  const std::uint32_t start = clock_ms();
  sentence_loop(state, input != nullptr ? input.get() : state.console);
  input.reset();
  // The stamps wrap modulo 2^32; their difference is taken as a signed figure.
  const auto elapsed = static_cast<std::int32_t>(clock_ms() - start);
  std::fprintf(state.out, "\nZeit:%ld (ms) fuer %d Saetze\n", static_cast<long>(elapsed),
               state.sentence_count);
  fatal_error(state, "Ende");
}
}  // namespace

int run_analyser(AnalyserState& state, int argc, char** argv) {
  try {
    run(state, argc, argv);
  } catch (const AnalyserEnd& end) {
    return end.status;
  }
}
