#include "analyser/driver/analyser_run.hpp"

#include <chrono>

#include "analyser/base/fatal_error.hpp"
#include "analyser/driver/command_line.hpp"
#include "analyser/driver/console.hpp"
#include "analyser/driver/sentence_reader.hpp"
#include "analyser/driver/startup.hpp"
#include "analyser/grammar/sentence_analysis.hpp"
#include "analyser/output/printout.hpp"

std::uint32_t clock_ms() {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(duration_cast<milliseconds>(since_epoch).count());
}

namespace {
using steady = std::chrono::steady_clock;

// What the analysis of every sentence works with: the loaded tables and the
// settings of the run. Nothing asks for the nodes made after the first
// complete analysis unless the node table or the trace shows them.
analysis_setup setup_of(const analyser_state& state) {
  analysis_setup setup{state.lexicon, state.grammar, state.word_end_chars, state.start_category,
                       state.log()};
  setup.stop_at_first_analysis = false;
  return setup;
}

long microseconds_since(steady::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(steady::now() - start).count());
}
}  // namespace

bool analyse_next_sentence(analyser_state& state, FILE* stream, result_writer& writer) {
  const unsigned char* sentence =
      read_sentence(state, stream, state.sentence_buffer, kSentenceCapacity);
  if (sentence == nullptr) return false;
  writer.sentence_read(state.sentence_count, sentence);
  const steady::time_point start = steady::now();
  sentence_analysis analysis = analyse_sentence(setup_of(state), state.nodes, sentence);
  analysis.time_us = microseconds_since(start);
  analysis.number = state.sentence_count;
  writer.sentence_analysed(analysis);
  if (state.console_input == 1 && analysis.outcome != sentence_outcome::no_words) {
    wait_for_user(state);
  }
  return true;
}

namespace {
// Opens the input text when one was named; null means console mode.
unique_file open_input_text(analyser_state& state) {
  if (state.input_file_name.empty()) return nullptr;
  state.console_input = 0;
  unique_file input = open_text_file(state.input_file_name);
  if (input == nullptr) fatal_error("Fehler: Inputtext-Datei nicht gefunden");
  return input;
}

// Analyses sentence after sentence until the input ends.
void sentence_loop(analyser_state& state, FILE* stream) {
  printout_writer printout(state.messages, state.log(), state.output_flags,
                           state.console_input == 0);
  while (analyse_next_sentence(state, stream, printout)) {
  }
  printout.input_ended();
}

[[noreturn]] void run(analyser_state& state, int argc, char** argv) {
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
  fatal_error("Ende");
}

// Writes the framed text of the end of a run.
int end_run(analyser_state& state, const char* text) {
  std::fprintf(state.out, "\n\t\t------ %s ------\n", text);
  std::fflush(state.out);
  return 1;
}
}  // namespace

int run_analyser(analyser_state& state, int argc, char** argv) {
  try {
    run(state, argc, argv);
  } catch (const fatal_end& end) {
    return end_run(state, end.text);
  } catch (const std::bad_alloc&) {
    return end_run(state, "malloc Fehler");
  }
}
