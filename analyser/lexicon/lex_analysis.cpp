#include "analyser/lexicon/lex_analysis.hpp"

#include "analyser/driver/console.hpp"
#include "analyser/driver/fatal_error.hpp"
#include "analyser/driver/messages.hpp"
#include "analyser/driver/text_utils.hpp"
#include "analyser/grammar/parse_node.hpp"

namespace {
// A stem keeps at least this many bytes, so no word of three or fewer is split.
constexpr int kMinStemLength = 3;
// The lexicon word whose readings every number receives.
constexpr unsigned char kNumberWord[] = {'N', 'U', 'L', 'L'};
constexpr int kNumberWordLength = sizeof kNumberWord;
constexpr int kMessageWordNotFound = 6;

bool is_word_end(const AnalyserState& state, unsigned char c) {
  for (int i = 0; i < kDelimiterSetSize && state.word_end_chars[i] != 0; ++i) {
    if (state.word_end_chars[i] == c) return true;
  }
  return false;
}

// One word node at `position` for every reading from `first` on; the entry
// labels when `with_labels`, else empty ones.
void keep_readings(AnalyserState& state, dict_entry* first, const unsigned char* word, int length,
                   int position, bool with_labels) {
  for (dict_entry* e = first; e != nullptr; e = next_homograph(e, word, length)) {
    keep_node(state, e->category, e->subcat_values, nullptr, nullptr, nullptr, position, position,
              with_labels ? e->label : "");
  }
}

// A number: one node from the first "NULL" entry, labelled with its own text.
void keep_number(AnalyserState& state, const unsigned char* word, int length, int position) {
  dict_entry* entry = find_word(state, state.lexicon_index, kNumberWord, kNumberWordLength);
  if (entry == nullptr) fatal_error(state, " Kategorie NULL nicht definiert ");
  auto* label = static_cast<unsigned char*>(state.sentence.allocate(length + 1));
  if (label == nullptr) fatal_error(state, "keep_node: malloc Fehler");
  copy_bytes_nul(label, word, length);
  keep_node(state, entry->category, entry->subcat_values, nullptr, nullptr, nullptr, position,
            position, reinterpret_cast<const char*>(label));
}

void report_not_found(AnalyserState& state, const unsigned char* word, int length) {
  show_message(state, kMessageWordNotFound);
  std::fprintf(state.out, " %.*s\n", length, reinterpret_cast<const char*>(word));
  if (state.console_input == 1) wait_for_user(state);
}

// Makes the nodes of the word at `position`; returns the last position it
// took (one more for a split word), or -1 when the sentence ends here.
int analyse_word(AnalyserState& state, const unsigned char* word, int length, int position) {
  if (word[0] >= '0' && word[0] <= '9') {
    keep_number(state, word, length, position);
  } else if (dict_entry* entry = find_word(state, state.lexicon_index, word, length)) {
    keep_readings(state, entry, word, length, position, true);
  } else {
    position = split_ending(state, word, state.lexicon_index, position, length);
    if (position == 0) {
      report_not_found(state, word, length);
      return -1;
    }
  }
  if (state.node_limit_reached) {
    report_node_limit(state);
    return -1;
  }
  return position;
}
}  // namespace

int lex_analysis(AnalyserState& state, const unsigned char* sentence) {
  state.node_count = 0;
  state.node_limit_reached = false;
  int position = 0;
  int length = 0;
  const unsigned char* word = sentence;
  for (const unsigned char* p = sentence; *p != 0; ++p) {
    if (!is_word_end(state, *p)) {
      if (length++ == 0) word = p;
      continue;
    }
    if (length == 0) continue;
    position = analyse_word(state, word, length, position + 1);
    if (position < 0) return -1;
    length = 0;
  }
  return position;
}

int split_ending(AnalyserState& state, const unsigned char* word, const letter_index& index,
                 int position, int length) {
  for (int ending_length = 1; length - ending_length >= kMinStemLength; ++ending_length) {
    const int stem_length = length - ending_length;
    const unsigned char* ending = word + stem_length;
    for (dict_entry* e = state.endings_list; e != nullptr; e = e->next) {
      if (entry_matches(e, ending, ending_length) == nullptr) continue;
      dict_entry* stem_entry = find_word(state, index, word, stem_length);
      if (stem_entry == nullptr) continue;
      dict_entry* ending_entry = find_word(state, index, ending, ending_length);
      if (ending_entry == nullptr) continue;
      keep_readings(state, stem_entry, word, stem_length, position, false);
      keep_readings(state, ending_entry, ending, ending_length, position + 1, false);
      return position + 1;
    }
  }
  return 0;
}
