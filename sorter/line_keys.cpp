#include "sorter/line_keys.hpp"

#include <bit>
#include <climits>
#include <cstring>

namespace {

// The helpers below run several times for every line read; they are made
// part of their callers, whatever the optimiser would weigh.
#define LINE_KEYS_INLINE [[gnu::always_inline]] inline

// Words are taken with their first byte the lowest, whatever the machine.
LINE_KEYS_INLINE std::uint64_t load_word(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, kKeyBytes);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

LINE_KEYS_INLINE std::uint32_t load_half_word(const char* bytes) {
  std::uint32_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
  return word;
}

// The `size` bytes at `bytes`, fewer than eight, as a word, zeros behind
// them: in two loads that overlap where there are four or more.
LINE_KEYS_INLINE std::uint64_t load_short_word(const char* bytes, std::size_t size) {
  constexpr std::size_t kHalf = kKeyBytes / 2;
  if (size >= kHalf) {
    return load_half_word(bytes) |
           std::uint64_t{load_half_word(bytes + size - kHalf)} << (size - kHalf) * CHAR_BIT;
  }
  std::uint64_t word = 0;
  for (std::size_t i = 0; i < size; ++i)
    word |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << i * CHAR_BIT;
  return word;
}

// Bit 7 of every byte of `word` that is zero, and perhaps of bytes above
// the lowest such byte; the lowest bit set is exact.
constexpr std::uint64_t zero_bytes_of(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  return (word - kOnes) & ~word & kHighBits;
}

// Bit 7 of every byte of `word` below 0x0E (the carriage return and one),
// and perhaps of bytes above the lowest such byte; 0 when there is none.
constexpr std::uint64_t low_bytes_of(std::uint64_t word) {
  constexpr std::uint64_t kBound = 0x0E0E0E0E0E0E0E0Eu;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  return (word - kBound) & ~word & kHighBits;
}

// The first byte of `word` that ends a text, or kKeyBytes. Words without a
// byte below 0x0E, most of them, are passed over at once; in the others the
// bytes that end a text show as zero bytes of the word itself or of the
// word with every byte turned into that byte's difference from the line
// feed or the carriage return.
LINE_KEYS_INLINE std::size_t first_end_in(std::uint64_t word) {
  constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Au;
  constexpr std::uint64_t kReturns = 0x0D0D0D0D0D0D0D0Du;
  if (low_bytes_of(word) == 0) return kKeyBytes;
  const std::uint64_t ends =
      zero_bytes_of(word) | zero_bytes_of(word ^ kLineFeeds) | zero_bytes_of(word ^ kReturns);
  return ends == 0 ? kKeyBytes : std::countr_zero(ends) / CHAR_BIT;
}

// The first `count` bytes of `word` as a key.
LINE_KEYS_INLINE std::uint64_t key_of_word(std::uint64_t word, std::size_t count) {
  if (count == 0) return 0;
  const std::uint64_t key = __builtin_bswap64(word);
  return key & ~std::uint64_t{0} << (kKeyBytes - count) * CHAR_BIT;
}

// The bytes of a text beyond its keys, of which `size` are there, up to
// the first that ends it: eight at a time, the last eight overlapping those
// already looked at, which hold no end.
std::size_t tail_length(const char* bytes, std::size_t size) {
  if (size < kKeyBytes) return first_end_in(load_short_word(bytes, size));
  for (std::size_t length = 0; length + kKeyBytes <= size; length += kKeyBytes) {
    const std::size_t end = first_end_in(load_word(bytes + length));
    if (end < kKeyBytes) return length + end;
  }
  const std::size_t last = size - kKeyBytes;
  return last + first_end_in(load_word(bytes + last));
}

// The second key's word of a line of `size` bytes, from 8 to 15, whose
// first eight hold no end: its bytes from 8 on, zeros behind them, which
// end the text there.
LINE_KEYS_INLINE std::uint64_t second_word(const char* line, std::size_t size) {
  if (size == kKeyBytes) return 0;
  return load_word(line + size - kKeyBytes) >> (kKeyedBytes - size) * CHAR_BIT;
}

}  // namespace

// Zeros behind the line's own bytes end its text where the line ends.
keyed_line keyed_line_of(const char* line, std::size_t size) {
  const std::uint64_t first = size >= kKeyBytes ? load_word(line) : load_short_word(line, size);
  const std::size_t first_end = first_end_in(first);
  if (first_end < kKeyBytes) return {{key_of_word(first, first_end), 0}, first_end};
  const std::uint64_t second =
      size >= kKeyedBytes ? load_word(line + kKeyBytes) : second_word(line, size);
  const std::size_t second_end = first_end_in(second);
  if (second_end < kKeyBytes)
    return {{key_of_word(first, kKeyBytes), key_of_word(second, second_end)},
            kKeyBytes + second_end};
  return {{key_of_word(first, kKeyBytes), key_of_word(second, kKeyBytes)},
          kKeyedBytes + tail_length(line + kKeyedBytes, size - kKeyedBytes)};
}
