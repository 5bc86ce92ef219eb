// The start-up sequence of the command line: the configuration file and
// everything it names (the format: library/loaded_grammar.hpp).
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Asks for the configuration file name when state.config_file_name is empty,
// then loads, in this order, the messages, the two delimiter sets, the rules
// (message 3), the lexicon (message 4) and the endings (message 5), the
// names relative to the current folder. Returns only when everything is
// loaded; any failure ends the run through fatal_error. The configuration
// file stays open in state.config_file.
void initialize_everything(analyser_state& state);
