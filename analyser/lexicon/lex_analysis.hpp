// The lexical analysis of a sentence: its words, and for each word the
// readings that become its word nodes.
#pragma once

#include <string_view>
#include <vector>

#include "analyser/lexicon/lexicon.hpp"

// One word of the sentence as cut at the word delimiters.
struct sentence_word {
  const unsigned char* text = nullptr;  // into the sentence
  int length = 0;
  int position = 0;     // the word's position; a split word also takes the next
  int stem_length = 0;  // bytes of the stem when the word was split, else 0
};

// One reading of a word: it becomes one word node.
struct word_reading {
  const dict_entry* entry;
  int position;
  std::string_view label;  // the entry's label, a number's own text, or empty
};

// What the lexical analysis found: the words up to the first one that was
// neither found nor split, and their readings in the order their nodes are
// made (word by word, each word's readings in lexicon order, for a split word
// the stem's readings before the ending's).
struct sentence_words {
  std::vector<sentence_word> words;
  std::vector<word_reading> readings;
  int word_count = 0;     // positions; 0 without words; -1 after an unknown word
  sentence_word unknown;  // the word neither found nor split (length 0: none)
  // The unknown word is a number, and the lexicon lacks the "NULL" entry
  // that gives numbers their reading.
  bool number_without_entry = false;
};

// Cuts the sentence (terminated, upper-cased, closed by a blank) into words
// at the bytes of `word_end_chars` (a terminated set) and looks each up: a
// word found whole gets its readings with their labels; a word beginning
// with a digit is a number and gets the first "NULL" entry with its own text
// as label; any other word is split into stem and ending. Stops at the first
// word that is neither found nor split, or a number when there is no "NULL"
// entry (`number_without_entry`). A word not followed by a delimiter is not
// analysed. The result refers into the sentence.
sentence_words lex_analysis(const lexicon_tables& lexicon, const unsigned char* word_end_chars,
                            const unsigned char* sentence);

// One way an unknown word was tried as stem + ending: an ending of the
// endings file that the word ends with, and whether the stem and the ending
// are words of the lexicon.
struct split_attempt {
  int stem_length;
  const dict_entry* ending;
  bool stem_found;
  bool ending_found;
};

// Every split the lexical analysis tries for the word, in its order:
// shortest ending first, stems of at least three bytes. Empty when the word
// is too short or no ending fits.
std::vector<split_attempt> split_attempts(const lexicon_tables& lexicon, const unsigned char* word,
                                          int length);

// Tries the word as a stem of at least three bytes followed by an ending of
// `endings_list`, shortest ending first and, for one length, in file order;
// both halves must be in `index`. On success adds the stem's readings at
// `position` and the ending's at `position` + 1 (empty labels) and returns
// `position` + 1; otherwise adds nothing and returns 0.
int split_ending(const lexicon_tables& lexicon, const unsigned char* word,
                 const letter_index& index, int position, int length,
                 std::vector<word_reading>& readings);
