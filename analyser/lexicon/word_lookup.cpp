#include "analyser/lexicon/word_lookup.hpp"

#include <cstdint>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/text_utils.hpp"

namespace {
// Slots per word at most half full keep the probe sequences short.
constexpr std::size_t kSlotsPerWord = 2;
constexpr std::size_t kSmallestTable = 16;
constexpr unsigned char kFirstSlotByte = 0x41;  // "A", the byte of slot 0
constexpr std::uint32_t kFnvOffsetBasis = 2166136261u;
constexpr std::uint32_t kFnvPrime = 16777619u;

// True when `entry` begins a later letter run than `first`: the scan stops there.
bool past_letter_run(const dict_entry* entry, unsigned char first) {
  return entry->word_length > 0 && entry->word[0] > first;
}

// The entry after `entry` in the scan of the run of `first`, or null where it ends.
dict_entry* next_in_letter_run(const dict_entry* entry, unsigned char first) {
  dict_entry* next = entry->next;
  return next == nullptr || past_letter_run(next, first) ? nullptr : next;
}

// FNV-1a over the word's bytes.
std::size_t word_hash(const unsigned char* word, int length) {
  std::uint32_t hash = kFnvOffsetBasis;
  for (int i = 0; i < length; ++i) hash = (hash ^ word[i]) * kFnvPrime;
  return hash;
}

// The slot that holds `word`, or the empty slot where it belongs. The table
// always has empty slots, so the probe ends.
std::size_t probe(const word_table& table, const unsigned char* word, int length) {
  const std::size_t mask = table.slots.size() - 1;
  for (std::size_t at = word_hash(word, length) & mask;; at = (at + 1) & mask) {
    dict_entry* entry = table.slots[at];
    if (entry == nullptr || entry_matches(entry, word, length) != nullptr) return at;
  }
}

// Entries in the runs of all letters: at least as many as the words the
// table will hold, which sizes it.
std::size_t count_run_words(const letter_index& index) {
  std::size_t count = 0;
  for (int s = 0; s < kLetterSlots; ++s) {
    const unsigned char first = kFirstSlotByte + s;
    for (const dict_entry* e = index[s]; e != nullptr; e = next_in_letter_run(e, first)) ++count;
  }
  return count;
}

// Enters each word of each letter's run once, as its first entry in the run:
// the one the scan finds.
void enter_run_words(word_table& table, const letter_index& index) {
  for (int s = 0; s < kLetterSlots; ++s) {
    const unsigned char first = kFirstSlotByte + s;
    for (dict_entry* e = index[s]; e != nullptr; e = next_in_letter_run(e, first)) {
      if (e->word_length <= 0 || e->word[0] != first) continue;
      dict_entry*& slot = table.slots[probe(table, e->word, e->word_length)];
      if (slot == nullptr) slot = e;
    }
  }
}
}  // namespace

const dict_entry* dict_lookup(const letter_index& index, const unsigned char* word, int length) {
  if (length <= 0) return nullptr;
  int slot = letter_slot(word[0]);
  if (slot < 0) return nullptr;
  for (dict_entry* e = index[slot]; e != nullptr; e = next_in_letter_run(e, word[0])) {
    if (entry_matches(e, word, length) != nullptr) return e;
  }
  return nullptr;
}

const dict_entry* entry_matches(const dict_entry* entry, const unsigned char* word, int length) {
  if (entry->word_length != length) return nullptr;
  return compare_bytes(entry->word, word, length) == 0 ? entry : nullptr;
}

const dict_entry* next_homograph(const dict_entry* entry, const unsigned char* word, int length) {
  if (length <= 0) return nullptr;
  dict_entry* following = next_in_letter_run(entry, word[0]);
  return following == nullptr ? nullptr : entry_matches(following, word, length);
}

void build_lexicon_table(word_table& table, const letter_index& index) {
  const std::size_t wanted = kSlotsPerWord * count_run_words(index);
  std::size_t size = kSmallestTable;
  while (size < wanted) size *= 2;
  needing_memory("read_dict: malloc Fehler", [&] { table.slots.assign(size, nullptr); });
  enter_run_words(table, index);
  table.index = index;
}

const dict_entry* find_word(const word_table& table, const letter_index& index,
                      const unsigned char* word, int length) {
  if (table.index != index) return dict_lookup(index, word, length);
  if (length <= 0) return nullptr;
  return table.slots[probe(table, word, length)];
}
