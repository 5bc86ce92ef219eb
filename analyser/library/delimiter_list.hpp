// The delimiter lines of a configuration: the word and the sentence
// delimiters, each a list of decimal character codes separated by commas,
// e.g. "32,44,46".
#pragma once

#include <string>

// Bytes of a delimiter set: room for every code 1 to 255 once and the
// terminating zero byte, so a set can never overflow (codes are not repeated).
constexpr int kDelimiterSetSize = 256;

// Decodes a delimiter line into the terminated set `set`: each item's leading
// decimal number contributes its low 8 bits. An item without a number adds
// nothing; a code already in the set adds nothing (so every set fits); the
// code 0 ends the set. The list ends at the end of the text, a CR or an LF.
void read_char_list(const char* line, unsigned char (&set)[kDelimiterSetSize]);

// Copies the characters of `text` up to the first comma, CR, LF or end of
// text into `item`; returns how far to advance: the characters copied, plus
// one when a comma stopped the copy.
int next_list_item(const char* text, std::string& item);
