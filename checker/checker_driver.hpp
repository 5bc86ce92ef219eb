// The checker's driver: version and usage lines, the command line, opening
// the file and handing it to the lexicon or the rules check.
//
// Command line, options in any order:
//   -lexicon | -rules   the check to run (the later one wins)
//   -i FILE             the file to check
//   -h N                characters of a main category (default 4)
//   -u N                characters of a group name (default 3)
// The argument behind -h, -u or -i is compared with the options as well, so
// "-i -rules" names the file "-rules" and also selects the rules check.
#pragma once

#include "checker/checker_state.hpp"

// Writes the version line and the usage line.
void checker_usage(CheckerState& state);

// Sets the settings of `state` from the arguments argv[1] to argv[argc - 1].
// Unknown arguments are ignored; -h, -u or -i standing last has no value and
// changes nothing.
void scan_command_line(CheckerState& state, int argc, const char* const* argv);

// One run of the program: returns its exit status (0 correct file, 1 no file
// name, 2 file cannot be opened or read, 3 no mode). A syntax error in the
// file ends the run with a CheckerEnd carrying status -1.
int run_checker(CheckerState& state, int argc, const char* const* argv);
