// Looking words up in a dictionary list entered through a first-letter index.
// The lists are sorted by first letter, and the lines of one word stand
// together: a lookup scans only the run of its first letter.
//
// For a large lexicon that scan is replaced by a table of exact words built
// once after loading: for every word it holds the entry that the scan would
// return, so sorted and unsorted files give the same answers either way.
#pragma once

#include "analyser/driver/analyser_state.hpp"

using letter_index = dict_entry* [kLetterSlots];

// The first entry that holds exactly the `length` bytes of `word`, or null.
// A word whose first byte has no index slot, and an empty word, are not found.
dict_entry* dict_lookup(const letter_index& index, const unsigned char* word, int length);

// `entry` when it holds exactly the word (same length, same bytes), else null.
dict_entry* entry_matches(dict_entry* entry, const unsigned char* word, int length);

// The entry right after `entry` when it holds the same word, else null.
dict_entry* next_homograph(const dict_entry* entry, const unsigned char* word, int length);

// Builds `state.lexicon_table` over `state.lexicon_index`; call it once the
// lexicon is loaded: the table does not see entries added afterwards. Costs
// one walk over the run of each first letter.
void build_lexicon_table(AnalyserState& state);

// dict_lookup(index, word, length), answered from the table when `index` is
// the one the table was built from, and by the scan otherwise.
dict_entry* find_word(const AnalyserState& state, const letter_index& index,
                      const unsigned char* word, int length);
