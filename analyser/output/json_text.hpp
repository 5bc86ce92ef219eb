// Building JSON text: strings of the analyser's 7-bit convention written as
// UTF-8 JSON strings, numbers, lists of values.
#pragma once

#include <string>
#include <string_view>

#include "analyser/grammar/analysis_count.hpp"

// Appends `text` (convention bytes) as a JSON string: the convention's
// letters as the letters they stand for, other bytes of 0x80 and above as the
// characters of ISO-8859-1 (so a backslash is the letter Ö), quotes and
// control characters escaped. The result is valid UTF-8 whatever the bytes.
void append_json_string(std::string& out, std::string_view text);

// Appends `text` that is no sentence text (a file name, a checksum) as a
// JSON string: ASCII as it is, every other byte as the ISO-8859-1 character
// of its value (the convention's letters are not mapped), quotes,
// backslashes and control characters escaped.
void append_json_latin1(std::string& out, std::string_view text);

// Appends `text` (UTF-8 as given, which may be faulty) as a JSON string:
// every well-formed character as it is, every byte that begins no
// well-formed character as U+FFFD, quotes, backslashes and control
// characters escaped.
void append_json_utf8(std::string& out, std::string_view text);

// Appends `"key":`, with a comma before it unless it opens an object.
void append_key(std::string& out, std::string_view key);

// Appends a whole number.
void append_json_number(std::string& out, long long n);

// Appends a value set as a list of groups, each the list of its values;
// "null" for no set.
void append_json_values(std::string& out, const unsigned char* values);

// Appends a count: a number while JSON numbers are exact (up to 2^53),
// beyond that a string of digits, and "unbounded" for a unary cycle.
void append_json_count(std::string& out, const analysis_count& count);
