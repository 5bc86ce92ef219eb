// The one way the analyser ends: a framed text, then exit status 1. Library
// code throws AnalyserEnd; only the program entry turns it into the status,
// so tests can watch a fatal end without losing the process.
#pragma once

#include "analyser/driver/analyser_state.hpp"

struct AnalyserEnd {
  int status;
};

// Writes "\n\t\t------ %s ------\n" with `text` to state.out and ends the run.
[[noreturn]] void fatal_error(AnalyserState& state, const char* text);
