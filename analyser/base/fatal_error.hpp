// The one way the analyser ends: a text in the fatal frame, then exit status
// 1. Library code throws fatal_end; only the program's entry writes the frame
// and turns it into the status, so tests can watch a fatal end in-process,
// and the library turns it into an error of its own.
//
// Running out of memory takes the same way: storage that cannot be had
// throws std::bad_alloc (arena, containers and strings alike), and the
// routine that needed the memory turns it into its own framed text through
// needing_memory.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

// Characters of a fatal text (and of the name of the file it concerns) that
// are kept (the rest is cut).
constexpr std::size_t kFatalTextCapacity = 400;

// The framed text of an ending run, held in the exception itself, so that
// ending needs no memory; and, where one is known, the file it concerns
// with the line and column of the fault (0 when not known).
struct fatal_end {
  char text[kFatalTextCapacity + 1];
  char file[kFatalTextCapacity + 1];
  long line;
  long column;
};

// Ends the run with `text` in the fatal frame.
[[noreturn]] void fatal_error(const char* text);

// The same, for a fault of the file `file` at `line`:`column` (0: unknown).
[[noreturn]] void fatal_error_at(const char* text, const char* file, long line, long column);

// Runs `work` and returns what it returns; if memory runs out inside it,
// the run ends with `failure` in the fatal frame. The innermost routine
// that needed the memory names the failure.
template <typename Work>
decltype(auto) needing_memory(const char* failure, Work&& work) {
  try {
    return std::forward<Work>(work)();
  } catch (const std::bad_alloc&) {
    fatal_error(failure);
  }
}
