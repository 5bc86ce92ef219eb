// The analyser's lexicon and endings reader on any bytes, with tracing on.
// Every stored entry must be well formed: a non-empty upper-cased word, a
// category of one to four characters, a label within its bound and without
// a leading blank; each index slot at the first entry of its letter; and
// a word looked up through the index finds an entry with that very word.
// The exact-word table built over the loaded file must answer every lookup
// as the scan of the index does, sorted file or not: for each stored word,
// and for the word without its last or its first byte (a stem, an ending).
#include <cstdint>
#include <cstring>

#include "analyser/base/text_utils.hpp"
#include "analyser/lexicon/category_table.hpp"
#include "analyser/lexicon/dict_reader.hpp"
#include "analyser/lexicon/word_lookup.hpp"
#include "analyser/lexicon/lexicon.hpp"
#include "fuzz/analyser_fixture.hpp"

namespace {

constexpr int kCategoryLength = 4;

void expect_entry_in_form(const dict_entry& entry) {
  fuzz_expect(entry.word_length >= 1, "an entry has an empty word");
  for (int i = 0; i < entry.word_length; ++i) {
    fuzz_expect(upcase_char(entry.word[i]) == entry.word[i], "an entry's word is not upper-cased");
  }
  fuzz_expect(entry.category != nullptr && entry.category->name_length >= 1 &&
                  entry.category->name_length <= kCategoryLength,
              "an entry has a malformed category");
  fuzz_expect(std::strlen(entry.label) <= kDictLabelLength, "an entry label is too long");
  fuzz_expect(entry.label[0] != ' ', "an entry label begins with a blank");
}

void expect_dictionary_in_form(const dict_entry* first, const letter_index& index) {
  const dict_entry* first_of_slot[kLetterSlots] = {};
  for (const dict_entry* entry = first; entry != nullptr; entry = entry->next) {
    expect_entry_in_form(*entry);
    const int slot = letter_slot(entry->word[0]);
    if (slot >= 0 && first_of_slot[slot] == nullptr) first_of_slot[slot] = entry;
  }
  for (int slot = 0; slot < kLetterSlots; ++slot) {
    fuzz_expect(index[slot] == first_of_slot[slot],
                "an index slot is not at the first entry of its letter");
  }
  for (const dict_entry* entry = first; entry != nullptr; entry = entry->next) {
    const dict_entry* found = dict_lookup(index, entry->word, entry->word_length);
    fuzz_expect(found == nullptr || (found->word_length == entry->word_length &&
                                     std::memcmp(found->word, entry->word, entry->word_length) == 0),
                "a lookup found an entry of another word");
  }
}

// The table's answer for `length` bytes of `word` is the scan's.
void expect_same_answer(const lexicon_tables& state, const unsigned char* word, int length) {
  fuzz_expect(find_word(state.lexicon_table, state.lexicon_index, word, length) ==
                  dict_lookup(state.lexicon_index, word, length),
              "the word table and the index scan disagree");
}

void expect_table_agrees(const lexicon_tables& state, const dict_entry* first) {
  for (const dict_entry* entry = first; entry != nullptr; entry = entry->next) {
    expect_same_answer(state, entry->word, entry->word_length);
    expect_same_answer(state, entry->word, entry->word_length - 1);
    expect_same_answer(state, entry->word + 1, entry->word_length - 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lexicon_tables state;
  memory_input file(fuzz_bytes(data, size));
  dict_entry* first = nullptr;
  try {
    first = read_dict(state.storage, state.categories, file.file(), state.lexicon_index,
                      {null_output(), true});
  } catch (const fatal_end&) {
    return 0;  // out of memory: an orderly end
  }
  expect_dictionary_in_form(first, state.lexicon_index);
  build_lexicon_table(state.lexicon_table, state.lexicon_index);
  expect_table_agrees(state, first);
  return 0;
}
