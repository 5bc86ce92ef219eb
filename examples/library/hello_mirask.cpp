// Analyses the sentences of standard input with a grammar and prints, for
// each, its outcome, its number of analyses and its first analysis:
//   hello_mirask CONFIGURATION < SENTENCES
#include <iostream>
#include <string>

#include <mirask.hpp>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: hello_mirask CONFIGURATION < SENTENCES\n";
    return 2;
  }
  try {
    const mirask::grammar grammar = mirask::grammar::load(argv[1]);
    mirask::analyser analyser(grammar);
    for (std::string line; std::getline(std::cin, line);) {
      const mirask::result r = analyser.parse(line);
      std::cout << mirask::outcome_name(r.outcome());
      if (r.count()) std::cout << ' ' << r.count()->digits;
      std::cout << ' ' << r.brackets() << '\n';
    }
  } catch (const mirask::error& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
