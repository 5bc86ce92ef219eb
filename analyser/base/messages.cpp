#include "analyser/base/messages.hpp"

#include "analyser/base/utf8_text.hpp"

// Writes `text` with backslash-n and backslash-r expanded; any other escaped
// character, and a backslash at the very end, is dropped together with its
// backslash. Needs no memory, so a message can be shown whatever ran out.
static void write_expanded(const char* text, std::FILE* out, bool utf8) {
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '\\') {
      write_text(out, reinterpret_cast<const unsigned char*>(p), 1, utf8);
      continue;
    }
    if (p[1] == '\0') break;
    ++p;
    if (*p == 'n') std::fputc('\n', out);
    if (*p == 'r') std::fputc('\r', out);
  }
}

int show_message(const message_table& messages, std::FILE* out, int number, bool utf8) {
  for (const message_record* m = messages.head; m != nullptr; m = m->next) {
    if (m->number == number) {
      write_expanded(m->text, out, utf8);
      return 0;
    }
  }
  return -1;
}
