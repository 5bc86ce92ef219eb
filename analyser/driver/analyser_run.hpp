// The run of the analyser: options, start-up, the sentence loop, the end.
#pragma once

#include <cstdint>
#include <cstdio>

#include "analyser/driver/analyser_state.hpp"
#include "analyser/output/result_writer.hpp"

// Millisecond stamp of the current calendar time: whole seconds times 1000
// plus the milliseconds, wrapping modulo 2^32. Only differences are meaningful.
std::uint32_t clock_ms();

// The analysis of the sentence just read into state.sentence_buffer by
// read_sentence, as every run makes it: numbered (unreadable lines counted
// too), timed, with the line as read. Valid until the next sentence is read.
sentence_analysis analyse_read_sentence(analyser_state& state, const unsigned char* sentence);

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
