// Quelvint: checks one lexicon file or one rules file of the analyser.
#include "checker/checker_driver.hpp"
#include "checker/text_routines.hpp"

int main(int argc, char** argv) {
  CheckerState state;
  try {
    return run_checker(state, argc, argv);
  } catch (const CheckerEnd& end) {
    return end.status;
  }
}
