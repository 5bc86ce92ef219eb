// Reading lines from the console, the filter file and the word lists, and the
// capitals conversion that word-list lines go through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "sorter/utf8_text.hpp"

// Characters of a word-list line taken at once; a longer line comes in
// several pieces, each an entry of its own.
constexpr std::size_t kPieceCapacity = 199;

// Reads one line of any length into `line`, its line feed included (the last
// line of a file may have none). Returns false at the end of the file when
// nothing was read.
bool read_line(std::FILE* file, std::string& line);

// Bytes of a word list read from its file at once.
constexpr std::size_t kReadBlockBytes = 64 * 1024;

// A UTF-8 word list read a line at a time, each line converted whole to the
// 7-bit convention (see utf8_to_seven_bit) before any piece of it is taken.
// A line that cannot be converted is handed to `left_out` with its number in
// the file and its fault, and is taken no further. A line of any length is
// held whole, so a very long one may run out of memory (std::bad_alloc).
struct utf8_lines {
  using left_out_function =
      std::function<void(long line_number, std::string_view line, const utf8_fault& fault)>;

  explicit utf8_lines(left_out_function left_out) : left_out(std::move(left_out)) {}

  left_out_function left_out;
  long line_number = 0;    // lines read so far
  std::string line;        // the last line read, as in the file
  std::string converted;   // its conversion
  std::size_t handed = 0;  // bytes of `converted` taken into the block
};

// A word list being read in pieces, a block of bytes at a time: the bytes
// from `begin` to `end` of `bytes` have been read from the file, or from the
// conversion of its lines when `utf8` is set, but not yet taken into a
// piece; `ended` once a read has come short. Reading ahead is safe because
// nothing else reads the file while it is being read in pieces.
struct piece_reader {
  explicit piece_reader(std::FILE* file, utf8_lines* utf8 = nullptr) : file(file), utf8(utf8) {}

  std::FILE* file;
  utf8_lines* utf8;
  std::array<unsigned char, kReadBlockBytes> bytes;
  std::size_t begin = 0;
  std::size_t end = 0;
  bool ended = false;
};

// A piece of a word list. It lies in the reader's block, stays valid until
// the next read and may be changed in place.
using line_piece = std::span<unsigned char>;

// Reads the next piece of the word list into `piece`: the bytes up to and
// including the next line feed, at most kPieceCapacity of them. When a full
// piece is directly followed by its line end ("\n" or "\r\n"), that line end
// is added to the piece, so a line of exactly kPieceCapacity characters is
// one piece and no empty line follows it. Returns false at the end of the
// file when nothing was read; a read error ends the file as well (see
// std::ferror).
bool read_piece(piece_reader& reader, line_piece& piece);

// What the bytes of a word-list line from 0x80 up stand for once it has been
// read: letters of code page 437 (and 850), as the lists come, or
// ISO-8859-1, as a UTF-8 list converted to the 7-bit convention leaves them.
enum class high_bytes { code_page_437, latin_1 };

// Converts `line` to capitals in place, up to its first zero byte or line
// feed, and returns the number of bytes before it: with code page 437 its
// umlauts and sharp s first become the 7-bit codes "[", "\", "]" and "^";
// then "a" to "~" become "A" to "^". ISO-8859-1 bytes stay as they are:
// their umlauts cannot occur, as the conversion from UTF-8 has made them
// 7-bit codes already.
std::size_t to_capitals(line_piece line, high_bytes meaning = high_bytes::code_page_437);
