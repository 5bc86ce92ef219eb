#include "analyser/base/sentence_text.hpp"

#include <cstring>

#include "analyser/base/text_utils.hpp"

bool make_sentence(unsigned char* buffer, int length, const unsigned char* sentence_end_chars,
                   letter_case letters) {
  bool visible = false;
  for (int i = 0; i < length; ++i) {
    const unsigned char c = buffer[i];
    if (c < kFirstVisible) {
      buffer[i] = 0;
      continue;
    }
    visible = true;
    buffer[i] = in_char_set(sentence_end_chars, c) ? 0 : upcase_as(letters, c);
  }
  buffer[length] = 0;
  if (!visible) return false;
  const std::size_t text_length = std::strlen(reinterpret_cast<char*>(buffer));
  buffer[text_length] = ' ';
  buffer[text_length + 1] = 0;
  return true;
}
