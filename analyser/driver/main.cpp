// Mirask, the analyser: see analyser_run.hpp.
#include <unistd.h>

#include <cstdio>

#include "analyser/driver/analyser_run.hpp"

int main(int argc, char** argv) {
  // Output to a file or a pipe goes in large blocks (a terminal keeps its
  // line buffer); the sentence loop flushes whenever its input may wait.
  if (isatty(STDOUT_FILENO) == 0) std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  analyser_state state;
  return run_analyser(state, argc, argv);
}
