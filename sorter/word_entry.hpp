// One distinct input line as the store keeps it: the first 16 bytes of its
// text as two numbers, its keys, then its count and the rest of its text.
// Most words are no longer than their keys, and words are compared, hashed,
// sorted and written from the keys alone, without a look at memory
// elsewhere; only the few longer texts have a tail (see tail_blocks).
#pragma once

#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sorter/tail_blocks.hpp"

// Bytes of a text that one key holds, and the keys of an entry.
constexpr std::size_t kKeyBytes = sizeof(std::uint64_t);
constexpr std::size_t kKeyCount = 2;
constexpr std::size_t kKeyedBytes = kKeyCount * kKeyBytes;

// No text holds a zero byte (a line ends at its first one), so zeros behind
// its end make ascending keys ascending texts as far as they reach, a text
// that is the beginning of another sorting first.
struct word_entry {
  // Bytes 0 to 7 and 8 to 15 of the text, the first byte the most
  // significant, zeros standing in for the bytes behind its end.
  std::uint64_t keys[kKeyCount];
  int count;  // input lines with this text; 1 when the entry is made
  // The bytes from kKeyedBytes on, or kNoTail when the text is no longer.
  tail_ref tail;
};

// Byte `i` of a key, counting from the most significant, as a key.
constexpr std::uint64_t key_byte(unsigned char byte, std::size_t i) {
  return std::uint64_t{byte} << (kKeyBytes - 1 - i) * CHAR_BIT;
}

// The `count` bytes at `bytes`, fewer than eight, as a key, taken in two
// loads that overlap (or three bytes that do) rather than byte by byte.
inline std::uint64_t short_key_of(const unsigned char* bytes, std::size_t count) {
  constexpr std::size_t kHalf = kKeyBytes / 2;
  if (count < kHalf) {
    if (count == 0) return 0;
    return key_byte(bytes[0], 0) | key_byte(bytes[count / 2], count / 2) |
           key_byte(bytes[count - 1], count - 1);
  }
  std::uint32_t front, back;
  std::memcpy(&front, bytes, kHalf);
  std::memcpy(&back, bytes + count - kHalf, kHalf);
  if constexpr (std::endian::native == std::endian::little) {
    front = __builtin_bswap32(front);
    back = __builtin_bswap32(back);
  }
  return std::uint64_t{front} << kHalf * CHAR_BIT |
         std::uint64_t{back} << (kKeyBytes - count) * CHAR_BIT;
}

// The first `count` bytes at `bytes`, at most eight of them, as a key.
inline std::uint64_t key_of(const unsigned char* bytes, std::size_t count) {
  if (count >= kKeyBytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, kKeyBytes);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return word;
  }
  return short_key_of(bytes, count);
}

// An entry of count 1 with the keys of the `length` bytes at `text` and no
// tail yet.
inline word_entry entry_of(const unsigned char* text, std::size_t length) {
  const std::size_t second = length > kKeyBytes ? length - kKeyBytes : 0;
  return word_entry{{key_of(text, length), key_of(text + kKeyBytes * (second > 0), second)},
                    1,
                    kNoTail};
}

// Bytes of a key before its zeros; the text ends there when they are fewer
// than kKeyBytes.
inline std::size_t bytes_in_key(std::uint64_t key) {
  return key == 0 ? 0 : kKeyBytes - std::countr_zero(key) / CHAR_BIT;
}

// Bytes of the entry's text that its keys hold.
inline std::size_t keyed_length(const word_entry& entry) {
  const std::size_t first = bytes_in_key(entry.keys[0]);
  return first < kKeyBytes ? first : first + bytes_in_key(entry.keys[1]);
}

// Writes the kKeyedBytes bytes of the keys to `to`: the first
// keyed_length(entry) of them are its text's.
inline void put_keyed_bytes(const word_entry& entry, unsigned char* to) {
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    std::uint64_t word = entry.keys[k];
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    std::memcpy(to + k * kKeyBytes, &word, kKeyBytes);
  }
}

// The tail of an entry as a terminated text: empty when it has none.
const unsigned char* tail_text(const tail_blocks& tails, const word_entry& entry);

// Compares the tails of two entries with the same keys, as texts.
int compare_tails(const word_entry& a, const word_entry& b, const tail_blocks& tails);

// Compares the texts of two entries, whose tails are in `tails`: negative
// when `a` sorts first, positive when `b` does, 0 for the same text.
inline int compare_entries(const word_entry& a, const word_entry& b, const tail_blocks& tails) {
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    if (a.keys[k] != b.keys[k]) return a.keys[k] < b.keys[k] ? -1 : 1;
  }
  if (a.tail == b.tail) return 0;  // kNoTail both: the texts end in the keys
  return compare_tails(a, b, tails);
}

// Compares the `length` bytes at `text`, none of them zero, with the
// terminated `stored`, as compare_entries compares tails.
int compare_tail(const unsigned char* text, std::size_t length, const unsigned char* stored);

// Mixes the eight bytes `word` of a text into a hash.
inline std::uint64_t mix_word(std::uint64_t hash, std::uint64_t word) {
  constexpr std::uint64_t kWordMultiplier = 0x9E3779B97F4A7C15u;
  return (hash ^ word) * kWordMultiplier;
}

// The hash of the words mixed into `hash`. MurmurHash3's finaliser carries
// the high bits, which a multiplication only ever moves upwards, down into
// the low ones.
inline std::uint64_t finish_hash(std::uint64_t hash) {
  constexpr std::uint64_t kFirstMultiplier = 0xFF51AFD7ED558CCDu;
  constexpr std::uint64_t kSecondMultiplier = 0xC4CEB9FE1A85EC53u;
  constexpr int kShift = 33;
  hash = (hash ^ (hash >> kShift)) * kFirstMultiplier;
  hash = (hash ^ (hash >> kShift)) * kSecondMultiplier;
  return hash ^ (hash >> kShift);
}

// Mixes the tail of `tail_length` bytes at `tail` into a hash, eight bytes
// at a time.
std::uint64_t mix_tail(std::uint64_t hash, const unsigned char* tail, std::size_t tail_length);

// A hash of a text with the keys `keys` and the tail of `tail_length` bytes
// at `tail`.
inline std::uint64_t hash_of(const std::uint64_t* keys, const unsigned char* tail,
                             std::size_t tail_length) {
  std::uint64_t hash = mix_word(mix_word(0, keys[0]), keys[1]);
  if (tail_length > 0) hash = mix_tail(hash, tail, tail_length);
  return finish_hash(hash);
}

// The hash of an entry's text, as hash_of gives it for the text itself.
std::uint64_t hash_of(const word_entry& entry, const tail_blocks& tails);

// Compares two texts byte by byte as unsigned values: negative when `a`
// sorts first, positive when `b` does, 0 only for identical texts. A text
// that is the beginning of the other sorts first.
int compare_text(const unsigned char* a, const unsigned char* b);
