#include "analyser/base/file_input.hpp"

unique_file open_text_file(const std::string& name) {
  return unique_file(std::fopen(name.c_str(), "r"));
}

bool read_line(FILE* stream, std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(stream)) != EOF) {
    line += static_cast<char>(c);
    if (c == '\n') break;
  }
  return !line.empty();
}

bool is_line_end_only(const std::string& line) { return line == "\n" || line == "\r\n"; }

void remove_line_end(std::string& line) {
  if (line.empty() || line.back() != '\n') return;
  line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
}
