#include "analyser/driver/analyser_run.hpp"

#include <chrono>
#include <memory>

#include "analyser/base/fatal_error.hpp"
#include "analyser/driver/added_options.hpp"
#include "analyser/driver/command_line.hpp"
#include "analyser/driver/console.hpp"
#include "analyser/driver/parallel_run.hpp"
#include "analyser/driver/sentence_reader.hpp"
#include "analyser/driver/startup.hpp"
#include "analyser/driver/suite_command.hpp"
#include "analyser/grammar/sentence_analysis.hpp"
#include "analyser/output/dot_writer.hpp"
#include "analyser/output/json_writer.hpp"
#include "analyser/output/penn_writer.hpp"
#include "analyser/output/printout.hpp"
#include "analyser/server/serve.hpp"

std::uint32_t clock_ms() {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(duration_cast<milliseconds>(since_epoch).count());
}

namespace {
// A run that ends without the fatal frame (--help, a test suite), with its
// exit status.
struct run_complete {
  int status;
};

// The end of the sentence loop, after the timing line: the "Ende" frame.
struct input_done {};

// True when nothing of the run looks at the nodes made after a sentence's
// first complete analysis: the node table (-list), the trace and -all do.
// (A count makes the nodes it needs itself: see analyse_sentence.)
bool first_analysis_is_enough(const analyser_state& state) {
  return !(state.output_flags & OUT_LIST) && state.trace_flag == 0 && !state.added.all_analyses;
}

// True when the run writes the number of complete analyses of a sentence.
bool counts_analyses(const analyser_state& state) {
  const added_settings& added = state.added;
  return added.count || added.format == result_format::json || !added.suite_file_name.empty();
}

}  // namespace

analysis_request request_of(const analyser_state& state) {
  analysis_request request;
  request.start_category = state.start_category;
  request.stop_at_first_analysis = first_analysis_is_enough(state);
  request.count_analyses = counts_analyses(state);
  request.node_limit = state.nodes.limit;
  return request;
}

namespace {
// The number of the sentence or unreadable line read last, from 1: records
// and graphs count both, so that they keep in step with the input's lines.
int line_number_of_record(const analyser_state& state) {
  return state.sentence_count + state.unreadable_lines;
}

// The analysis of an unreadable line: its number, the line as given and why
// it cannot be read; nothing else.
sentence_analysis unreadable_analysis(const line_read& line, node_list& nodes) {
  nodes.clear();
  sentence_analysis analysis;
  analysis.number = line.number;
  analysis.outcome = sentence_outcome::unreadable;
  analysis.as_read = line.as_read;
  analysis.as_read_utf8 = true;
  analysis.problem = line.problem;
  analysis.nodes = &nodes;
  return analysis;
}
}  // namespace

line_read last_line_read(const analyser_state& state, input_line kind) {
  if (kind == input_line::unreadable) {
    return {kind, line_number_of_record(state), nullptr, state.reading.unreadable_text,
            state.reading.problem};
  }
  return {kind, line_number_of_record(state), state.sentence_buffer,
          std::string_view(state.line_as_read, state.line_as_read_length), {}};
}

sentence_outcome analyse_line(const analyser_state& state, sentence_tools& tools,
                              const line_read& line) {
  if (line.kind == input_line::unreadable) {
    tools.writer.sentence_analysed(unreadable_analysis(line, tools.nodes));
    return sentence_outcome::unreadable;
  }
  tools.writer.sentence_read(line.number, line.sentence);
  sentence_analysis analysis =
      tools.analyser.analyse(line.sentence, tools.nodes, request_of(state), tools.log);
  analysis.number = line.number;
  analysis.as_read = line.as_read;
  // A number, and no "NULL" entry to read it with: the run cannot go on.
  if (analysis.outcome == sentence_outcome::no_number_reading) {
    fatal_error(" Kategorie NULL nicht definiert ");
  }
  tools.writer.sentence_analysed(analysis);
  return analysis.outcome;
}

