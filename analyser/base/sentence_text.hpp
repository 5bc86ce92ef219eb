// One input line made into the sentence the analysis reads: the text before
// its first sentence delimiter or control character, upper-cased, closed by
// one blank (the blank ends its last word).
#pragma once

#include "analyser/base/text_utils.hpp"

// Makes the sentence of the `length` bytes of `buffer` in place: control
// characters and the bytes of `sentence_end_chars` (a terminated set, tested
// on the byte as read) become zero bytes, every other byte is upper-cased as
// `letters` says, and one blank and a terminator follow the text before the
// first zero byte. `buffer` holds length + 2 bytes. False when the line held
// no byte of 32 or above (then the buffer is left with its zero bytes and no
// blank).
bool make_sentence(unsigned char* buffer, int length, const unsigned char* sentence_end_chars,
                   letter_case letters);
