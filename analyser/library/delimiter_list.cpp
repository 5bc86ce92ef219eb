#include "analyser/library/delimiter_list.hpp"

#include "analyser/base/text_utils.hpp"

namespace {
constexpr long kByteMask = 0xFF;
}  // namespace

int next_list_item(const char* text, std::string& item) {
  item.clear();
  int count = 0;
  for (; text[count] != '\0' && text[count] != ',' && text[count] != '\r' && text[count] != '\n';
       ++count) {
    item += text[count];
  }
  return text[count] == ',' ? count + 1 : count;
}

void read_char_list(const char* line, unsigned char (&set)[kDelimiterSetSize]) {
  int size = 0;
  set[0] = 0;
  std::string item;
  const char* p = line;
  do {
    p += next_list_item(p, item);
    long code = 0;
    if (!leading_integer(item.c_str(), code)) continue;
    const auto c = static_cast<unsigned char>(code & kByteMask);
    if (c == 0) return;
    if (in_char_set(set, c) || size + 1 >= kDelimiterSetSize) continue;
    set[size++] = c;
    set[size] = 0;
  } while (*p != '\0' && *p != '\r' && *p != '\n');
}
