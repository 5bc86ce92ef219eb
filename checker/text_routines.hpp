// The small routines both checks share: the error report that ends a run,
// the start of a new line or rule part, and terminated-text helpers.
#pragma once

#include <string>
#include <string_view>

#include "checker/checker_state.hpp"

// Thrown by `report_error`; the program entry turns it into the exit status.
struct CheckerEnd {
  int status;
};

// Writes "\n\n+++++ %s ++++++\n" with `message` and ends the run with
// exit status -1. Every error a check finds ends the run here.
[[noreturn]] void report_error(CheckerState& state, const char* message);

// Resets the line state (counts to zero, empty frame text) and writes a line
// feed, which breaks the echo after each lexicon line or rule part.
void start_line(CheckerState& state);

// Position, counting from 1, of the first `c` in the terminated `set`, or 0
// when it does not occur. The terminator itself is never found.
int char_position(unsigned char c, const char* set);

void append_char(std::string& text, unsigned char c);
void append_text(std::string& text, std::string_view more);
