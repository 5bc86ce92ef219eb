#include "sorter/input_lines.hpp"

#include <stdio.h>

#include <algorithm>
#include <cstring>

// The list is read by this thread alone: the unlocked form saves taking the
// stream's lock for every byte.
bool read_line(std::FILE* file, std::string& line) {
  line.clear();
  int c;
  while ((c = getc_unlocked(file)) != EOF) {
    line += static_cast<char>(c);
    if (c == '\n') return true;
  }
  return !line.empty();
}

namespace {

// A line end is a line feed, or a carriage return and a line feed.
constexpr std::size_t kLongestLineEnd = 2;

std::size_t buffered(const piece_reader& reader) { return reader.end - reader.begin; }

// Reads lines into `lines` until one converts, and makes it the line to
// hand out. Returns false at the end of the file.
bool convert_next_line(utf8_lines& lines, std::FILE* file) {
  while (read_line(file, lines.line)) {
    ++lines.line_number;
    utf8_fault fault{};
    if (utf8_to_seven_bit(lines.line, lines.converted, fault)) {
      lines.handed = 0;
      return true;
    }
    lines.left_out(lines.line_number, lines.line, fault);
  }
  lines.converted.clear();
  lines.handed = 0;
  return false;
}

// Copies up to `room` bytes of converted lines to `to`. Returns how many;
// fewer than `room` only at the end of the file.
std::size_t read_converted(utf8_lines& lines, std::FILE* file, unsigned char* to,
                           std::size_t room) {
  std::size_t given = 0;
  while (given < room) {
    if (lines.handed == lines.converted.size() && !convert_next_line(lines, file)) break;
    const std::size_t count = std::min(room - given, lines.converted.size() - lines.handed);
    std::memcpy(to + given, lines.converted.data() + lines.handed, count);
    given += count;
    lines.handed += count;
  }
  return given;
}

// Reads up to `room` bytes of the word list to `to`: from the file as it
// is, or converted from UTF-8.
std::size_t read_bytes(piece_reader& reader, unsigned char* to, std::size_t room) {
  if (reader.utf8 != nullptr) return read_converted(*reader.utf8, reader.file, to, room);
  return std::fread(to, 1, room, reader.file);
}

// Reads behind the untaken bytes, which move to the front of the block,
// until at least `count` (at most kReadBlockBytes) are buffered or the file
// has ended.
void buffer_at_least(piece_reader& reader, std::size_t count) {
  while (buffered(reader) < count && !reader.ended) {
    unsigned char* const front = reader.bytes.data();
    std::memmove(front, front + reader.begin, buffered(reader));
    reader.end -= reader.begin;
    reader.begin = 0;
    const std::size_t room = reader.bytes.size() - reader.end;
    const std::size_t read = read_bytes(reader, front + reader.end, room);
    reader.ended = read < room;
    reader.end += read;
  }
}

// The length of the line end at `next`, of which `count` bytes are
// buffered, or 0.
std::size_t line_end_at(const unsigned char* next, std::size_t count) {
  if (count >= 1 && next[0] == '\n') return 1;
  if (count >= 2 && next[0] == '\r' && next[1] == '\n') return 2;
  return 0;
}

// The bytes of the next piece among the `count` buffered at `next`, which
// are all there are or hold a full piece and its line end.
std::size_t piece_length(const unsigned char* next, std::size_t count) {
  const std::size_t looked_at = std::min(count, kPieceCapacity);
  const auto* const line_feed =
      static_cast<const unsigned char*>(std::memchr(next, '\n', looked_at));
  if (line_feed != nullptr) return line_feed - next + 1;
  if (count <= kPieceCapacity) return count;
  return kPieceCapacity + line_end_at(next + kPieceCapacity, count - kPieceCapacity);
}

}  // namespace

// A piece is taken whole from the block: the bytes of the longest piece
// are read ahead first, so that none is split where a block ends.
bool read_piece(piece_reader& reader, line_piece& piece) {
  buffer_at_least(reader, kPieceCapacity + kLongestLineEnd);
  if (buffered(reader) == 0) return false;
  unsigned char* const next = reader.bytes.data() + reader.begin;
  const std::size_t length = piece_length(next, buffered(reader));
  piece = line_piece(next, length);
  reader.begin += length;
  return true;
}

namespace {

// A letter of code page 437 (and 850) and the 7-bit code that stands for it.
struct code_page_letter {
  unsigned char code;
  unsigned char seven_bit;
};

constexpr code_page_letter kCodePageLetters[] = {
    {0x84, '['},  {0x8E, '['},   // small and capital a umlaut
    {0x94, '\\'}, {0x99, '\\'},  // small and capital o umlaut
    {0x81, ']'},  {0x9A, ']'},   // small and capital u umlaut
    {0xE1, '^'},                 // sharp s
};

// Distance from "a" to "A", and from "{", "|", "}", "~" to their capitals.
constexpr unsigned char kCaseDistance = 'a' - 'A';

using capitals_table = std::array<unsigned char, 256>;

// The capital of every byte, for the meaning the bytes from 0x80 up have.
constexpr capitals_table capitals_of(high_bytes meaning) {
  capitals_table table{};
  for (std::size_t b = 0; b < table.size(); ++b) {
    auto byte = static_cast<unsigned char>(b);
    if (meaning == high_bytes::code_page_437) {
      for (const code_page_letter& letter : kCodePageLetters) {
        if (byte == letter.code) byte = letter.seven_bit;
      }
    }
    if (byte >= 'a' && byte <= '~') byte -= kCaseDistance;
    table[b] = byte;
  }
  return table;
}

constexpr capitals_table kCodePageCapitals = capitals_of(high_bytes::code_page_437);
constexpr capitals_table kLatin1Capitals = capitals_of(high_bytes::latin_1);

}  // namespace

std::size_t to_capitals(line_piece line, high_bytes meaning) {
  const capitals_table& capitals =
      meaning == high_bytes::code_page_437 ? kCodePageCapitals : kLatin1Capitals;
  std::size_t i = 0;
  for (; i < line.size() && line[i] != '\0' && line[i] != '\n'; ++i) line[i] = capitals[line[i]];
  return i;
}
