#include "analyser/driver/sentence_reader.hpp"

#include <cstring>

#include "analyser/base/text_utils.hpp"

namespace {

// After a full piece, takes the line end that follows it (LF, or CR LF) as
// the end of that piece, so it never comes back as an empty line.
void take_line_end(FILE* stream) {
  int c = std::getc(stream);
  if (c == '\r') c = std::getc(stream);
  if (c != '\n' && c != EOF) std::ungetc(c, stream);
}

// Reads up to `capacity` bytes, stopping behind an LF; returns the number
// read, or -1 when the stream had nothing left.
int read_piece(FILE* stream, unsigned char* buffer, int capacity) {
  int length = 0;
  int c = 0;
  while (length < capacity && (c = std::getc(stream)) != EOF) {
    buffer[length++] = static_cast<unsigned char>(c);
    if (c == '\n') return length;
  }
  if (length == capacity) take_line_end(stream);
  return length > 0 ? length : -1;
}

// Zeroes control characters and sentence delimiters, upper-cases the rest;
// true when the piece held any byte of 32 or above.
bool normalise_piece(const analyser_state& state, unsigned char* buffer, int length) {
  bool visible = false;
  for (int i = 0; i < length; ++i) {
    const unsigned char c = buffer[i];
    if (c < kFirstVisible) {
      buffer[i] = 0;
      continue;
    }
    visible = true;
    buffer[i] = in_char_set(state.sentence_end_chars, c) ? 0 : upcase_char(c);
  }
  return visible;
}
// Keeps the piece as read, without its line end (LF or CR LF).
void keep_as_read(analyser_state& state, const unsigned char* piece, int length) {
  if (length > 0 && piece[length - 1] == '\n') --length;
  if (length > 0 && piece[length - 1] == '\r') --length;
  if (length > kSentenceCapacity) length = kSentenceCapacity;
  std::memcpy(state.line_as_read, piece, length);
  state.line_as_read_length = length;
}
}  // namespace

unsigned char* read_sentence(analyser_state& state, FILE* stream, unsigned char* buffer, int size) {
  std::memset(buffer, 0, size);
  if (stream == state.console) {
    show_message(state.messages, state.out, kMessageSentencePrompt);
    std::fflush(state.out);
  }
  const int length = read_piece(stream, buffer, size - 1);
  if (length < 0) return nullptr;
  keep_as_read(state, buffer, length);
  if (!normalise_piece(state, buffer, length)) return nullptr;
  const std::size_t text_length = std::strlen(reinterpret_cast<char*>(buffer));
  buffer[text_length] = ' ';
  buffer[text_length + 1] = 0;
  ++state.sentence_count;
  return buffer;
}
