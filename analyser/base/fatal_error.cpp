#include "analyser/base/fatal_error.hpp"

#include <cstring>

void fatal_error(const char* text) {
  fatal_end end;
  std::strncpy(end.text, text, kFatalTextCapacity);
  end.text[kFatalTextCapacity] = '\0';
  throw end;
}
