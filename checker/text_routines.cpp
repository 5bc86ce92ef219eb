#include "checker/text_routines.hpp"

#include <cstring>

void report_error(CheckerState& state, const char* message) {
  std::fprintf(state.out, "\n\n+++++ %s ++++++\n", message);
  std::fflush(state.out);
  throw CheckerEnd{kStatusSyntaxError};
}

void start_line(CheckerState& state) {
  state.line = LineState{};
  std::fputc('\n', state.out);
}

int char_position(unsigned char c, const char* set) {
  if (c == 0) return 0;
  const char* found = std::strchr(set, c);
  return found == nullptr ? 0 : static_cast<int>(found - set) + 1;
}

void append_char(std::string& text, unsigned char c) { text.push_back(static_cast<char>(c)); }

void append_text(std::string& text, std::string_view more) { text.append(more); }
