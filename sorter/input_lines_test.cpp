#include "sorter/input_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sorter/test_streams.hpp"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::FILE* file = stream_of(text);
  std::vector<std::string> lines;
  std::string line;
  while (read_line(file, line)) lines.push_back(line);
  std::fclose(file);
  return lines;
}

std::vector<std::string> pieces_of(const std::string& text) {
  PieceReader reader{stream_of(text), {}};
  std::vector<std::string> pieces;
  std::string piece;
  while (read_piece(reader, piece)) pieces.push_back(piece);
  std::fclose(reader.file);
  return pieces;
}

TEST(ReadLine, TakesLinesOfAnyLengthWithTheirLineFeed) {
  const std::string long_line(5000, 'x');
  EXPECT_EQ(lines_of("a\n\nb c\n" + long_line + "\nlast"),
            (std::vector<std::string>{"a\n", "\n", "b c\n", long_line + "\n", "last"}));
  EXPECT_TRUE(lines_of("").empty());
}

TEST(ReadPiece, CutsLinesIntoPiecesOfAtMost199Characters) {
  const std::string x198(198, 'x'), x199(199, 'x'), x200(200, 'x');
  struct Row {
    const char* what;
    std::string input;
    std::vector<std::string> pieces;
  };
  const Row rows[] = {
      {"short lines", "abc\n\nd", {"abc\n", "\n", "d"}},
      {"198 characters", x198 + "\nz\n", {x198 + "\n", "z\n"}},
      {"199 characters take their line end", x199 + "\nz\n", {x199 + "\n", "z\n"}},
      {"199 characters and CR LF", x199 + "\r\nz\n", {x199 + "\r\n", "z\n"}},
      {"199 characters at the end of the file", x199, {x199}},
      {"200 characters", x200 + "\n", {x199, "x\n"}},
      {"398 characters", x199 + x199 + "\n", {x199, x199 + "\n"}},
      {"399 characters", x200 + x199 + "\n", {x199, x199, "x\n"}},
      {"a line going on after a full piece", x199 + "yz\n", {x199, "yz\n"}},
      {"a CR going on after a full piece", x199 + "\ry\n", {x199, "\ry\n"}},
      {"a CR at the end after a full piece", x199 + "\r", {x199, "\r"}},
      {"zero bytes count as characters",
       std::string("a\0b\n", 4) + x199 + "\n",
       {std::string("a\0b\n", 4), x199 + "\n"}},
  };
  for (const Row& row : rows) EXPECT_EQ(pieces_of(row.input), row.pieces) << row.what;
}

TEST(ToCapitals, ConvertsLettersAndUmlautsUpToTheLineFeed) {
  struct Row {
    std::string input, expected;
  };
  const Row rows[] = {
      {"abc xyz", "ABC XYZ"},
      {"{|}~", "[\\]^"},
      {"\x84\x8e\x94\x99\x81\x9a\xe1", "[[\\\\]]^"},
      {"`@\x7f\x80\xff\xe4", "`@\x7f\x80\xff\xe4"},  // neighbours stay
      {"ab\ncd\n", "AB"},
      {std::string("ab\0cd", 5), "AB"},
      {"", ""},
  };
  for (const Row& row : rows) {
    std::string line = row.input;
    to_capitals(line);
    EXPECT_EQ(line, row.expected) << row.input;
  }
}

}  // namespace
