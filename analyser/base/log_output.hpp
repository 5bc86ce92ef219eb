// Where a routine of the analyser writes what the user reads while it works:
// its warnings and, while tracing, its trace lines. Routines of every layer
// take it instead of the whole state, so their output stays interleaved in
// the order it is made.
#pragma once

#include <cstdio>

struct log_output {
  std::FILE* out = stdout;
  bool trace = false;
};
