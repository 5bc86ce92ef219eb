// The analyser's loaders on the parts of a fuzz input, for a harness that
// also links the checker (whose UTF-8 names clash with the analyser's, so
// this lives in a file of its own).
#pragma once

#include <string_view>

#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/dict_reader.hpp"
#include "analyser/lexicon/lexicon.hpp"

// A rules file, a lexicon and an endings file as the analyser loads them.
struct analyser_grammar {
  grammar_tables grammar;
  lexicon_tables lexicon;
  const dict_entry* lexicon_entries = nullptr;
  const dict_entry* endings_entries = nullptr;
};

// Loads the three texts into `loaded` (fresh), read as bytes or, with
// `utf8`, decoded as the analyser decodes its files. False when a text is no
// UTF-8 the convention can hold, or memory runs out: then nothing is loaded
// to compare.
bool load_with_analyser(std::string_view rules, std::string_view lexicon,
                        std::string_view endings, bool utf8, analyser_grammar& loaded);
