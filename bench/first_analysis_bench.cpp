// The analysis of each sentence of a file with the stop at the first
// complete analysis, and the full parse, for the comparison with NLTK's
// chart parser (bench/nltk_compare.sh):
//
//   bench_first_analysis rules lexicon endings sentences [-a start] [-f max_full_words]
//
// Loads the rules, lexicon and endings files as the analyser does (word
// delimiters blank, comma, semicolon; sentence delimiters . ! ?), reads the
// sentences one per line as the sentence reader does, and for each sentence
// times `analyse_sentence` (lexical analysis, word nodes, parse and the
// search for the first complete analysis) twice over:
//
// - "first": with stop_at_first_analysis, the parse ends at the first node
//   that is a complete analysis;
// - "full": every node the rules allow, up to the default node limit; a
//   sentence that reaches the limit is reported as "limit". Sentences of more
//   than `max_full_words` word positions (-f; default: no bound) are not
//   given the full parse and are reported as "skipped".
//
// Each time is the median of repeated runs (at least kMinRepetitions, and
// until kMinMeasuredSeconds are measured; a run that takes longer than
// kSingleRunSeconds is not repeated). The lexical analysis and the word nodes
// alone are timed the same way ("lex"), to show how much of "first" they are.
// The two kinds of parse use node lists of their own, each reused from
// sentence to sentence as the analyser's sentence loop reuses its list.
//
// Output: lines beginning with "#" are comments; then one tab-separated row
// per sentence:
//   number, word positions, the tokens (words, a split word as stem and
//   ending), first: outcome, ms, nodes; full: outcome, ms, nodes, complete
//   analyses among the nodes; lex ms
// with the outcomes "analysed", "no_analysis", "unknown_word", "no_words",
// "limit" and "skipped".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "analyser/driver/analyser_state.hpp"
#include "analyser/driver/sentence_reader.hpp"
#include "analyser/library/delimiter_list.hpp"
#include "analyser/grammar/sentence_analysis.hpp"
#include "bench/bench_clock.hpp"
#include "bench/bench_grammar.hpp"

namespace {
using namespace bench;

constexpr int kMinRepetitions = 5;
constexpr int kMaxRepetitions = 100001;
constexpr double kMinMeasuredSeconds = 0.3;
constexpr double kSingleRunSeconds = 1.0;
constexpr int kNoWordBound = 1 << 30;

// The sentences of the file as the sentence reader hands them out
// (upper-cased, cut at a sentence delimiter, closed by a blank).
std::vector<std::string> read_sentences(analyser_state& state, const char* name) {
  FILE* input = open_or_die(name);
  std::vector<std::string> sentences;
  while (const unsigned char* s =
             read_sentence(state, input, state.sentence_buffer, kSentenceCapacity)) {
    sentences.emplace_back(reinterpret_cast<const char*>(s));
  }
  std::fclose(input);
  return sentences;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median seconds of `run` over repeated calls.
template <typename Run>
double median_seconds(Run run) {
  std::vector<double> times;
  double measured = 0;
  for (int r = 0; r < kMaxRepetitions; ++r) {
    const clock_type::time_point start = clock_type::now();
    run();
    const double seconds = seconds_since(start);
    times.push_back(seconds);
    measured += seconds;
    if (r == 0 && seconds > kSingleRunSeconds) break;
    if (r + 1 >= kMinRepetitions && measured >= kMinMeasuredSeconds) break;
  }
  return median(times);
}

// The complete analyses among the nodes.
long complete_count(const node_list& nodes, const analysis_target& target) {
  long count = 0;
  for (const parse_node* n = find_axiom_node(nodes.head, target); n != nullptr;
       n = find_axiom_node(n->next, target)) {
    ++count;
  }
  return count;
}

// The tokens that took the word positions: each word, a split word as its
// stem and its ending, a number as "NULL" (the entry it is given).
std::string tokens_of(const sentence_words& words) {
  std::string text;
  for (const sentence_word& w : words.words) {
    const std::string word(reinterpret_cast<const char*>(w.text), w.length);
    if (!text.empty()) text += ' ';
    if (w.text[0] >= '0' && w.text[0] <= '9') {
      text += "NULL";
    } else if (w.stem_length > 0) {
      text += word.substr(0, w.stem_length) + ' ' + word.substr(w.stem_length);
    } else {
      text += word;
    }
  }
  return text;
}

struct parse_figures {
  sentence_outcome outcome = sentence_outcome::no_words;
  double seconds = 0;
  long nodes = 0;
  long complete = 0;
};

// Times the analysis of `text` (of `word_count` positions); the nodes of
// the last run are counted.
parse_figures measure_parse(const analysis_setup& setup, node_list& nodes,
                            const unsigned char* text, int word_count) {
  parse_figures f;
  f.seconds = median_seconds([&] { f.outcome = analyse_sentence(setup, nodes, text).outcome; });
  f.nodes = nodes.count;
  f.complete = complete_count(nodes, target_of(setup, word_count));
  return f;
}

struct settings {
  const char* files[4] = {};
  std::string start_category = "SATZ";
  int max_full_words = kNoWordBound;
};

settings read_settings(int argc, char** argv) {
  settings s;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-a" && i + 1 < argc) {
      s.start_category = argv[++i];
    } else if (arg == "-f" && i + 1 < argc) {
      s.max_full_words = std::atoi(argv[++i]);
    } else if (positional < 4) {
      s.files[positional++] = argv[i];
    }
  }
  if (positional < 4) {
    std::fprintf(stderr,
                 "usage: bench_first_analysis rules lexicon endings sentences "
                 "[-a start] [-f max_full_words]\n");
    std::exit(2);
  }
  return s;
}

