#include "analyser/base/fatal_error.hpp"

void fatal_error(const char* text) { throw fatal_end{text}; }
