#include "analyser/driver/messages.hpp"

#include <climits>
#include <string>

#include "analyser/driver/file_input.hpp"
#include "analyser/driver/text_utils.hpp"

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

// Appends the message of one line (line end removed) to the list. A line
// must hold a blank, not at its start, and begin with a number.
static bool add_message(AnalyserState& state, const std::string& line) {
  const std::size_t blank = line.find(' ');
  long number = 0;
  if (blank == std::string::npos || blank == 0) return false;
  if (!leading_integer(line.c_str(), number)) return false;
  const std::string text = line.substr(blank + 1);
  auto* record = state.tables.make<message_record>();
  auto* copy = static_cast<char*>(state.tables.allocate(text.size() + 1));
  if (record == nullptr || copy == nullptr) return false;
  text.copy(copy, text.size());
  record->number = number < INT_MIN   ? INT_MIN
                   : number > INT_MAX ? INT_MAX
                                      : static_cast<int>(number);
  record->text = copy;
  if (state.message_list == nullptr) {
    state.message_list = record;
  } else {
    state.message_tail->next = record;
  }
  state.message_tail = record;
  return true;
}

bool read_message_file(AnalyserState& state, FILE* file) {
  std::string line;
  bool ok = true;
  while (ok && read_line(file, line)) {
    if (is_line_end_only(line)) continue;
    if (state.trace_flag) std::fputs(line.c_str(), state.out);
    remove_line_end(line);
    ok = add_message(state, line);
  }
  if (!ok || state.message_list == nullptr) {
    state.message_list = nullptr;
    state.message_tail = nullptr;
    return false;
  }
  return true;
}

bool read_messages(AnalyserState& state) {
  std::string name;
  if (!read_line(state.config_file, name)) return false;
  remove_line_end(name);
  unique_file file = open_text_file(name);
  if (file == nullptr) return false;
  return read_message_file(state, file.get());
}
