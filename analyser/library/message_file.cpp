#include "analyser/library/message_file.hpp"

#include <climits>
#include <new>
#include <string>

#include "analyser/base/file_input.hpp"
#include "analyser/base/linked_list.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
// Appends the message of one line (line end removed) to the list. A line
// must hold a blank, not at its start, and begin with a number.
bool add_message(message_table& messages, const std::string& line) {
  const std::size_t blank = line.find(' ');
  long number = 0;
  if (blank == std::string::npos || blank == 0) return false;
  if (!leading_integer(line.c_str(), number)) return false;
  const std::string text = line.substr(blank + 1);
  auto* record = messages.storage.make<message_record>();
  auto* copy = static_cast<char*>(messages.storage.allocate(text.size() + 1));
  text.copy(copy, text.size());
  record->number = number < INT_MIN   ? INT_MIN
                   : number > INT_MAX ? INT_MAX
                                      : static_cast<int>(number);
  record->text = copy;
  append_record(messages.head, messages.tail, record);
  return true;
}

bool read_message_lines(message_table& messages, FILE* file, const log_output& log) {
  std::string line;
  while (read_line(file, line)) {
    if (is_line_end_only(line)) continue;
    if (log.trace) write_text(log.out, line.c_str(), log.utf8);
    remove_line_end(line);
    if (!add_message(messages, line)) return false;
  }
  return messages.head != nullptr;
}
}  // namespace

// Running out of memory is one more way the message file fails to load.
bool read_message_file(message_table& messages, FILE* file, const log_output& log) {
  bool loaded = false;
  try {
    loaded = read_message_lines(messages, file, log);
  } catch (const std::bad_alloc&) {
  }
  if (!loaded) {
    messages.head = nullptr;
    messages.tail = nullptr;
  }
  return loaded;
}
