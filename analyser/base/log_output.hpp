// Where a routine of the analyser writes what the user reads while it works:
// its warnings and, while tracing, its trace lines, and whether texts that
// come from the files are written in UTF-8 (utf8_text.hpp). Routines of every layer
// take it instead of the whole state, so their output stays interleaved in
// the order it is made.
//
// A caller that prints nothing (the library) leaves `out` null and traces
// nothing; it may still collect the loaders' warnings in `problems`.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// One thing a loader found wrong in a file and went on from (a line or a
// rule it skipped): where it is, from 1, and what it is.
struct load_problem {
  std::string file;
  long line = 0;
  long column = 0;
  std::string text;  // "rule 7 skipped (malformed)"
};

// The problems of the files loaded so far, and the name of the file being
// read, which each new problem is placed in.
struct problem_list {
  std::string file;
  std::vector<load_problem> problems;
};

struct log_output {
  std::FILE* out = stdout;  // null: nothing is written
  bool trace = false;
  bool utf8 = false;  // texts from the files are written in UTF-8
  problem_list* problems = nullptr;  // where warnings are also collected
};

// A loader's warning: `printed` goes to `log.out` (when there is one), and
// the problem at `line`:`column` of the file being read to `log.problems`
// (when it is kept).
void report_problem(const log_output& log, long line, long column, const std::string& text,
                    const std::string& printed);
