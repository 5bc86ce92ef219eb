// Quelvint: checks one lexicon file or one rules file of the analyser.
#include <cstdio>
#include <new>

#include "checker/checker_driver.hpp"

int main(int argc, char** argv) {
  checker_state state;
  try {
    return run_checker(state, argc, argv);
  } catch (const std::bad_alloc&) {
    // The table of frames grows with the file: a file too large to check
    // must not pass, nor end in an abort.
    std::fputs("\nERROR: out of memory\n", stdout);
    return kStatusCannotOpen;
  }
}
