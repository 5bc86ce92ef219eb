// The indexed parser against the reference parser on two kinds of sentence:
//
//   bench_parser [max_words [max_phrases [budget_seconds [examples_dir]]]]
//
// 1. "ambiguous": one category, the one rule XXXX + XXXX = XXXX and a
//    one-word lexicon; a sentence of n words (n = 6 .. max_words, default 15)
//    has one node for every binary bracketing of every stretch of words, so
//    the node count grows like the Catalan numbers (about 10^5 at 12 words).
// 2. "german": the bundled example grammar, lexicon and endings (examples/)
//    and the sentence "ER SIEHT DEN MANN" followed by k prepositional phrases
//    (k = 4 .. max_phrases, default 14), each of which may attach to any noun
//    phrase before it or to the verb phrase.
//
// For each sentence a row: the nodes made; the time of the indexed parser
// (the best of several runs) and its nanoseconds per node; bytes per node,
// that is the storage reserved for the sentence (nodes and value sets) and
// the parser's side tables, over the nodes; the growth of the resident
// memory from before the parse to its peak, per node and in all; the time of
// the reference parser and the ratio of the two. Every measurement runs in a
// child process of its own, so that the peak is that of one sentence. The
// reference is stopped by an alarm after `budget_seconds` (default 60; 0
// runs no reference): the row then shows "> budget" and the ratio that the
// budget implies, and the reference is not tried on longer sentences.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "analyser/grammar/chart_parser.hpp"
#include "analyser/grammar/reference_parser.hpp"
#include "bench/bench_clock.hpp"
#include "bench/bench_grammar.hpp"

namespace {
using namespace bench;

constexpr int kFirstWordCount = 6;
constexpr int kDefaultMaxWords = 15;
constexpr int kFirstPhraseCount = 4;
constexpr int kDefaultMaxPhrases = 14;
constexpr int kDefaultBudgetSeconds = 60;
// The indexed parser runs at least kMinRepetitions times and until
// kMinMeasuredSeconds have been measured; the best run counts.
constexpr int kMinRepetitions = 3;
constexpr int kMaxRepetitions = 200;
constexpr double kMinMeasuredSeconds = 1.0;


// A figure of /proc/self/status ("VmHWM", "VmRSS") in bytes, 0 when unknown.
double status_bytes(const char* field) {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  const std::string wanted = std::string(field) + ": %ld kB";
  char line[256];
  long kb = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, wanted.c_str(), &kb) == 1) break;
  }
  std::fclose(status);
  return static_cast<double>(kb) * 1024.0;
}

// What a child process reports; `finished` stays false when it was stopped.
struct measurement {
  bool finished = false;
  long nodes = 0;
  double seconds = 0;
  double bytes = 0;           // reserved: sentence storage and side tables
  double resident_bytes = 0;  // growth of the resident memory up to its peak
};

// Runs `measure` in a child process, stopped by an alarm after `budget`
// seconds (0: no alarm), and returns what it reported.
template <typename Measure>
measurement in_child(int budget, Measure measure) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    alarm(static_cast<unsigned>(budget));
    const measurement m = measure();
    _exit(write(channel[1], &m, sizeof m) == sizeof m ? 0 : 1);
  }
  close(channel[1]);
  measurement m;
  if (read(channel[0], &m, sizeof m) != sizeof m) m = {};
  close(channel[0]);
  waitpid(child, nullptr, 0);
  return m;
}

measurement measure_indexed(analyser_state& state, const std::string& sentence) {
  const double resident_before = status_bytes("VmRSS");
  indexed_parse_tables tables;
  measurement m{true};
  double measured = 0;
  for (int r = 0; r < kMaxRepetitions && (r < kMinRepetitions || measured < kMinMeasuredSeconds);
       ++r) {
    start_sentence(state, sentence);
    parse_work work{state.loaded.grammar, state.nodes, state.log()};
    const clock_type::time_point start = clock_type::now();
    make_all_nodes_indexed(work, tables);
    const double seconds = seconds_since(start);
    measured += seconds;
    if (r == 0 || seconds < m.seconds) m.seconds = seconds;
  }
  m.nodes = state.nodes.count;
  m.bytes = static_cast<double>(state.nodes.storage.bytes_reserved() + tables.bytes());
  m.resident_bytes = status_bytes("VmHWM") - resident_before;
  return m;
}

