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
  PieceReader reader(stream_of(text));
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

TEST(ReadPiece, TakesTheLineEndsAndZeroBytesOfTheLimits) {
  const std::string x198(198, 'x'), x199(199, 'x'), x200(200, 'x');
  const std::string zeros(199, '\0');
  struct Row {
    const char* what;
    std::string input;
    std::vector<std::string> pieces;
  };
  const Row rows[] = {
      {"198 characters and CR LF", x198 + "\r\nz", {x198 + "\r\n", "z"}},
      {"200 characters and CR LF", x200 + "\r\n", {x199, "x\r\n"}},
      {"198 characters without line end", x198, {x198}},
      {"200 characters without line end", x200, {x199, "x"}},
      {"199 zero bytes", zeros + "\n", {zeros + "\n"}},
      {"a CR LF split by a full piece", x198 + "\r\n", {x198 + "\r\n"}},
      {"CR CR LF after a full piece", x199 + "\r\r\n", {x199, "\r\r\n"}},
      {"an empty file", "", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(pieces_of(row.input), row.pieces) << row.what;
}

// The reader that the buffered one replaced, a byte at a time from the
// stream: the judge of the buffered reader where its blocks end.
struct ByteReader {
  std::FILE* file;
  std::string held;
};

int next_byte(ByteReader& reader) {
  if (reader.held.empty()) return std::getc(reader.file);
  const int c = static_cast<unsigned char>(reader.held.front());
  reader.held.erase(0, 1);
  return c;
}

bool read_piece_bytewise(ByteReader& reader, std::string& piece) {
  piece.clear();
  while (piece.size() < kPieceCapacity) {
    const int c = next_byte(reader);
    if (c == EOF) return !piece.empty();
    piece += static_cast<char>(c);
    if (c == '\n') return true;
  }
  const int c = next_byte(reader);
  if (c == '\n') {
    piece += '\n';
  } else if (c == '\r') {
    const int after = next_byte(reader);
    if (after == '\n') {
      piece += "\r\n";
    } else {
      reader.held.insert(0, after == EOF ? "\r" : std::string{'\r', static_cast<char>(after)});
    }
  } else if (c != EOF) {
    reader.held.insert(0, 1, static_cast<char>(c));
  }
  return true;
}

std::vector<std::string> pieces_bytewise(const std::string& text) {
  ByteReader reader{stream_of(text), {}};
  std::vector<std::string> pieces;
  std::string piece;
  while (read_piece_bytewise(reader, piece)) pieces.push_back(piece);
  std::fclose(reader.file);
  return pieces;
}

TEST(ReadPiece, CutsLikeTheBytewiseReaderWhereverABlockEnds) {
  const std::string x199(199, 'x');
  const std::string tails[] = {
      x199 + "\r\nshort\n",
      x199 + "\r\r\n",
      x199 + "\ny\n",
      x199 + "y\r\n",
      "a\r\nb\n" + x199,
      x199 + "\r",
      std::string("z\0\n", 3) + x199 + "\n",
  };
  // The tail begins `shift` bytes before the end of the first block, so
  // that the block ends at every byte of its first piece and line end.
  constexpr std::size_t kShifts = kPieceCapacity + 3;
  constexpr std::size_t kFillerLine = 100;
  for (const std::string& tail : tails) {
    for (std::size_t shift = 1; shift <= kShifts; ++shift) {
      std::string text;
      while (kReadBlockBytes - shift - text.size() > kFillerLine + 1)
        text += std::string(kFillerLine, 'f') + "\n";
      text += std::string(kReadBlockBytes - shift - text.size() - 1, 'g') + "\n" + tail;
      ASSERT_EQ(pieces_of(text), pieces_bytewise(text)) << "shift " << shift << ": " << tail;
    }
  }
}

TEST(ReadPiece, EndsTheFileAtAReadError) {
  std::FILE* file = std::fopen("/", "r");  // a directory: every read fails
  ASSERT_NE(file, nullptr);
  PieceReader reader(file);
  std::string piece = "old";
  EXPECT_FALSE(read_piece(reader, piece));
  EXPECT_EQ(piece, "");
  EXPECT_TRUE(std::ferror(file));
  std::fclose(file);
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
