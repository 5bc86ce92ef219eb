// Loading a large lexicon and looking words up in it:
//
//   bench_lexicon [entries [seed]]
//
// Generates a lexicon of `entries` lines (default 100,000): random words of
// 3 to 12 letters A-Z, one in ten with a second reading on the next line,
// each with a category of four letters, three subcategory groups and a
// label. The same lines are loaded twice, sorted as the lexicon file must be
// and shuffled, and for each the benchmark prints: the time of read_dict and
// the entries it made per second; the time of build_lexicon_table and the
// table's size; and the time per lookup of the plain scan (dict_lookup)
// and of the table (find_word) for every word of the lexicon and as many
// words that are missing, with the ratio of the two. Both lookups must give
// the same entry for every word; a difference is counted and printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analyser/lexicon/lexicon.hpp"
#include "analyser/lexicon/dict_reader.hpp"
#include "analyser/lexicon/word_lookup.hpp"
#include "bench/bench_clock.hpp"

namespace {

constexpr long kDefaultEntries = 100000;
constexpr long kDefaultSeed = 1;
constexpr int kShortestWord = 3;
constexpr int kLongestWord = 12;
constexpr int kLetters = 26;
// One word in this many has a second reading.
constexpr int kHomographEvery = 10;


// The generator's own draws, so that a seed gives the same lexicon everywhere.
struct generator {
  std::mt19937_64 random;
  long below(long n) { return static_cast<long>(random() % static_cast<unsigned long>(n)); }

  std::string word() {
    std::string text;
    const long length = kShortestWord + below(kLongestWord - kShortestWord + 1);
    for (long i = 0; i < length; ++i) text += static_cast<char>('A' + below(kLetters));
    return text;
  }

  std::string line(const std::string& word) {
    static const char* const kCategories[] = {"NOMN", "VERB", "ADJE", "DETA", "PRAE"};
    constexpr long kCategoryCount = sizeof kCategories / sizeof kCategories[0];
    std::string text = word + "=" + kCategories[below(kCategoryCount)] + " GEN(" +
                       std::to_string(1 + below(3)) + ")NUM(" + std::to_string(1 + below(2)) +
                       ")KAS(" + std::to_string(1 + below(4)) + "):l" + std::to_string(below(1000));
    return text + "\n";
  }
};

struct lexicon_lines {
  std::vector<std::string> lines;  // sorted by word, readings of a word together
  std::vector<std::string> words;  // every word once
};

lexicon_lines make_lexicon(long entries, long seed) {
  generator g{std::mt19937_64(static_cast<unsigned long>(seed))};
  std::vector<std::string> words;
  for (long n = 0; n < entries; n += 1) words.push_back(g.word());
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  lexicon_lines lexicon;
  for (const std::string& w : words) {
    if (static_cast<long>(lexicon.lines.size()) >= entries) break;
    lexicon.words.push_back(w);
    lexicon.lines.push_back(g.line(w));
    if (g.below(kHomographEvery) == 0) lexicon.lines.push_back(g.line(w));
  }
  lexicon.lines.resize(std::min<std::size_t>(lexicon.lines.size(), entries));
  return lexicon;
}

// Words of the same shape that the lexicon does not hold.
std::vector<std::string> missing_words(const std::vector<std::string>& present, long count) {
  generator g{std::mt19937_64(~0ul)};
  std::vector<std::string> missing;
  while (static_cast<long>(missing.size()) < count) {
    std::string w = g.word() + "Q";
    if (!std::binary_search(present.begin(), present.end(), w)) missing.push_back(w);
  }
  return missing;
}

struct load_result {
  std::unique_ptr<lexicon_tables> state;
  long entries = 0;
  double seconds = 0;
};

load_result load(const std::string& text) {
  load_result result{std::make_unique<lexicon_tables>()};
  FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  const clock_type::time_point start = clock_type::now();
  lexicon_tables& tables = *result.state;
  dict_entry* first = read_dict(tables.storage, tables.categories, stream, tables.lexicon_index, {});
  result.seconds = seconds_since(start);
  std::fclose(stream);
  for (const dict_entry* e = first; e != nullptr; e = e->next) ++result.entries;
  return result;
}

// Nanoseconds per lookup of `words`; `found` collects the results.
template <typename Lookup>
double time_lookups(const std::vector<std::string>& words, Lookup lookup,
                    std::vector<const dict_entry*>& found) {
  found.clear();
  const clock_type::time_point start = clock_type::now();
  for (const std::string& w : words) {
    found.push_back(
        lookup(reinterpret_cast<const unsigned char*>(w.data()), static_cast<int>(w.size())));
  }
  return seconds_since(start) * 1e9 / static_cast<double>(words.size());
}

void measure(const char* name, const std::vector<std::string>& lines,
             const std::vector<std::string>& queries) {
  std::string text;
  for (const std::string& line : lines) text += line;
  load_result loaded = load(text);
  lexicon_tables& state = *loaded.state;
  const clock_type::time_point start = clock_type::now();
  build_lexicon_table(state.lexicon_table, state.lexicon_index);
  const double build_seconds = seconds_since(start);
  std::vector<const dict_entry*> by_scan;
  std::vector<const dict_entry*> by_table;
  const double scan_ns = time_lookups(
      queries, [&](auto* w, int n) { return dict_lookup(state.lexicon_index, w, n); }, by_scan);
  const double table_ns = time_lookups(
      queries, [&](auto* w, int n) { return find_word(state.lexicon_table, state.lexicon_index, w, n); },
      by_table);
  long differences = 0;
  for (std::size_t i = 0; i < queries.size(); ++i) differences += by_scan[i] != by_table[i];
  std::printf("| %-8s | %7ld | %8.1f | %9.0f | %8.2f | %8.1f | %10.0f | %8.0f | %6.0f | %ld |\n",
              name, loaded.entries, loaded.seconds * 1e3, loaded.entries / loaded.seconds,
              build_seconds * 1e3,
              static_cast<double>(state.lexicon_table.slots.size() * sizeof(dict_entry*)) / 1e6,
              scan_ns, table_ns, scan_ns / table_ns, differences);
}
}  // namespace

int main(int argc, char** argv) {
  const long entries = argc > 1 ? std::atol(argv[1]) : kDefaultEntries;
  const long seed = argc > 2 ? std::atol(argv[2]) : kDefaultSeed;
  lexicon_lines lexicon = make_lexicon(entries, seed);
  std::vector<std::string> queries = lexicon.words;
  const std::vector<std::string> missing = missing_words(lexicon.words, lexicon.words.size());
  queries.insert(queries.end(), missing.begin(), missing.end());
  std::shuffle(queries.begin(), queries.end(), std::mt19937_64(static_cast<unsigned long>(seed)));
  std::printf(
      "| lexicon  | entries |  load ms | entries/s | table ms | table MB | scan ns/word | "
      "table ns/word | ratio | differences |\n"
      "|----------|--------:|---------:|----------:|---------:|---------:|-------------:|"
      "--------------:|------:|------------:|\n");
  measure("sorted", lexicon.lines, queries);
  std::vector<std::string> shuffled = lexicon.lines;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937_64(static_cast<unsigned long>(seed)));
  measure("shuffled", shuffled, queries);
  return 0;
}
