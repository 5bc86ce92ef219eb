// One sentence's analysis as a value: its words and readings, the word that
// stopped it if any, its nodes, and how it ended. The lexical analysis and
// the parse make it; the result writers turn it into output.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "analyser/base/log_output.hpp"
#include "analyser/grammar/analysis_count.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/lexicon/lex_analysis.hpp"

enum class sentence_outcome {
  no_words,           // the sentence holds no word: nothing is parsed
  unknown_word,       // a word was neither found nor split: nothing is parsed
  no_number_reading,  // a number, and the lexicon lacks the "NULL" entry: nothing is parsed
  node_limit,         // the node limit stopped the sentence
  timeout,            // the time allowed ran out
  analysed,           // it has a complete analysis
  no_analysis,        // it was parsed to the end without one
  unreadable,         // the line could not be read (`problem` says why): nothing is analysed
};

struct sentence_analysis {
  int number = 0;                       // the sentence's number in the input, from 1
  const unsigned char* text = nullptr;  // as analysed: upper-cased, closed by a blank
  std::string_view as_read;              // the input line as read, without its line end
  bool as_read_utf8 = false;  // `as_read` is UTF-8 as given (an unreadable line), not the convention
  sentence_words words;
  const node_list* nodes = nullptr;  // every node made, in creation order
  sentence_outcome outcome = sentence_outcome::no_words;
  analysis_target target{};           // what a complete analysis is
  const parse_node* axiom = nullptr;  // the first complete analysis, or null
  // The exact number of complete analyses, when asked for and the sentence
  // was parsed or stopped by the node limit (analysis_count.hpp).
  std::optional<analysis_count> count;
  bool stopped_early = false;  // the parse ended at `axiom`: later nodes were not made
  // The numbers of the rules that the complete analyses use, each once, in
  // increasing order, when asked for and the count came from a full parse
  // (else rules_of_analyses finds them over the packed chart).
  std::optional<std::vector<int>> rules_of_analyses;
  long time_us = 0;            // the time the analysis took
  std::string_view problem;    // why an unreadable line is one
};

// The name an outcome has in records and profiles ("analysed",
// "no_analysis", "unknown_word", ...); the outcome of a name, false for a
// name that is none.
const char* outcome_name(sentence_outcome outcome);
bool outcome_of(std::string_view name, sentence_outcome& outcome);

// What the analysis of a sentence works with.
struct analysis_setup {
  const lexicon_tables& lexicon;
  const grammar_tables& grammar;
  const unsigned char* word_end_chars;  // terminated set
  std::string_view start_category;
  log_output log;
  // Stop the parse at the first complete analysis (nothing asks for the
  // nodes made after it).
  bool stop_at_first_analysis = false;
  // The indexed parser's side tables, kept for the next sentence (null:
  // every parse makes its own).
  indexed_parse_tables* parse_tables = nullptr;
  // Count the complete analyses, whether or not the parse makes them all:
  // from the nodes of a full parse when it takes few, else from a packed
  // chart.
  bool count_analyses = false;
  // The count's storage, kept for the next sentence (null: every count
  // makes its own).
  count_workspace* count_tables = nullptr;
  // Note the rules of the complete analyses where the count comes from a
  // full parse, which has them at hand (what a suite's coverage needs).
  bool note_rules = false;
  // Once it has passed, the count and the parse give up and the sentence
  // gets the outcome timeout.
  steady_deadline deadline{};
};

// Analyses `sentence` (as the sentence reader hands it out) into `nodes`,
// which are emptied first: lexical analysis, word nodes, parse, and the
// search for the first complete analysis. The result refers to `nodes` and
// into `sentence`; it is valid until either changes.
sentence_analysis analyse_sentence(const analysis_setup& setup, node_list& nodes,
                                   const unsigned char* sentence);

// Appends one word node per reading to `nodes`, in order, each labelled with
// a copy of its reading's label; false when the node limit stopped them.
bool make_word_nodes(node_list& nodes, const sentence_words& words);

// The analysis target of `setup` for a sentence of `word_count` positions.
analysis_target target_of(const analysis_setup& setup, int word_count);
