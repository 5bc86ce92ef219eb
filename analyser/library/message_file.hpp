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

#include "analyser/base/log_output.hpp"
#include "analyser/base/messages.hpp"

// Loads the message lines of an open message file into `messages`, echoing
// each to `log.out` while tracing. False on any failure (a bad line, no
// message at all, no memory); the list is then empty and the loader stops
// with "Message file".
bool read_message_file(message_table& messages, FILE* file, const log_output& log);
