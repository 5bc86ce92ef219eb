// Mirask, the analyser: see analyser_run.hpp.
#include <unistd.h>

#include <cstdio>

#include "analyser/driver/analyser_run.hpp"

int main(int argc, char** argv) {
  // Output to a file or a pipe goes in large blocks (a terminal keeps its
  // line buffer); the sentence loop flushes whenever its input may wait.
  // The buffer is given: without one, the C library keeps the mode but
  // chooses the size itself (the device's block, often 4 KiB).
  static char output_block[1 << 16];
  if (isatty(STDOUT_FILENO) == 0) std::setvbuf(stdout, output_block, _IOFBF, sizeof output_block);
  analyser_state state;
  return run_analyser(state, argc, argv);
}
