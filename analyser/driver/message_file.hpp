// Loading the message file.
//
// Message file format: one message to a line, "<number> <text>": a decimal
// number (optionally signed) at the start of the line, characters up to the
// first blank ignored, then the text up to the line end. The text may hold
// the escapes backslash-n and backslash-r, expanded only when shown. Lines
// holding nothing but their line end are skipped. Lines are read whole,
// whatever their length.
#pragma once

#include <cstdio>

#include "analyser/driver/analyser_state.hpp"

// Reads the message file name from the next line of state.config_file and
// loads that file into state.messages. False on any failure (the line or the
// file missing, a bad line, no message at all, no memory); the list is then
// empty and the caller stops the program with "Message file".
bool read_messages(analyser_state& state);

// Loads the message lines of an open message file into `messages`, echoing
// each to `log.out` while tracing. Same result as read_messages.
bool read_message_file(message_table& messages, FILE* file, const log_output& log);
