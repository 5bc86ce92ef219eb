#include "sorter/word_entry.hpp"

#include <cstring>

const unsigned char* tail_text(const tail_blocks& tails, const word_entry& entry) {
  static constexpr unsigned char kNoText[] = "";
  return entry.tail == kNoTail ? kNoText : tail_at(tails, entry.tail);
}

int compare_tails(const word_entry& a, const word_entry& b, const tail_blocks& tails) {
  return compare_text(tail_text(tails, a), tail_text(tails, b));
}

// The loop ends at the terminator of `stored` at the latest, as no byte of
// `text` is zero.
int compare_tail(const unsigned char* text, std::size_t length, const unsigned char* stored) {
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] != stored[i]) return text[i] < stored[i] ? -1 : 1;
  }
  return stored[length] == 0 ? 0 : -1;
}

std::uint64_t mix_tail(std::uint64_t hash, const unsigned char* tail, std::size_t tail_length) {
  for (std::size_t i = 0; i < tail_length; i += kKeyBytes)
    hash = mix_word(hash, key_of(tail + i, tail_length - i));
  return hash;
}

std::uint64_t hash_of(const word_entry& entry, const tail_blocks& tails) {
  if (entry.tail == kNoTail) return hash_of(entry.keys, nullptr, 0);
  const unsigned char* const tail = tail_at(tails, entry.tail);
  return hash_of(entry.keys, tail, std::strlen(reinterpret_cast<const char*>(tail)));
}

// strcmp compares the bytes as unsigned char, and the terminator makes the
// shorter of two texts, one the beginning of the other, sort first.
int compare_text(const unsigned char* a, const unsigned char* b) {
  return std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}
