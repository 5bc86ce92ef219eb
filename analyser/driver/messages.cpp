#include "analyser/driver/messages.hpp"

#include <string>

// Expands backslash-n and backslash-r; any other escaped character, and a
// backslash at the very end, is dropped together with its backslash.
static std::string expand_escapes(const char* text) {
  std::string shown;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '\\') {
      shown += *p;
      continue;
    }
    if (p[1] == '\0') break;
    ++p;
    if (*p == 'n') shown += '\n';
    if (*p == 'r') shown += '\r';
  }
  return shown;
}

int show_message(AnalyserState& state, int number) {
  for (message_record* m = state.message_list; m != nullptr; m = m->next) {
    if (m->number == number) {
      std::string shown = expand_escapes(m->text);
      std::fwrite(shown.data(), 1, shown.size(), state.out);
      return 0;
    }
  }
  return -1;
}
