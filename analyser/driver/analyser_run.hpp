// The run of the analyser: options, start-up, the sentence loop, the end.
#pragma once

#include <cstdint>
#include <cstdio>

#include "analyser/driver/analyser_state.hpp"

// Millisecond stamp of the current calendar time: whole seconds times 1000
// plus the milliseconds, wrapping modulo 2^32. Only differences are meaningful.
std::uint32_t clock_ms();

// Reads the next sentence from `stream`, looks its words up, parses it and
// prints the results; false when the input has ended. The nodes of the
// previous sentence are abandoned first.
bool analyse_next_sentence(AnalyserState& state, FILE* stream);

// Runs the analyser on a fresh state and returns its exit status, which is 1
// in every case: the run always ends through fatal_error, normally with
// "Ende" after the timing line.
int run_analyser(AnalyserState& state, int argc, char** argv);
