// Mirask-serve: the server that `Mirask -serve` runs (serve.hpp). Mirask has
// written the banner and checked the command line; run alone, this program
// checks it too.
#include "analyser/driver/command_line.hpp"
#include "analyser/server/serve.hpp"

int main(int argc, char** argv) {
  analyser_state state;
  scan_command_line(state, argc, argv);
  if (state.added.misuse != nullptr || state.added.serve_address.empty()) {
    std::fprintf(state.errors, "Mirask-serve: %s\n",
                 state.added.misuse != nullptr ? state.added.misuse
                                               : "usage: Mirask-serve -c CONFIG -serve [HOST:]PORT");
    return 1;
  }
  return run_server(state, argc, argv);
}
