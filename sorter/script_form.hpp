// The sorter's script form: the dialogue's run with its answers taken from
// the command line. It writes no start lines and no prompts, but every
// progress line, message and final count that the dialogue writes between
// them, where the dialogue writes them; when the output is standard output,
// which then carries the list alone, everything that would go there goes to
// standard error instead. Where the dialogue would ask again or wait for a
// key, the script form reports the problem, naming the file, and ends with
// kScriptProblemStatus.
#pragma once

struct sorter_state;
struct script_command;

// Exit status of a script run that met a problem: an input file, the
// filter file or a UTF-8 line that could not be read in full, memory that
// ran out, an output file that could not be written.
constexpr int kScriptProblemStatus = 1;

// Runs the script form of `command` on `state`, as the dialogue would run
// with the same answers: the filter file, then each input in order ("-":
// state.console), then the output ("-": state.out), then the final counts.
// An input that cannot be opened or read to its end is reported and the
// run goes on, as the dialogue goes on to the next name; an output that
// cannot be opened or written in full ends the run without the counts.
// Every input is read before the output is opened, so the output may be one
// of them. An output file is replaced only by a complete list of a run
// without problems (see replacement); after a problem with the inputs an
// existing output file stays as it was, and only where there is none is the
// list of what could be read written. Progress lines go to state.err while
// it is a terminal, else nowhere. Returns 0, or kScriptProblemStatus after
// any problem.
int run_script(sorter_state& state, const script_command& command);
