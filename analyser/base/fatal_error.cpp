#include "analyser/base/fatal_error.hpp"

#include <cstring>

namespace {
void copy_cut(char (&to)[kFatalTextCapacity + 1], const char* from) {
  std::strncpy(to, from, kFatalTextCapacity);
  to[kFatalTextCapacity] = '\0';
}
}  // namespace

void fatal_error(const char* text) { fatal_error_at(text, "", 0, 0); }

void fatal_error_at(const char* text, const char* file, long line, long column) {
  fatal_end end;
  copy_cut(end.text, text);
  copy_cut(end.file, file);
  end.line = line;
  end.column = column;
  throw end;
}
