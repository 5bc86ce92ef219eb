#include "analyser/driver/fatal_error.hpp"

void fatal_error(AnalyserState& state, const char* text) {
  std::fprintf(state.out, "\n\t\t------ %s ------\n", text);
  std::fflush(state.out);
  throw AnalyserEnd{1};
}
