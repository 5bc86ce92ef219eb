// The lexicon file and the endings file (one format, one reader).
//
// One entry to a line:  WORD=CATG subcategory text:label
//   word      every character before the first "=", upper-cased (with the
//             small letters of ISO-8859-1 too when the file was UTF-8)
//   category  the first four characters after the "=" (a ":" ends it early)
//   subcat    the rest up to ":" or the line end, turned into a value set
//   label     after ":", leading blanks skipped, the first 18 characters kept
// A CR anywhere is ignored. "$" outside the label starts a comment that runs
// to the line end, whatever its length; a line that is nothing but a comment
// vanishes, and a comment behind an entry leaves the entry to end at that
// line end. A later "=" in a line is ordinary text.
#pragma once

#include <cstdio>

#include "analyser/base/log_output.hpp"
#include "analyser/lexicon/category_table.hpp"

// Characters kept of a dictionary label.
constexpr int kDictLabelLength = 18;

// One line of the lexicon or the endings file.
struct dict_entry {
  dict_entry* next;
  const subcat_value_set* subcat_values;
  category_entry* category;
  char label[kDictLabelLength + 4];  // terminated
  int word_length;
  const unsigned char* word;  // upper-cased, word_length bytes
  int line;                   // its line of the file, from 1
};

// A first-letter index over a dictionary list.
using letter_index = dict_entry* [kLetterSlots];

// Reads `file` to its end and returns its first entry (null when it held
// none); entries are linked in file order and the slot of each first letter
// in `index` (empty on entry) refers to the first entry with that letter. A
// last line without a line end is stored like any other. A line without "=",
// word or category is skipped with a warning ("read_dict: line %d skipped
// ..."), a blank or empty line silently; warnings go to `log.out`. With
// tracing on, every character except CRs and comments is echoed as read.
// Entries and their value sets are stored in `storage`, categories in
// `categories`. No memory: fatal "read_dict: malloc Fehler".
dict_entry* read_dict(arena& storage, category_table& categories, FILE* file, letter_index& index,
                      const log_output& log);
