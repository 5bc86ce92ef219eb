// The small routines both checks share: reading the file, the echo, the
// error report, the start of a new line or rule part, and text helpers.
#pragma once

#include <string>
#include <string_view>

#include "checker/checker_state.hpp"

// Thrown by `report_error` once the report is written: the check gives up the
// current lexicon line or rule, and goes on behind it only with "-all".
struct error_reported {};

// Reports `message` for the place the check has reached and throws
// error_reported. The report is "\n\n+++++ %s ++++++\n" behind the echo, or
// with "-gnu" a line "FILE:LINE:COLUMN: error: MESSAGE". Errors past
// `max_errors` are only counted.
[[noreturn]] void report_error(checker_state& state, const char* message);

// True when the next error will be written, not only counted.
bool next_report_shown(const checker_state& state);

// The next character of the file (EOF at its end). A UTF-8 sequence that
// gives no character is reported, with its place and bytes, as an error.
int read_char(checker_state& state);

// The echo: nothing with "-gnu"; with "-utf8" each byte in its UTF-8 form.
void echo_char(checker_state& state, unsigned char c);
void echo_text(checker_state& state, std::string_view text);
// Echoes a character the check does not act on; a fault as its bytes.
void echo_input(checker_state& state, const input_char& read);

// Resets the line state (counts to zero, empty frame text) and echoes a line
// feed, which breaks the echo after each lexicon line or rule part.
void start_line(checker_state& state);

// Position, counting from 1, of the first `c` in the terminated `set`, or 0
// when it does not occur. The terminator itself is never found.
int char_position(unsigned char c, const char* set);

// The first character of `text` as a signed byte, 0 for an empty text, as
// both sort tests compare it.
signed char first_char(std::string_view text);

void append_char(std::string& text, unsigned char c);
void append_text(std::string& text, std::string_view more);
