// Numbered messages of the message file.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Loads the message file named by the next configuration line into
// state.message_list; returns false on any failure (the caller stops the
// program with "Message file").
bool read_messages(AnalyserState& state);

// Writes message `number` (the first record with that number) with its
// backslash escapes expanded; returns 0, or -1 when there is no such message.
int show_message(AnalyserState& state, int number);
