// The run of the analyser: options, start-up, the sentence loop, the end.
#pragma once

#include <cstdint>

#include "analyser/driver/analyser_state.hpp"

// Millisecond stamp of the current calendar time: whole seconds times 1000
// plus the milliseconds, wrapping modulo 2^32. Only differences are meaningful.
std::uint32_t clock_ms();

// Runs the analyser on a fresh state and returns its exit status, which is 1
// in every case: the run always ends through fatal_error, normally with
// "Ende" after the timing line.
int run_analyser(AnalyserState& state, int argc, char** argv);
