#include "analyser/lexicon/lex_analysis.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/text_utils.hpp"

namespace {
// A stem keeps at least this many bytes, so no word of three or fewer is split.
constexpr int kMinStemLength = 3;
// The lexicon word whose readings every number receives.
constexpr unsigned char kNumberWord[] = {'N', 'U', 'L', 'L'};
constexpr int kNumberWordLength = sizeof kNumberWord;

// One reading at `position` for every entry of the word from `first` on; the
// entry labels when `with_labels`, else empty ones.
void add_readings(const dict_entry* first, const unsigned char* word, int length, int position,
                  bool with_labels, std::vector<word_reading>& readings) {
  for (const dict_entry* e = first; e != nullptr; e = next_homograph(e, word, length)) {
    readings.push_back({e, position, with_labels ? std::string_view(e->label) : ""});
  }
}

// A number: one reading of the first "NULL" entry, labelled with its own
// text; false when the lexicon has no such entry.
bool add_number(const lexicon_tables& lexicon, const sentence_word& word,
                std::vector<word_reading>& readings) {
  const dict_entry* entry =
      find_word(lexicon.lexicon_table, lexicon.lexicon_index, kNumberWord, kNumberWordLength);
  if (entry == nullptr) return false;
  const std::string_view text(reinterpret_cast<const char*>(word.text), word.length);
  readings.push_back({entry, word.position, text});
  return true;
}

// Adds the readings of `word`; false when it is neither found nor split, or
// a number without the "NULL" entry.
bool analyse_word(const lexicon_tables& lexicon, sentence_word& word, sentence_words& result) {
  const unsigned char first = word.text[0];
  if (first >= '0' && first <= '9') {
    result.number_without_entry = !add_number(lexicon, word, result.readings);
    return !result.number_without_entry;
  } else if (const dict_entry* entry = find_word(lexicon.lexicon_table, lexicon.lexicon_index,
                                                 word.text, word.length)) {
    add_readings(entry, word.text, word.length, word.position, true, result.readings);
  } else {
    const int ending_position = split_ending(lexicon, word.text, lexicon.lexicon_index,
                                             word.position, word.length, result.readings);
    if (ending_position == 0) return false;
    // The last reading is one of the ending's, whose entry holds exactly the ending.
    word.stem_length = word.length - result.readings.back().entry->word_length;
  }
  return true;
}

// Analyses the word that ends at a delimiter; false when it is unknown.
bool end_word(const lexicon_tables& lexicon, sentence_word word, sentence_words& result) {
  word.position = result.word_count + 1;
  if (!analyse_word(lexicon, word, result)) {
    result.unknown = word;
    result.word_count = -1;
    return false;
  }
  result.word_count = word.position + (word.stem_length > 0 ? 1 : 0);
  result.words.push_back(word);
  return true;
}
}  // namespace

sentence_words lex_analysis(const lexicon_tables& lexicon, const unsigned char* word_end_chars,
                            const unsigned char* sentence) {
  return needing_memory("keep_node: malloc Fehler", [&] {
    sentence_words result;
    sentence_word word;
    for (const unsigned char* p = sentence; *p != 0; ++p) {
      if (!in_char_set(word_end_chars, *p)) {
        if (word.length++ == 0) word.text = p;
        continue;
      }
      if (word.length == 0) continue;
      if (!end_word(lexicon, word, result)) break;
      word = sentence_word{};
    }
    return result;
  });
}

namespace {
// Calls try_split(stem length, ending entry) for every ending of the endings
// file that the word ends with, shortest first, while it returns false.
template <typename TrySplit>
void for_each_fitting_ending(const lexicon_tables& lexicon, const unsigned char* word, int length,
                             TrySplit&& try_split) {
  for (int ending_length = 1; length - ending_length >= kMinStemLength; ++ending_length) {
    const unsigned char* ending = word + length - ending_length;
    for (const dict_entry* e = lexicon.endings_list; e != nullptr; e = e->next) {
      if (entry_matches(e, ending, ending_length) == nullptr) continue;
      if (try_split(length - ending_length, e)) return;
    }
  }
}
}  // namespace

std::vector<split_attempt> split_attempts(const lexicon_tables& lexicon, const unsigned char* word,
                                          int length) {
  std::vector<split_attempt> attempts;
  const word_table& table = lexicon.lexicon_table;
  const letter_index& index = lexicon.lexicon_index;
  for_each_fitting_ending(lexicon, word, length, [&](int stem_length, const dict_entry* e) {
    const bool stem = find_word(table, index, word, stem_length) != nullptr;
    const bool ending =
        find_word(table, index, word + stem_length, length - stem_length) != nullptr;
    attempts.push_back({stem_length, e, stem, ending});
    return false;
  });
  return attempts;
}

int split_ending(const lexicon_tables& lexicon, const unsigned char* word,
                 const letter_index& index, int position, int length,
                 std::vector<word_reading>& readings) {
  const word_table& table = lexicon.lexicon_table;
  bool split = false;
  for_each_fitting_ending(lexicon, word, length, [&](int stem_length, const dict_entry*) {
    const unsigned char* ending = word + stem_length;
    const int ending_length = length - stem_length;
    const dict_entry* stem_entry = find_word(table, index, word, stem_length);
    if (stem_entry == nullptr) return false;
    const dict_entry* ending_entry = find_word(table, index, ending, ending_length);
    if (ending_entry == nullptr) return false;
    add_readings(stem_entry, word, stem_length, position, false, readings);
    add_readings(ending_entry, ending, ending_length, position + 1, false, readings);
    return split = true;
  });
  return split ? position + 1 : 0;
}
