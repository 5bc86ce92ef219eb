#include "checker/text_input.hpp"

#include <stdio.h>

// The file is read by this thread alone, a byte at a time: the unlocked
// form saves taking the stream's lock for every byte.
int text_input::next_byte() {
  const int byte = pending_ != EOF ? pending_ : getc_unlocked(file_);
  pending_ = EOF;
  return byte;
}

// Takes the continuation bytes the lead byte announces; a byte that does not
// continue the sequence is kept for the next character.
void text_input::read_utf8(input_char& read, unsigned char lead) {
  const std::size_t announced = announced_length(lead);
  while (read.length < announced) {
    const int byte = next_byte();
    if (byte == EOF) break;
    if (!is_continuation(static_cast<unsigned char>(byte))) {
      pending_ = byte;
      break;
    }
    read.bytes[read.length++] = static_cast<char>(byte);
  }
  read.decoded = decode_sequence(read.sequence());
  read.c = read.decoded.fault == utf8_fault::none ? read.decoded.byte : kFaultyChar;
}

void text_input::advance(const input_char& read) {
  at_ = next_;
  last_char_ = read.c;
  if (read.c == '\n') {
    ++next_.line;
    next_.column = 1;
  } else if (read.c == kFaultyChar) {
    next_.column += static_cast<long long>(read.length);
  } else if (read.c != EOF) {
    ++next_.column;
  }
}

input_char text_input::next() {
  input_char read;
  const int byte = next_byte();
  if (byte != EOF) {
    read.bytes[0] = static_cast<char>(byte);
    read.length = 1;
    read.c = byte;
    if (utf8_) read_utf8(read, static_cast<unsigned char>(byte));
  }
  advance(read);
  return read;
}
