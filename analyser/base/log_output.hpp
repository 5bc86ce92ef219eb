// Where a routine of the analyser writes what the user reads while it works:
// its warnings and, while tracing, its trace lines, and whether texts that
// come from the files are written in UTF-8 (utf8_text.hpp). Routines of every layer
// take it instead of the whole state, so their output stays interleaved in
// the order it is made.
#pragma once

#include <cstdio>

struct log_output {
  std::FILE* out = stdout;
  bool trace = false;
  bool utf8 = false;  // texts from the files are written in UTF-8
};
