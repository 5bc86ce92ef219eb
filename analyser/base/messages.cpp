#include "analyser/base/messages.hpp"

// Writes `text` with backslash-n and backslash-r expanded; any other escaped
// character, and a backslash at the very end, is dropped together with its
// backslash. Needs no memory, so a message can be shown whatever ran out.
static void write_expanded(const char* text, std::FILE* out) {
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '\\') {
      std::fputc(*p, out);
      continue;
    }
    if (p[1] == '\0') break;
    ++p;
    if (*p == 'n') std::fputc('\n', out);
    if (*p == 'r') std::fputc('\r', out);
  }
}

int show_message(const message_table& messages, std::FILE* out, int number) {
  for (const message_record* m = messages.head; m != nullptr; m = m->next) {
    if (m->number == number) {
      write_expanded(m->text, out);
      return 0;
    }
  }
  return -1;
}
