#include "sorter/input_lines.hpp"

#include <algorithm>
#include <cstring>

bool read_line(std::FILE* file, std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(file)) != EOF) {
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

// Makes at least `count` (at most kReadBlockBytes) bytes buffered: moves
// the untaken bytes to the front of the block and reads behind them. Returns
// false when the file ends first, with every byte left in it buffered.
bool buffer_at_least(piece_reader& reader, std::size_t count) {
  while (buffered(reader) < count) {
    unsigned char* const front = reader.bytes.data();
    std::memmove(front, front + reader.begin, buffered(reader));
    reader.end -= reader.begin;
    reader.begin = 0;
    const std::size_t read =
        read_bytes(reader, front + reader.end, reader.bytes.size() - reader.end);
    if (read == 0) return false;
    reader.end += read;
  }
  return true;
}

// Moves `count` buffered bytes to the end of `piece`.
void take(piece_reader& reader, std::size_t count, std::string& piece) {
  piece.append(reinterpret_cast<const char*>(reader.bytes.data() + reader.begin), count);
  reader.begin += count;
}

// The length of the line end that the buffered bytes begin with, or 0.
std::size_t line_end_ahead(const piece_reader& reader) {
  const unsigned char* const next = reader.bytes.data() + reader.begin;
  const std::size_t count = buffered(reader);
  if (count >= 1 && next[0] == '\n') return 1;
  if (count >= 2 && next[0] == '\r' && next[1] == '\n') return 2;
  return 0;
}

// Adds the line end that directly follows a full piece to it; when the line
// goes on instead, the bytes looked at stay for the next piece. (Fewer bytes
// than a line end may be left at the end of the file.)
void take_line_end(piece_reader& reader, std::string& piece) {
  buffer_at_least(reader, kLongestLineEnd);
  take(reader, line_end_ahead(reader), piece);
}

}  // namespace

bool read_piece(piece_reader& reader, std::string& piece) {
  piece.clear();
  while (piece.size() < kPieceCapacity) {
    if (!buffer_at_least(reader, 1)) return !piece.empty();
    const unsigned char* const next = reader.bytes.data() + reader.begin;
    const std::size_t looked_at = std::min(buffered(reader), kPieceCapacity - piece.size());
    const auto* const line_feed =
        static_cast<const unsigned char*>(std::memchr(next, '\n', looked_at));
    if (line_feed != nullptr) {
      take(reader, line_feed - next + 1, piece);
      return true;
    }
    take(reader, looked_at, piece);
  }
  take_line_end(reader, piece);
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

unsigned char capital_of(unsigned char byte, high_bytes meaning) {
  if (meaning == high_bytes::code_page_437) {
    for (const code_page_letter& letter : kCodePageLetters) {
      if (byte == letter.code) byte = letter.seven_bit;
    }
  }
  if (byte >= 'a' && byte <= '~') byte -= kCaseDistance;
  return byte;
}

}  // namespace

void to_capitals(std::string& line, high_bytes meaning) {
  std::size_t i = 0;
  for (; i < line.size() && line[i] != '\0' && line[i] != '\n'; ++i) {
    line[i] = static_cast<char>(capital_of(static_cast<unsigned char>(line[i]), meaning));
  }
  line.resize(i);
}
