// Grammars and sentences the analyser benchmarks share: loading rules,
// lexicon and endings into a quiet state, the maximally ambiguous grammar,
// the bundled German grammar, and the sentences measured on them.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "analyser/driver/analyser_state.hpp"
#include "analyser/library/delimiter_list.hpp"
#include "analyser/grammar/sentence_analysis.hpp"

namespace bench {

// A read stream over `text`, which must outlive it; an empty text has none.
inline FILE* memory_stream(const std::string& text) {
  if (text.empty()) return std::fopen("/dev/null", "r");
  return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

inline FILE* open_or_die(const std::string& name) {
  FILE* file = std::fopen(name.c_str(), "r");
  if (file == nullptr) {
    std::fprintf(stderr, "cannot open %s\n", name.c_str());
    std::exit(2);
  }
  return file;
}

// A state with the rules, lexicon and endings read from the three streams,
// which it closes, and the example's delimiter sets; printing goes to
// /dev/null.
inline std::unique_ptr<analyser_state> load(FILE* rules, FILE* lexicon, FILE* endings) {
  auto state = std::make_unique<analyser_state>();
  state->out = std::fopen("/dev/null", "w");
  state->console_input = 0;
  read_char_list("32,44,59", state->loaded.word_end_chars);
  read_char_list("46,33,63", state->loaded.sentence_end_chars);
  lexicon_tables& tables = state->loaded.lexicon;
  read_rules(state->loaded.grammar, tables.categories, rules, state->log());
  read_dict(tables.storage, tables.categories, lexicon, tables.lexicon_index, state->log());
  tables.endings_list =
      read_dict(tables.storage, tables.categories, endings, tables.endings_index, state->log());
  build_lexicon_table(tables.lexicon_table, tables.lexicon_index);
  for (FILE* f : {rules, lexicon, endings}) std::fclose(f);
  return state;
}

inline std::unique_ptr<analyser_state> load_files(const std::string& rules,
                                                  const std::string& lexicon,
                                                  const std::string& endings) {
  return load(open_or_die(rules), open_or_die(lexicon), open_or_die(endings));
}

// One category, the one rule XXXX + XXXX = XXXX and a one-word lexicon.
inline std::unique_ptr<analyser_state> load_ambiguous() {
  static const std::string rules = "XXXX + XXXX = XXXX;.\n";
  static const std::string lexicon = "X=XXXX\n";
  return load(memory_stream(rules), memory_stream(lexicon), memory_stream(""));
}

// The bundled example grammar, lexicon and endings of `dir`.
inline std::unique_ptr<analyser_state> load_german(const std::string& dir) {
  return load_files(dir + "/regeln.txt", dir + "/lexikon.txt", dir + "/endungen.txt");
}

// Empties the node list and makes the word nodes of `sentence`, as the
// driver's sentence loop does; returns its word positions.
inline int start_sentence(analyser_state& state, const std::string& sentence) {
  state.nodes.clear();
  const sentence_words words =
      lex_analysis(state.loaded.lexicon, state.loaded.word_end_chars,
                   reinterpret_cast<const unsigned char*>(sentence.c_str()));
  if (words.word_count > 0 && make_word_nodes(state.nodes, words)) return words.word_count;
  std::fprintf(stderr, "not all words found: %s\n", sentence.c_str());
  std::exit(2);
}

// n words of the ambiguous grammar.
inline std::string ambiguous_sentence(int words) {
  std::string sentence;
  for (int i = 0; i < words; ++i) sentence += "X ";
  return sentence;
}

// "ER SIEHT DEN MANN" and `phrases` prepositional phrases with the dative,
// all in the example lexicon; each may attach to any noun phrase before it
// or to the verb phrase.
inline std::string german_sentence(int phrases) {
  static const char* const kPhrases[] = {"IM PARK",        "MIT DEM FERNGLAS", "IN DER STADT",
                                         "NEBEN DEM HAUS", "IM GARTEN",        "AUF DEM TISCH",
                                         "VOR DEM HAUS",   "MIT DEM HUND",     "AUS DER STADT"};
  constexpr int kPhraseKinds = sizeof kPhrases / sizeof kPhrases[0];
  std::string sentence = "ER SIEHT DEN MANN ";
  for (int i = 0; i < phrases; ++i) sentence += std::string(kPhrases[i % kPhraseKinds]) + " ";
  return sentence;
}

}  // namespace bench
