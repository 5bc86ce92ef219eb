// The start-up sequence: the configuration file and everything it names.
//
// Configuration file, six lines, none skipped:
//   1 message file name          4 rules file name
//   2 word delimiter codes       5 lexicon file name
//   3 sentence delimiter codes   6 endings file name
// A delimiter line is a list of decimal character codes separated by commas,
// e.g. "32,44,46". Lines are read whole, whatever their length; the line end
// (LF, or CR LF) of a name line is removed, and a last line without one keeps
// all its characters.
#pragma once

#include <string>

#include "analyser/driver/analyser_state.hpp"

// Asks for the configuration file name when state.config_file_name is empty,
// then loads, in this order, the messages, the two delimiter sets, the rules
// (message 3), the lexicon (message 4) and the endings (message 5). Returns
// only when everything is loaded; any failure ends the run through
// fatal_error. The configuration file stays open in state.config_file.
void initialize_everything(analyser_state& state);

// Decodes a delimiter line into the terminated set `set`: each item's leading
// decimal number contributes its low 8 bits. An item without a number adds
// nothing; a code already in the set adds nothing (so every set fits); the
// code 0 ends the set. The list ends at the end of the text, a CR or an LF.
void read_char_list(const char* line, unsigned char (&set)[kDelimiterSetSize]);

// Copies the characters of `text` up to the first comma, CR, LF or end of
// text into `item`; returns how far to advance: the characters copied, plus
// one when a comma stopped the copy.
int next_list_item(const char* text, std::string& item);
