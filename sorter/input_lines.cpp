#include "sorter/input_lines.hpp"

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

int next_byte(PieceReader& reader) {
  if (reader.held.empty()) return std::getc(reader.file);
  const int c = static_cast<unsigned char>(reader.held.front());
  reader.held.erase(0, 1);
  return c;
}

// Gives `bytes` back to the reader, to come before anything held already.
void give_back(PieceReader& reader, const std::string& bytes) { reader.held.insert(0, bytes); }

// Adds the line end that directly follows a full piece to it, or gives back
// what was looked at when the line goes on.
void take_line_end(PieceReader& reader, std::string& piece) {
  const int c = next_byte(reader);
  if (c == '\n') {
    piece += '\n';
  } else if (c == '\r') {
    const int after = next_byte(reader);
    if (after == '\n') {
      piece += "\r\n";
      return;
    }
    std::string looked_at(1, '\r');
    if (after != EOF) looked_at += static_cast<char>(after);
    give_back(reader, looked_at);
  } else if (c != EOF) {
    give_back(reader, std::string(1, static_cast<char>(c)));
  }
}

}  // namespace

bool read_piece(PieceReader& reader, std::string& piece) {
  piece.clear();
  while (piece.size() < kPieceCapacity) {
    const int c = next_byte(reader);
    if (c == EOF) return !piece.empty();
    piece += static_cast<char>(c);
    if (c == '\n') return true;
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

unsigned char capital_of(unsigned char byte) {
  for (const code_page_letter& letter : kCodePageLetters) {
    if (byte == letter.code) byte = letter.seven_bit;
  }
  if (byte >= 'a' && byte <= '~') byte -= kCaseDistance;
  return byte;
}

}  // namespace

void to_capitals(std::string& line) {
  std::size_t i = 0;
  for (; i < line.size() && line[i] != '\0' && line[i] != '\n'; ++i) {
    line[i] = static_cast<char>(capital_of(static_cast<unsigned char>(line[i])));
  }
  line.resize(i);
}
