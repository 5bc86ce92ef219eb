// Looking words up in a dictionary list entered through a first-letter index.
// The lists are sorted by first letter, and the lines of one word stand
// together: a lookup scans only the run of its first letter.
//
// For a large lexicon that scan is replaced by a table of exact words built
// once after loading: for every word it holds the entry that the scan would
// return, so sorted and unsorted files give the same answers either way.
#pragma once

#include <vector>

#include "analyser/lexicon/dict_reader.hpp"

// Exact-word table over a dictionary list: open addressing over a
// power-of-two number of slots, empty until built.
struct word_table {
  const dict_entry* const* index = nullptr;  // the first-letter index it was built from
  std::vector<dict_entry*> slots;
};

// The first entry that holds exactly the `length` bytes of `word`, or null.
// A word whose first byte has no index slot, and an empty word, are not found.
const dict_entry* dict_lookup(const letter_index& index, const unsigned char* word, int length);

// `entry` when it holds exactly the word (same length, same bytes), else null.
const dict_entry* entry_matches(const dict_entry* entry, const unsigned char* word, int length);

// The entry right after `entry` when it holds the same word, else null.
const dict_entry* next_homograph(const dict_entry* entry, const unsigned char* word, int length);

// Builds `table` over `index`; call it once the dictionary is loaded: the
// table does not see entries added afterwards. Costs one walk over the run of
// each first letter. No memory: fatal "read_dict: malloc Fehler".
void build_lexicon_table(word_table& table, const letter_index& index);

// dict_lookup(index, word, length), answered from `table` when `index` is the
// one the table was built from, and by the scan otherwise.
const dict_entry* find_word(const word_table& table, const letter_index& index,
                      const unsigned char* word, int length);
