// The run of the analyser: options, start-up, the sentence loop, the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "analyser/driver/analyser_state.hpp"
#include "analyser/driver/sentence_reader.hpp"
#include "analyser/output/result_writer.hpp"

// Millisecond stamp of the current calendar time: whole seconds times 1000
// plus the milliseconds, wrapping modulo 2^32. Only differences are meaningful.
std::uint32_t clock_ms();

// A line of the input as the reader left it: its number among the records
// (unreadable lines counted too) and the sentence made of it with the piece
// as read, or for an unreadable line the line as given and why.
struct line_read {
  input_line kind = input_line::sentence;  // sentence or unreadable
  int number = 0;
  const unsigned char* sentence = nullptr;
  std::string_view as_read;
  std::string_view problem;
};

// The line read last into state.sentence_buffer, of `kind`; valid until the
// next one is read.
line_read last_line_read(const analyser_state& state, input_line kind);

// What a line is analysed and written with: the run's own analyser, nodes
// and log, or those of one thread of a batch run.
struct sentence_tools {
  sentence_analyser& analyser;
  node_list& nodes;
  log_output log;
  result_writer& writer;
};

// What every sentence's analysis is asked for under the run's settings.
analysis_request request_of(const analyser_state& state);

// The writer of the run's results, as the options choose it: the printout
// and the messages go to `out`, machine-readable results to `results`.
std::unique_ptr<result_writer> writer_of(const analyser_state& state, FILE* out, FILE* results);

// Analyses `line` with `tools` and hands it to their writer, as every run
// does: numbered, timed, with the line as read. A number without a "NULL"
// entry ends the run. Returns the sentence's outcome.
sentence_outcome analyse_line(const analyser_state& state, sentence_tools& tools,
                              const line_read& line);

// One sentence turn: reads the next sentence from `stream`, has it analysed
// and handed to `writer`, and in console mode waits for the user after every
// sentence that holds a word. An unreadable line (-utf8) goes to the writer
// as an analysis with the outcome `unreadable` and nothing else. False when
// the input has ended. The nodes of the previous sentence are abandoned.
bool analyse_next_sentence(analyser_state& state, FILE* stream, result_writer& writer);

// Exit statuses of a run that analyses sentences: the command lines of the
// classic options end with kFatalStatus in every case; with an added option
// the normal end, "Ende" after the timing line, has kNormalStatus.
constexpr int kNormalStatus = 0;
constexpr int kFatalStatus = 1;

// Runs the analyser on a fresh state and returns its exit status. A run
// that analyses sentences always ends with a framed text, normally with
// "Ende" after the timing line; --help ends with 0, a test suite and a
// summary with their own statuses (test_suite.hpp).
int run_analyser(analyser_state& state, int argc, char** argv);
