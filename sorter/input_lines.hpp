// Reading lines from the console, the filter file and the word lists, and the
// capitals conversion that word-list lines go through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>

// Characters of a word-list line taken at once; a longer line comes in
// several pieces, each an entry of its own.
constexpr std::size_t kPieceCapacity = 199;

// Reads one line of any length into `line`, its line feed included (the last
// line of a file may have none). Returns false at the end of the file when
// nothing was read.
bool read_line(std::FILE* file, std::string& line);

// Bytes of a word list read from its file at once.
constexpr std::size_t kReadBlockBytes = 64 * 1024;

// A word list being read in pieces, a block of bytes at a time: the bytes
// from `begin` to `end` of `bytes` have been read from the file but not yet
// taken into a piece. Reading ahead is safe because nothing else reads the
// file while it is being read in pieces.
struct PieceReader {
  explicit PieceReader(std::FILE* file) : file(file) {}

  std::FILE* file;
  std::array<unsigned char, kReadBlockBytes> bytes;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Reads the next piece of the word list into `piece`: the bytes up to and
// including the next line feed, at most kPieceCapacity of them. When a full
// piece is directly followed by its line end ("\n" or "\r\n"), that line end
// is added to the piece, so a line of exactly kPieceCapacity characters is
// one piece and no empty line follows it. Returns false at the end of the
// file when nothing was read; a read error ends the file as well (see
// std::ferror).
bool read_piece(PieceReader& reader, std::string& piece);

// Converts `line` to capitals in place, up to its first zero byte or line
// feed, and cuts it there: the umlauts and sharp s of code page 437 become
// the 7-bit codes "[", "\", "]" and "^", then "a" to "~" become "A" to "^".
void to_capitals(std::string& line);
