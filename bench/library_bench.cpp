// The library's side of bench/python_bench.py: the sentences of a file,
// repeated, parsed one after another by one analyser over the public API,
// as the Python module's parse_many does with one thread.
//
//   bench_library CONFIGURATION SENTENCES REPEATS
//
// Prints two lines, "parse US" and "parse+record US": the median over five
// runs of the microseconds per sentence for the parse alone and for the
// parse with its JSON record.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <mirask.hpp>

#include "bench/bench_clock.hpp"

namespace {
constexpr int kRuns = 5;

// Microseconds per sentence of one run over `sentences`.
double run_us(mirask::analyser& analyser, const std::vector<std::string>& sentences, bool record) {
  std::size_t bytes = 0;  // keeps the records from being optimised away
  const clock_type::time_point start = clock_type::now();
  for (const std::string& s : sentences) {
    const mirask::result r = analyser.parse(s);
    if (record) bytes += r.json().size();
  }
  const double us = seconds_since(start) * 1e6 / static_cast<double>(sentences.size());
  if (record && bytes == 0) std::fprintf(stderr, "no records\n");
  return us;
}

double median_us(mirask::analyser& analyser, const std::vector<std::string>& sentences,
                 bool record) {
  std::vector<double> runs;
  for (int i = 0; i < kRuns; ++i) runs.push_back(run_us(analyser, sentences, record));
  std::sort(runs.begin(), runs.end());
  return runs[kRuns / 2];
}
}  // namespace

int main(int argc, char** argv) {
  const long repeats = argc == 4 ? std::atol(argv[3]) : 0;
  if (repeats < 1) {
    std::fprintf(stderr, "usage: bench_library CONFIGURATION SENTENCES REPEATS\n");
    return 2;
  }
  std::vector<std::string> lines;
  std::ifstream in(argv[2]);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (lines.empty()) {
    std::fprintf(stderr, "bench_library: no sentences in %s\n", argv[2]);
    return 1;
  }
  std::vector<std::string> sentences;
  for (long r = 0; r < repeats; ++r) sentences.insert(sentences.end(), lines.begin(), lines.end());
  try {
    mirask::analyser analyser(mirask::grammar::load(argv[1]));
    std::printf("parse %.3f\n", median_us(analyser, sentences, false));
    std::printf("parse+record %.3f\n", median_us(analyser, sentences, true));
  } catch (const mirask::error& e) {
    std::fprintf(stderr, "bench_library: %s\n", e.what());
    return 1;
  }
  return 0;
}