void print_row(int number, const sentence_words& words, const parse_figures& first,
               const parse_figures* full, double lex_seconds) {
  std::printf("%d\t%d\t%s\t%s\t%.6f\t%ld\t", number, words.word_count, tokens_of(words).c_str(),
              outcome_name(first.outcome), first.seconds * 1e3, first.nodes);
  if (full == nullptr) {
    std::printf("skipped\t-\t-\t-");
  } else {
    std::printf("%s\t%.6f\t%ld\t%ld", outcome_name(full->outcome), full->seconds * 1e3,
                full->nodes, full->complete);
  }
  std::printf("\t%.6f\n", lex_seconds * 1e3);
  std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
  const settings s = read_settings(argc, argv);
  std::unique_ptr<analyser_state> state = load_files(s.files[0], s.files[1], s.files[2]);
  const std::vector<std::string> sentences = read_sentences(*state, s.files[3]);
  analysis_setup first_setup{state->loaded.lexicon, state->loaded.grammar, state->loaded.word_end_chars,
                             s.start_category, state->log(), true};
  analysis_setup full_setup = first_setup;
  full_setup.stop_at_first_analysis = false;
  node_list first_nodes;
  node_list full_nodes;
  node_list lex_nodes;
  std::printf("# start category %s; full parse up to %d word positions; node limit %ld\n",
              s.start_category.c_str(), s.max_full_words, full_nodes.limit);
  int number = 0;
  for (const std::string& sentence : sentences) {
    const auto* text = reinterpret_cast<const unsigned char*>(sentence.c_str());
    const sentence_words words = lex_analysis(state->loaded.lexicon, state->loaded.word_end_chars, text);
    const double lex_seconds = median_seconds([&] {
      lex_nodes.clear();
      make_word_nodes(lex_nodes, lex_analysis(state->loaded.lexicon, state->loaded.word_end_chars, text));
    });
    const parse_figures first = measure_parse(first_setup, first_nodes, text, words.word_count);
    parse_figures full;
    const bool with_full = words.word_count <= s.max_full_words;
    if (with_full) full = measure_parse(full_setup, full_nodes, text, words.word_count);
    print_row(++number, words, first, with_full ? &full : nullptr, lex_seconds);
  }
  return 0;
}
