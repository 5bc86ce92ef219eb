// The sorter's run: start lines, command line, filter file, the console
// dialogue with its input phase, the output pass and the final counts.
#pragma once

struct SorterState;

// How a run ends early. Only the program entry turns it into the exit status.
struct SorterEnd {
  int status;
};

// Exit status when the console input ends before the dialogue is complete:
// no output file was written in full.
constexpr int kConsoleEndStatus = 1;

// Scans the command line, the program name included: "-c" turns
// capitals_mode on, "-f" names the filter file with the argument behind it.
// That argument is itself scanned as well. A "-f" with nothing behind it is
// reported and leaves the filter file as it was. Other arguments are ignored.
void scan_command_line(SorterState& state, int argc, const char* const* argv);

// Runs the whole program on `state`. Returns normally after the final counts
// (exit status 0); throws SorterEnd when the console input ends first, after
// writing "\n--- Ende der Konsoleneingabe ---\n".
void run_sorter(SorterState& state, int argc, const char* const* argv);
