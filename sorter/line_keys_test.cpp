#include "sorter/line_keys.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The judge: the bytes before the first line feed, carriage return or zero
// byte, one at a time, and their keys byte by byte.
keyed_line plainly(const std::string& line) {
  const std::size_t length = std::min(line.find_first_of(std::string("\n\r\0", 3)), line.size());
  keyed_line keyed{{0, 0}, length};
  for (std::size_t i = 0; i < std::min(length, kKeyedBytes); ++i) {
    keyed.keys[i / kKeyBytes] |= std::uint64_t{static_cast<unsigned char>(line[i])}
                                 << (kKeyBytes - 1 - i % kKeyBytes) * 8;
  }
  return keyed;
}

// Every length up to beyond the keys, with an end (or none) at every place
// and bytes on both sides of the ends' values.
TEST(keyed_line_of, FindsTheTextAndItsKeysAsTheJudgeDoes) {
  std::mt19937 random(17);
  constexpr char kBytes[] = {'a', '\x0e', '\x09', '\x0b', '\x0c', '\x80', '\xff', ' ', '\x01'};
  constexpr char kEnds[] = {'\n', '\r', '\0'};
  for (std::size_t size = 0; size <= 40; ++size) {
    for (std::size_t end = 0; end <= size; ++end) {
      for (int round = 0; round < 6; ++round) {
        std::string line(size, 'x');
        for (char& c : line) c = kBytes[random() % std::size(kBytes)];
        if (end < size) line[end] = kEnds[random() % std::size(kEnds)];
        if (round == 0 && end + 1 < size) line[end + 1] = '\n';
        const std::string padded = line + std::string(16, 'p');  // bytes it must not read
        const keyed_line found = keyed_line_of(padded.data(), size);
        const keyed_line expected = plainly(line);
        ASSERT_EQ(found.length, expected.length) << size << " " << end;
        ASSERT_EQ(found.keys[0], expected.keys[0]) << size << " " << end;
        ASSERT_EQ(found.keys[1], expected.keys[1]) << size << " " << end;
      }
    }
  }
}

}  // namespace
