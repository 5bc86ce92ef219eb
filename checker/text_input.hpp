// The checked file as the checks read it: one character at a time in the
// 7-bit convention, with the place of every character in the file.
//
// An 8-bit file gives its bytes as they are. A UTF-8 file gives the
// convention byte of each character (utf8_convention.hpp); a byte sequence
// that gives none is handed out as a fault with its bytes, so that the check
// can report it and, when it goes on, echo those bytes unchanged.
#pragma once

#include <cstdio>
#include <string_view>

#include "checker/utf8_convention.hpp"

// A place in the file: line and column, both counted from 1.
struct text_position {
  long long line = 1;
  long long column = 1;
};

// What `input_char::c` holds for a fault.
constexpr int kFaultyChar = -2;

struct input_char {
  int c = EOF;  // the convention byte, EOF at the end of the file, or kFaultyChar
  decoded_char decoded;
  // The file's bytes of the character.
  char bytes[kMaxSequenceLength] = {};
  std::size_t length = 0;

  std::string_view sequence() const { return {bytes, length}; }
};

class text_input {
 public:
  text_input() = default;
  text_input(std::FILE* file, bool utf8) : file_(file), utf8_(utf8) {}

  // The next character; EOF at the end of the file and after it.
  input_char next();
  // The `c` of the character last read (EOF before the first).
  int last_char() const { return last_char_; }
  // Where the character last read stands. Columns count characters, and
  // every byte of a fault as one. At the end of the file: the place just
  // past its last character.
  text_position position() const { return at_; }

 private:
  int next_byte();
  void read_utf8(input_char& read, unsigned char lead);
  void advance(const input_char& read);

  std::FILE* file_ = nullptr;
  bool utf8_ = false;
  int pending_ = EOF;  // a byte read past the end of a truncated sequence
  int last_char_ = EOF;
  text_position at_;
  text_position next_;
};
