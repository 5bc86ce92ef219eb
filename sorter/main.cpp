#include "sorter/sorter_driver.hpp"
#include "sorter/sorter_state.hpp"

int main(int argc, char** argv) {
  SorterState state;
  try {
    run_sorter(state, argc, argv);
  } catch (const SorterEnd& end) {
    return end.status;
  }
  return 0;
}
