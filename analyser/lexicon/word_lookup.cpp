#include "analyser/lexicon/word_lookup.hpp"

#include "analyser/driver/text_utils.hpp"
#include "analyser/lexicon/category_table.hpp"

// True when `entry` begins a later letter run than `first`: the scan stops there.
static bool past_letter_run(const dict_entry* entry, unsigned char first) {
  return entry->word_length > 0 && entry->word[0] > first;
}

dict_entry* dict_lookup(const letter_index& index, const unsigned char* word, int length) {
  if (length <= 0) return nullptr;
  int slot = letter_slot(word[0]);
  if (slot < 0) return nullptr;
  for (dict_entry* e = index[slot]; e != nullptr; e = e->next) {
    if (entry_matches(e, word, length) != nullptr) return e;
    if (e->next != nullptr && past_letter_run(e->next, word[0])) return nullptr;
  }
  return nullptr;
}

dict_entry* entry_matches(dict_entry* entry, const unsigned char* word, int length) {
  if (entry->word_length != length) return nullptr;
  return compare_bytes(entry->word, word, length) == 0 ? entry : nullptr;
}

dict_entry* next_homograph(const dict_entry* entry, const unsigned char* word, int length) {
  dict_entry* following = entry->next;
  if (following == nullptr || length <= 0 || past_letter_run(following, word[0])) return nullptr;
  return entry_matches(following, word, length);
}
