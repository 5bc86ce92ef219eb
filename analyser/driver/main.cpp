// Mirask, the analyser: see analyser_run.hpp.
#include "analyser/driver/analyser_run.hpp"

int main(int argc, char** argv) {
  analyser_state state;
  return run_analyser(state, argc, argv);
}
