// The sorter's run: the form its command line asks for (see command_line),
// and in the dialogue's form the start lines, the filter file, the console
// dialogue with its input phase, the output pass and the final counts.
#pragma once

struct sorter_state;

// How a run ends early. Only the program entry turns it into the exit status.
struct sorter_end {
  int status;
};

// Exit status when the console input ends before the dialogue is complete:
// no output file was written in full.
constexpr int kConsoleEndStatus = 1;

// Exit status when memory runs out outside the reading of a word list,
// which goes on without the rest of that list (see read_word_list).
constexpr int kMemoryStatus = 1;

// Runs the whole program on `state` and returns its exit status: 0 after
// the dialogue's final counts; that of the script form (see run_script); 0
// after the usage for --help; kMisuseStatus after a misused script form;
// kMemoryStatus, after "\n--- Speichermangel ---\n" on state.err, when
// memory runs out for a console answer or a filter line. Throws sorter_end
// when the console input ends before the dialogue is complete, after writing
// "\n--- Ende der Konsoleneingabe ---\n".
int run_sorter(sorter_state& state, int argc, const char* const* argv);
