#include "analyser/lexicon/word_lookup.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "analyser/lexicon/test_support.hpp"

using namespace test_support;

namespace {

// Random dictionaries: short words over few letters (so that words share
// prefixes and hash slots), homographs, words that begin outside the index
// ("@", "a", "1") or at its last slot ("`"), empty words; sorted as the
// files must be, or in random order.
class dictionary_generator {
 public:
  explicit dictionary_generator(unsigned seed) : random_(seed) {}

  std::vector<std::string> words(bool sorted) {
    std::vector<std::string> list;
    const int count = pick(0, 60);
    for (int i = 0; i < count; ++i) {
      list.push_back(pick(0, 4) == 0 && !list.empty()
                         ? list[pick(0, static_cast<int>(list.size()) - 1)]
                         : word());
    }
    if (sorted) std::sort(list.begin(), list.end());  // all bytes below 0x80
    return list;
  }

  std::string word() {
    static const char first[] = "AAABBBCC^`@a1";
    static const char rest[] = "AB";
    if (pick(0, 30) == 0) return "";
    std::string text(1, first[pick(0, sizeof first - 2)]);
    const int length = pick(0, 3);
    for (int i = 0; i < length; ++i) text += rest[pick(0, sizeof rest - 2)];
    return text;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::mt19937 random_;
};

void load(lexicon_tables& state, const std::vector<std::string>& words) {
  dict_entry* list = nullptr;
  for (const std::string& w : words) add_entry(state, state.lexicon_index, list, w, "XXXX");
}

constexpr int kDictionaries = 3000;
constexpr int kRandomQueries = 40;

TEST(FindWord, GivesTheResultOfTheScanOnRandomDictionaries) {
  dictionary_generator generator(77031);
  for (int d = 0; d < kDictionaries; ++d) {
    const bool sorted = d % 2 == 0;
    const std::vector<std::string> words = generator.words(sorted);
    lexicon_tables state;
    load(state, words);
    build_lexicon_table(state.lexicon_table, state.lexicon_index);
    std::vector<std::string> queries = words;
    for (int q = 0; q < kRandomQueries; ++q) queries.push_back(generator.word());
    for (const std::string& q : queries) {
      ASSERT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data(q), byte_count(q)),
                dict_lookup(state.lexicon_index, byte_data(q), byte_count(q)))
          << "dictionary " << d << (sorted ? " (sorted)" : " (unsorted)") << ", word '" << q << "'";
    }
  }
}

TEST(FindWord, UnsortedFileKeepsTheAnswersOfTheScan) {
  lexicon_tables state;
  dict_entry* list = nullptr;
  dict_entry* ba = add_entry(state, state.lexicon_index, list, "BA", "XXXX");
  dict_entry* ab = add_entry(state, state.lexicon_index, list, "AB", "XXXX");
  add_entry(state, state.lexicon_index, list, "@", "XXXX");  // a lower byte does not end the run
  dict_entry* aa = add_entry(state, state.lexicon_index, list, "AA", "XXXX");
  add_entry(state, state.lexicon_index, list, "C", "XXXX");
  add_entry(state, state.lexicon_index, list, "BA", "YYYY");  // behind a later letter
  add_entry(state, state.lexicon_index, list, "AC", "XXXX");  // behind a later letter
  build_lexicon_table(state.lexicon_table, state.lexicon_index);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("BA"), 2), ba);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("AB"), 2), ab);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("AA"), 2), aa);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("AC"), 2), nullptr);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("@"), 1), nullptr);
}

TEST(FindWord, OtherIndexOrNoTableUsesTheScan) {
  lexicon_tables state;
  dict_entry* lexicon = nullptr;
  dict_entry* endings = nullptr;
  dict_entry* haus = add_entry(state, state.lexicon_index, lexicon, "HAUS", "NOMN");
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("HAUS"), 4), haus);
  build_lexicon_table(state.lexicon_table, state.lexicon_index);
  dict_entry* en = add_entry(state, state.endings_index, endings, "EN", "FLEX");
  EXPECT_EQ(find_word(state.lexicon_table, state.endings_index, byte_data("EN"), 2), en);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("HAUS"), 4), haus);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("HAUS"), 0), nullptr);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("EN"), 2), nullptr);
}

TEST(FindWord, EmptyLexicon) {
  lexicon_tables state;
  build_lexicon_table(state.lexicon_table, state.lexicon_index);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data("A"), 1), nullptr);
  EXPECT_EQ(find_word(state.lexicon_table, state.lexicon_index, byte_data(""), 0), nullptr);
}

}  // namespace
