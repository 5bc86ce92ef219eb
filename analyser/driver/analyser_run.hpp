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
// read_sentence, as every run makes it: numbered, timed, with the line as
// read. Valid until the next sentence is read.
sentence_analysis analyse_read_sentence(analyser_state& state, const unsigned char* sentence);

// One sentence turn: reads the next sentence from `stream`, has it analysed
// and handed to `writer`, and in console mode waits for the user after every
// sentence that holds a word. False when the input has ended. The nodes of
// the previous sentence are abandoned.
bool analyse_next_sentence(analyser_state& state, FILE* stream, result_writer& writer);

// Runs the analyser on a fresh state and returns its exit status, which is 1
// in every case: the run always ends with a framed text, normally with "Ende"
// after the timing line.
int run_analyser(analyser_state& state, int argc, char** argv);
