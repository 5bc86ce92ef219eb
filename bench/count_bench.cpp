// Exact analysis counts over the packed chart, on sentences whose node list
// could never be built:
//
//   bench_count [examples_dir]
//
// 1. "ambiguous": one category, the one rule XXXX + XXXX = XXXX and a
//    one-word lexicon; a sentence of n words has C(n-1) analyses (the
//    Catalan numbers), checked against the recurrence.
// 2. "german": the bundled example grammar, lexicon and endings (examples/)
//    and "ER SIEHT DEN MANN" followed by k prepositional phrases.
//
// One Markdown row per sentence: n (words, or phrases), the word positions,
// the analyses of the start category "SATZ", the nodes a full parse would
// make (count_nodes), and the median time of count_analyses over repeated
// runs. A wrong Catalan number is printed as a failure and ends with status 1.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "analyser/base/big_count.hpp"
#include "analyser/grammar/analysis_count.hpp"
#include "bench/bench_clock.hpp"
#include "bench/bench_grammar.hpp"

namespace {
using namespace bench;

constexpr int kAmbiguousWords[] = {10, 15, 20, 30, 40};
constexpr int kPhraseCounts[] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 20, 25, 30};
// Every sentence runs at least kMinRuns times and until kMinSeconds are
// measured (at most kMaxRuns); the median counts.
constexpr int kMinRuns = 5;
constexpr int kMaxRuns = 2000;
constexpr double kMinSeconds = 0.3;

struct row_result {
  int positions = 0;
  analysis_count analyses;
  analysis_count nodes;
  double median_ms = 0;
};

std::string text_of(const analysis_count& count) {
  return count.unbounded ? "unbounded" : count.value.to_decimal();
}

row_result measure(analyser_state& state, const std::string& sentence, const char* start) {
  row_result r;
  r.positions = start_sentence(state, sentence);
  const analysis_target target{reinterpret_cast<const unsigned char*>(start),
                               static_cast<int>(std::char_traits<char>::length(start)),
                               r.positions};
  std::vector<double> times;
  double measured = 0;
  while (static_cast<int>(times.size()) < kMaxRuns &&
         (static_cast<int>(times.size()) < kMinRuns || measured < kMinSeconds)) {
    const clock_type::time_point begin = clock_type::now();
    r.analyses = count_analyses(state.loaded.grammar, state.nodes.head, target);
    times.push_back(seconds_since(begin));
    measured += times.back();
  }
  std::sort(times.begin(), times.end());
  r.median_ms = times[times.size() / 2] * 1e3;
  r.nodes = count_nodes(state.loaded.grammar, state.nodes.head);
  return r;
}

void print_row(const char* name, int n, const row_result& r, const char* note) {
  std::printf("| %-9s | %2d | %3d | %s | %s | %.3f |%s\n", name, n, r.positions,
              text_of(r.analyses).c_str(), text_of(r.nodes).c_str(), r.median_ms, note);
}

// C(0) .. C(count - 1) by C(k+1) = sum C(i) C(k-i).
std::vector<big_count> catalan_numbers(int count) {
  std::vector<big_count> catalan{big_count(1)};
  for (int k = 0; k + 1 < count; ++k) {
    big_count next;
    for (int i = 0; i <= k; ++i) next.add_product(catalan[i], catalan[k - i]);
    catalan.push_back(next);
  }
  return catalan;
}

// The ambiguous rows; false when a count is not the Catalan number.
bool ambiguous_rows() {
  const std::vector<big_count> catalan = catalan_numbers(kAmbiguousWords[4]);
  bool all_right = true;
  for (int n : kAmbiguousWords) {
    std::unique_ptr<analyser_state> state = load_ambiguous();
    const row_result r = measure(*state, ambiguous_sentence(n), "XXXX");
    const bool right = !r.analyses.unbounded && r.analyses.value == catalan[n - 1];
    print_row("ambiguous", n, r, right ? "" : " FAILED: not the Catalan number");
    if (!right) {
      std::printf("FAILED: %d words: %s analyses, C(%d) = %s\n", n, text_of(r.analyses).c_str(),
                  n - 1, catalan[n - 1].to_decimal().c_str());
    }
    all_right = all_right && right;
  }
  return all_right;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string examples = argc > 1 ? argv[1] : MIRASK_EXAMPLES_DIR;
  std::printf(
      "| sentence  |  n | positions | analyses | nodes of a full parse | ms (median) |\n"
      "|-----------|---:|----------:|---------:|----------------------:|------------:|\n");
  const bool all_right = ambiguous_rows();
  std::unique_ptr<analyser_state> german = load_german(examples);
  for (int k : kPhraseCounts)
    print_row("german", k, measure(*german, german_sentence(k), "SATZ"), "");
  if (!all_right) std::printf("FAILED: Catalan numbers differ\n");
  return all_right ? 0 : 1;
}
