// Writes a word list for the sorter benchmark to standard output:
//
//   bench_make_words [lines [vocabulary [seed]]]
//
// `lines` German-like words (UTF-8, umlauts included), one a line, drawn
// from `vocabulary` distinct words by Zipf's law: the word of rank r comes
// with weight 1/r, so that, as in running text, a few words make up much of
// the list and most words are rare. No line is empty. The same arguments
// give the same list on every machine: the generator is std::mt19937_64,
// whose sequence the language fixes, and the sampling is done here rather
// than by the library's distributions, whose results it does not fix.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

constexpr long kDefaultLines = 1000000;
constexpr long kDefaultVocabulary = 200000;
constexpr long kDefaultSeed = 1;

// Pieces of German-looking syllables and endings. The empty pieces make
// syllables without onset or coda, and words without an ending; pieces that
// stand twice come twice as often.
constexpr const char* kOnsets[] = {"",   "b",  "d",  "f",  "g",  "h",  "k",   "l",  "m",   "n",
                                   "p",  "r",  "s",  "t",  "w",  "z",  "sch", "st", "sp",  "br",
                                   "gr", "kr", "tr", "fr", "pf", "bl", "fl",  "kl", "schw"};
constexpr const char* kNuclei[] = {"a",  "e",  "i", "o",        "u",        "ei",      "au",
                                   "ie", "eu", "e", "\xc3\xa4", "\xc3\xb6", "\xc3\xbc"};
constexpr const char* kCodas[] = {"",   "",   "n",  "r",  "s",  "t",  "l",  "m",
                                  "ch", "ng", "nd", "rt", "st", "ck", "tz", "\xc3\x9f"};
constexpr const char* kEndings[] = {"",     "",     "en",   "er",   "ung", "heit",
                                    "keit", "lich", "isch", "chen", "e",   "es"};

constexpr int kMostSyllables = 3;
// Words of fewer bytes are left out: they would be single vowels.
constexpr std::size_t kShortestWord = 2;
// One word in this many starts with a capital, as nouns do.
constexpr int kNounEvery = 3;

template <std::size_t N>
const char* pick(std::mt19937_64& random, const char* const (&pieces)[N]) {
  return pieces[random() % N];
}

std::string make_word(std::mt19937_64& random) {
  std::string word;
  const int syllables = 1 + static_cast<int>(random() % kMostSyllables);
  for (int i = 0; i < syllables; ++i)
    word += std::string(pick(random, kOnsets)) + pick(random, kNuclei) + pick(random, kCodas);
  word += pick(random, kEndings);
  if (random() % kNounEvery == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] -= 'a' - 'A';
  return word;
}

// `count` distinct words; their order is their rank. Shorter words come
// first, as frequent words are the short ones in every language.
std::vector<std::string> make_vocabulary(std::mt19937_64& random, long count) {
  std::vector<std::string> words;
  std::unordered_set<std::string> seen;
  while (static_cast<long>(words.size()) < count) {
    std::string word = make_word(random);
    if (word.size() >= kShortestWord && seen.insert(word).second) words.push_back(std::move(word));
  }
  std::stable_sort(words.begin(), words.end(),
                   [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
  return words;
}

// Running sums of the Zipf weights 1/1, 1/2, ... 1/count.
std::vector<double> zipf_sums(long count) {
  std::vector<double> sums(count);
  double sum = 0;
  for (long rank = 1; rank <= count; ++rank) sums[rank - 1] = sum += 1.0 / rank;
  return sums;
}

// A rank drawn with the weights summed up in `sums`. Rounding can make the
// scaled draw equal to the last sum, which still means the last rank.
std::size_t draw_rank(std::mt19937_64& random, const std::vector<double>& sums) {
  constexpr int kMantissaBits = 53;
  const double unit = static_cast<double>(random() >> (64 - kMantissaBits)) /
                      static_cast<double>(1ULL << kMantissaBits);
  const auto found = std::upper_bound(sums.begin(), sums.end(), unit * sums.back());
  return std::min<std::size_t>(found - sums.begin(), sums.size() - 1);
}

// The argument at `index` as a positive number, or `fallback` when absent.
long argument(int argc, char** argv, int index, long fallback) {
  if (index >= argc) return fallback;
  char* end = nullptr;
  const long value = std::strtol(argv[index], &end, 10);
  if (*end != '\0' || value <= 0) {
    std::fprintf(stderr, "bench_make_words: not a positive number: %s\n", argv[index]);
    std::exit(2);
  }
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  const long lines = argument(argc, argv, 1, kDefaultLines);
  const long vocabulary = argument(argc, argv, 2, kDefaultVocabulary);
  std::mt19937_64 random(argument(argc, argv, 3, kDefaultSeed));
  const std::vector<std::string> words = make_vocabulary(random, vocabulary);
  const std::vector<double> sums = zipf_sums(vocabulary);
  for (long i = 0; i < lines; ++i) {
    const std::string& word = words[draw_rank(random, sums)];
    std::fwrite(word.data(), 1, word.size(), stdout);
    std::fputc('\n', stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
