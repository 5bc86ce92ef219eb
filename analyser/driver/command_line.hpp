// The analyser's banner, usage text and command-line options.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Writes the banner and the usage text; the first output of every run.
void show_usage(analyser_state& state);

// Sets the run-time settings from the options (argument 0 is the program).
// In every pass the current argument is compared with all eight options in
// the order "-c", "-t", "-v", "-a", "-tree", "-list", "-subcat", "-i"; a
// match does not end the pass. "-c" and "-i" take the argument behind the
// current one without moving on, so that value is examined as an option in
// the next pass; "-a" moves onto its value first, and the comparisons after
// it are made against that value. An option that takes a value but stands
// last is ignored. Values are taken whole, whatever their length. An added
// option (added_options.hpp) is recognised at the start of a pass and takes
// its value with it. Any other argument is ignored.
void scan_command_line(analyser_state& state, int argc, const char* const* argv);
