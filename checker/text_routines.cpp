#include "checker/text_routines.hpp"

#include <cstring>

namespace {

// Writes one report. `name_place` puts the file and place in front of the
// message in the echo form too, for faults of UTF-8 text, whose bytes the echo
// cannot show.
void write_report(checker_state& state, std::string_view message, bool name_place) {
  const text_position at = state.input.position();
  const int length = static_cast<int>(message.size());
  if (state.gnu_form) {
    std::fprintf(state.out, "%s:%lld:%lld: error: %.*s\n", state.file_name.c_str(), at.line,
                 at.column, length, message.data());
  } else if (name_place) {
    std::fprintf(state.out, "\n\n+++++ %s:%lld:%lld: %.*s ++++++\n", state.file_name.c_str(),
                 at.line, at.column, length, message.data());
  } else {
    std::fprintf(state.out, "\n\n+++++ %.*s ++++++\n", length, message.data());
  }
  std::fflush(state.out);
}

[[noreturn]] void record_error(checker_state& state, std::string_view message, bool name_place) {
  if (next_report_shown(state)) write_report(state, message, name_place);
  ++state.errors_found;
  throw error_reported{};
}

}  // namespace

void report_error(checker_state& state, const char* message) { record_error(state, message, false); }

bool next_report_shown(const checker_state& state) {
  return state.max_errors == 0 || state.errors_found < state.max_errors;
}

int read_char(checker_state& state) {
  const input_char read = state.input.next();
  if (read.c == kFaultyChar) record_error(state, fault_message(read.decoded, read.sequence()), true);
  return read.c;
}

void echo_char(checker_state& state, unsigned char c) {
  if (state.gnu_form) return;
  if (!state.utf8_text) {
    std::fputc(c, state.out);
    return;
  }
  char utf8[kMaxEncodedLength];
  std::fwrite(utf8, 1, encode_utf8(c, utf8), state.out);
}

void echo_text(checker_state& state, std::string_view text) {
  for (const char c : text) echo_char(state, static_cast<unsigned char>(c));
}

void echo_input(checker_state& state, const input_char& read) {
  if (read.c != kFaultyChar) {
    echo_char(state, static_cast<unsigned char>(read.c));
  } else if (!state.gnu_form) {
    std::fwrite(read.bytes, 1, read.length, state.out);
  }
}

void start_line(checker_state& state) {
  state.line = line_state{};
  echo_char(state, '\n');
}

int char_position(unsigned char c, const char* set) {
  if (c == 0) return 0;
  const char* found = std::strchr(set, c);
  return found == nullptr ? 0 : static_cast<int>(found - set) + 1;
}

signed char first_char(std::string_view text) {
  return text.empty() ? 0 : static_cast<signed char>(text[0]);
}

void append_char(std::string& text, unsigned char c) { text.push_back(static_cast<char>(c)); }

void append_text(std::string& text, std::string_view more) { text.append(more); }
