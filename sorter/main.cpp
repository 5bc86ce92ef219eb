#include "sorter/sorter_driver.hpp"
#include "sorter/sorter_state.hpp"

int main(int argc, char** argv) {
  sorter_state state;
  try {
    return run_sorter(state, argc, argv);
  } catch (const sorter_end& end) {
    return end.status;
  }
}
