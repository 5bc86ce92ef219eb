// The checker's driver: version and usage lines, the command line, opening
// the file, handing it to the lexicon or the rules check, and the closing
// lines.
//
// Command line, options in any order:
//   -lexicon | -rules   the check to run (the later one wins)
//   -i FILE             the file to check
//   -h N                characters of a main category (default 4)
//   -u N                characters of a group name (default 3)
//   -all                report every error, not only the first
//   -gnu                no echo; each error as "FILE:LINE:COLUMN: error: TEXT"
//   -max-errors N       with -all, write at most N reports (default 100,
//                       0 for all); the rest are counted
//   -utf8               the file is UTF-8 text
//   -c CONFIG           check the whole grammar the configuration names
//                       (grammar_run.hpp), without -lexicon, -rules and -i
//   -a CATEGORY         with -c, the start category (default SATZ)
//   -Werror             with -c, warnings count as errors
//   --help              every option, one line each
// The argument behind -h, -u or -i is compared with the first five options
// as well, so "-i -rules" names the file "-rules" and also selects the rules
// check. The later options are never taken from there: "-i -gnu" only names
// the file "-gnu", as it did before these options existed; nor from behind
// -c or -a, which take the argument behind them as their value.
#pragma once

#include "checker/checker_state.hpp"

// Writes the version line and the usage line.
void checker_usage(checker_state& state);

// Sets the settings of `state` from the arguments argv[1] to argv[argc - 1].
// Unknown arguments are ignored; -h, -u or -i standing last has no value and
// changes nothing. A value behind -max-errors that is not a whole number of
// 0 or more (or none) sets `max_errors_unreadable`.
void scan_command_line(checker_state& state, int argc, const char* const* argv);

// One run of the program: returns its exit status (0 correct file or
// grammar, -1 syntax error or a grammar with errors, 1 no file name, 2 file
// cannot be opened or read, 3 no mode, 4 an unreadable -max-errors value or
// -c with -lexicon, -rules or -i).
int run_checker(checker_state& state, int argc, const char* const* argv);