bool analyse_next_sentence(analyser_state& state, FILE* stream, result_writer& writer) {
  const input_line kind =
      read_input_line(state, stream, state.sentence_buffer, kSentenceCapacity);
  if (kind == input_line::text_ended || kind == input_line::input_ended) return false;
  sentence_tools tools{state.analyser, state.nodes, state.log(), writer};
  const sentence_outcome outcome = analyse_line(state, tools, last_line_read(state, kind));
  if (state.reading.may_wait) {
    std::fflush(state.results);
    std::fflush(state.out);
  }
  if (state.console_input == 1 && kind == input_line::sentence &&
      outcome != sentence_outcome::no_words) {
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

}  // namespace

std::unique_ptr<result_writer> writer_of(const analyser_state& state, FILE* out, FILE* results) {
  const added_settings& added = state.added;
  const bool values = state.output_flags & OUT_SUBCAT;
  switch (added.format) {
    case result_format::json:
      return std::make_unique<json_writer>(
          results, record_settings{(state.output_flags & OUT_LIST) != 0, added.all_analyses,
                                         added.analysis_limit, added.why, &state.loaded.grammar,
                                         &state.loaded.lexicon});
    case result_format::penn:
      return std::make_unique<penn_writer>(results, values, added.all_analyses,
                                           added.analysis_limit);
    case result_format::dot:
      return std::make_unique<dot_writer>(results, added.all_analyses, added.analysis_limit);
    case result_format::printout:
      break;
  }
  printout_settings settings{state.output_flags, state.console_input == 0, added.all_analyses,
                             added.analysis_limit, added.count, added.why, added.words};
  log_output log = state.log();
  log.out = out;
  return std::make_unique<printout_writer>(state.loaded.messages, log, settings,
                                           printout_tables{&state.loaded.grammar, &state.loaded.lexicon});
}

namespace {

// Analyses sentence after sentence until the input ends.
void sentence_loop(analyser_state& state, FILE* stream) {
  // Console input stays on one thread: it waits for the user.
  const int threads = state.console_input == 0 ? batch_threads(state.added) : 1;
  if (threads > 1) {
    parallel_sentence_loop(state, stream, threads);
    report_unread_lines(state, stream);
    return;
  }
  const std::unique_ptr<result_writer> writer = writer_of(state, state.out, state.results);
  state.reading.may_wait = !is_regular_file(stream);
  while (analyse_next_sentence(state, stream, *writer)) {
  }
  writer->input_ended();
  // Every result stands before what follows on the other stream.
  std::fflush(state.results);
  report_unread_lines(state, stream);
}

// The options that end the run before any file is loaded: a misused
// command line, and --help.
void run_early_options(analyser_state& state) {
  if (state.added.misuse != nullptr) fatal_error(state.added.misuse);
  if (!state.added.help) return;
  print_help(state.out);
  std::fflush(state.out);
  throw run_complete{0};
}

[[noreturn]] void run(analyser_state& state, int argc, char** argv) {
  scan_command_line(state, argc, argv);
  if (machine_output(state.added)) state.out = state.errors;
  show_usage(state);
  run_early_options(state);
  if (!state.added.summary_files.empty()) throw run_complete{run_summary(state)};
  if (!state.added.serve_address.empty()) throw run_complete{run_server(state, argc, argv)};
  initialize_everything(state);
  if (!state.added.suite_file_name.empty()) throw run_complete{run_test_suite(state)};
  unique_file input = open_input_text(state);
  if (state.console_input) wait_for_user(state);
  const std::uint32_t start = clock_ms();
  sentence_loop(state, input != nullptr ? input.get() : state.console);
  input.reset();
  // The stamps wrap modulo 2^32; their difference is taken as a signed figure.
  const auto elapsed = static_cast<std::int32_t>(clock_ms() - start);
  std::fprintf(state.out, "\nZeit:%ld (ms) fuer %d Saetze\n", static_cast<long>(elapsed),
               state.sentence_count);
  throw input_done{};
}

// Writes the framed text of the end of a run and returns the status of a
// fatal end.
int end_run(analyser_state& state, const char* text) {
  std::fflush(state.results);  // the results of the sentences before the end come first
  std::fprintf(state.out, "\n\t\t------ %s ------\n", text);
  std::fflush(state.out);
  return kFatalStatus;
}
}  // namespace

int run_analyser(analyser_state& state, int argc, char** argv) {
  try {
    run(state, argc, argv);
  } catch (const run_complete& complete) {
    return complete.status;
  } catch (const input_done&) {
    end_run(state, "Ende");
    // The classic command lines end with 1 here too; an added option tells
    // this end from a fatal one.
    return state.added.given ? kNormalStatus : kFatalStatus;
  } catch (const fatal_end& end) {
    return end_run(state, end.text);
  } catch (const std::bad_alloc&) {
    return end_run(state, "malloc Fehler");
  }
}
