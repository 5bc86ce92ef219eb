// The lexicon subsystem's tables: the categories of grammar and lexicon, the
// lexicon and the endings. Loaded once at start-up, read-only afterwards.
#pragma once

#include "analyser/base/arena.hpp"
#include "analyser/lexicon/category_table.hpp"
#include "analyser/lexicon/dict_reader.hpp"
#include "analyser/lexicon/word_lookup.hpp"

struct lexicon_tables {
  category_table categories;
  arena storage;  // dictionary entries and their value sets
  letter_index lexicon_index = {};
  letter_index endings_index = {};
  dict_entry* endings_list = nullptr;  // the endings in file order
  word_table lexicon_table;
};
