#include "analyser/driver/text_utils.hpp"

unsigned char upcase_char(unsigned char b) {
  // a-z and the umlaut codes {|}~ lie together in 0x61..0x7E, each 0x20 above its capital.
  if (b >= 0x61 && b <= 0x7E) return static_cast<unsigned char>(b - 0x20);
  return b;
}

void copy_bytes(unsigned char* destination, const unsigned char* source, int count) {
  for (int i = 0; i < count; ++i) destination[i] = source[i];
}

void copy_bytes_nul(unsigned char* destination, const unsigned char* source, int count) {
  if (count < 0) count = 0;
  copy_bytes(destination, source, count);
  destination[count] = 0;
}

int compare_bytes(const unsigned char* first, const unsigned char* second, int count) {
  for (int i = 0; i < count; ++i) {
    if (first[i] != second[i]) return first[i] - second[i];
  }
  return 0;
}

void put_bytes(FILE* out, const unsigned char* text, int count) {
  for (int i = 0; i < count; ++i) std::fputc(text[i], out);
}
