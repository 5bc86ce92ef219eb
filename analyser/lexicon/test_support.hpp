// Helpers for the unit tests of the lexicon and the layers above it: they
// build categories, value sets and dictionary entries directly in tables.
#pragma once

#include <string>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/lexicon/lexicon.hpp"

namespace test_support {

inline category_entry* category(category_table& categories, const std::string& name) {
  return put_category(categories, byte_data(name), byte_count(name));
}

inline const subcat_value_set* values(arena& storage, const std::string& text) {
  return put_scv(storage, byte_data(text), byte_count(text));
}

// Appends the entry "WORD" = category and subcategory text, with a label, to
// the list from `head` and to `index` (when its slot is still empty).
inline dict_entry* add_entry(lexicon_tables& lexicon, letter_index& index, dict_entry*& head,
                             const std::string& word, const std::string& category_and_values,
                             const std::string& label = "") {
  auto* entry = lexicon.storage.make<dict_entry>();
  auto* stored = static_cast<unsigned char*>(lexicon.storage.allocate(word.size() + 1));
  word.copy(reinterpret_cast<char*>(stored), word.size());
  entry->word = stored;
  entry->word_length = byte_count(word);
  entry->category = category(lexicon.categories, category_and_values.substr(0, 4));
  if (category_and_values.size() > 4) {
    entry->subcat_values = values(lexicon.storage, category_and_values.substr(4));
  }
  label.copy(entry->label, kDictLabelLength);
  dict_entry** link = &head;
  while (*link != nullptr) link = &(*link)->next;
  *link = entry;
  const int slot = word.empty() ? -1 : letter_slot(stored[0]);
  if (slot >= 0 && index[slot] == nullptr) index[slot] = entry;
  return entry;
}

// The framed text `work` ends the run with, or "" when it returns.
template <typename Work>
std::string fatal_text_of(Work&& work) {
  try {
    work();
  } catch (const fatal_end& end) {
    return end.text;
  }
  return "";
}

}  // namespace test_support