measurement measure_reference(analyser_state& state, const std::string& sentence) {
  start_sentence(state, sentence);
  parse_work work{state.loaded.grammar, state.nodes, state.log()};
  const clock_type::time_point start = clock_type::now();
  make_all_nodes_reference(work);
  return {true, state.nodes.count, seconds_since(start)};
}

// The reference cells of a row: its time and the ratio, or bounds on them.
void print_reference(const measurement& reference, const measurement& indexed, int budget) {
  if (budget <= 0) {
    std::printf(" - | - |\n");
  } else if (!reference.finished) {
    std::printf(" > %d | > %.0f |\n", budget, budget / indexed.seconds);
  } else {
    std::printf(" %.3f%s | %.0f |\n", reference.seconds,
                reference.nodes == indexed.nodes ? "" : " (node counts differ!)",
                reference.seconds / indexed.seconds);
  }
}

// Measures one sentence and prints its row; returns whether the reference
// finished (so that it is tried on the next, longer sentence).
bool measure_row(const char* name, int size, analyser_state& state, const std::string& sentence,
                 bool with_reference, int budget) {
  const measurement indexed = in_child(0, [&] { return measure_indexed(state, sentence); });
  const double nodes = static_cast<double>(indexed.nodes);
  std::printf("| %-9s | %2d | %9ld | %11.3f | %7.1f | %6.1f | %6.1f | %7.1f |", name, size,
              indexed.nodes, indexed.seconds * 1e3, indexed.seconds * 1e9 / nodes,
              indexed.bytes / nodes, indexed.resident_bytes / nodes, indexed.resident_bytes / 1e6);
  measurement reference;
  if (with_reference) {
    reference = in_child(budget, [&] { return measure_reference(state, sentence); });
  }
  print_reference(reference, indexed, budget);
  return reference.finished;
}

struct settings {
  int max_words = kDefaultMaxWords;
  int max_phrases = kDefaultMaxPhrases;
  int budget = kDefaultBudgetSeconds;
  std::string examples = MIRASK_EXAMPLES_DIR;
};

settings read_settings(int argc, char** argv) {
  settings s;
  if (argc > 1) s.max_words = std::atoi(argv[1]);
  if (argc > 2) s.max_phrases = std::atoi(argv[2]);
  if (argc > 3) s.budget = std::atoi(argv[3]);
  if (argc > 4) s.examples = argv[4];
  return s;
}
}  // namespace

int main(int argc, char** argv) {
  const settings s = read_settings(argc, argv);
  std::printf(
      "| sentence  |  n |     nodes |  indexed ms | ns/node | B/node | RSS B/node | RSS MB | "
      "reference s | ratio |\n"
      "|-----------|---:|----------:|------------:|--------:|-------:|-----------:|-------:|"
      "------------:|------:|\n");
  bool with_reference = s.budget > 0;
  for (int n = kFirstWordCount; n <= s.max_words; ++n) {
    std::unique_ptr<analyser_state> state = load_ambiguous();
    with_reference =
        measure_row("ambiguous", n, *state, ambiguous_sentence(n), with_reference, s.budget);
  }
  with_reference = s.budget > 0;
  for (int k = kFirstPhraseCount; k <= s.max_phrases; ++k) {
    std::unique_ptr<analyser_state> state = load_german(s.examples);
    with_reference = measure_row("german", k, *state, german_sentence(k), with_reference, s.budget);
  }
  return 0;
}
