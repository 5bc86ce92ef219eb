// Zandoret's UTF-8 conversion on any bytes, taken as a word list:
//   - each line that converts comes back from the backward conversion as the
//     same bytes, but for the eight ASCII codes of the 7-bit convention,
//     which come back as the letters they stand for ("{" as "ä");
//   - a line that does not convert has its fault inside the line, and what
//     came before the fault converts alone to what the conversion gave;
//   - the backward conversion of any bytes is UTF-8 that converts to the
//     same bytes, but for the seven ISO-8859-1 umlaut bytes, which come back
//     as their 7-bit codes;
//   - the word list read in pieces through the UTF-8 reader gives the pieces
//     that the plain reader gives of the converted lines that convert, and
//     leaves out exactly the others.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.hpp"
#include "sorter/input_lines.hpp"
#include "sorter/utf8_text.hpp"
#include "test_support/streams.hpp"

namespace {

// The judge's own table of the convention: each code and its letter in UTF-8.
struct code_letter {
  char code;
  std::string_view letter_utf8;
  char latin1;  // the letter's ISO-8859-1 byte, 0 for the capital sharp s
};

constexpr code_letter kCodes[] = {
    {'{', "\xc3\xa4", '\xe4'}, {'|', "\xc3\xb6", '\xf6'},   {'}', "\xc3\xbc", '\xfc'},
    {'~', "\xc3\x9f", '\xdf'}, {'[', "\xc3\x84", '\xc4'},   {'\\', "\xc3\x96", '\xd6'},
    {']', "\xc3\x9c", '\xdc'}, {'^', "\xe1\xba\x9e", '\0'},
};

// `line` with each ASCII code replaced by its letter.
std::string with_letters(std::string_view line) {
  std::string text;
  for (const char c : line) {
    std::string_view replaced(&c, 1);
    for (const code_letter& code : kCodes) {
      if (code.code == c) replaced = code.letter_utf8;
    }
    text += replaced;
  }
  return text;
}

// `bytes` with each ISO-8859-1 umlaut byte replaced by its code.
std::string with_codes(std::string_view bytes) {
  std::string text(bytes);
  for (char& c : text) {
    for (const code_letter& code : kCodes) {
      if (code.latin1 != '\0' && code.latin1 == c) c = code.code;
    }
  }
  return text;
}

// Checks one line; returns its conversion, or nothing when it has a fault.
bool check_line(std::string_view line, std::string& converted) {
  utf8_fault fault{};
  if (utf8_to_seven_bit(line, converted, fault)) {
    fuzz_expect(seven_bit_to_utf8(converted) == with_letters(line),
                "a converted line does not convert back to its bytes");
    return true;
  }
  fuzz_expect(fault.length >= 1 && fault.length <= 4 && fault.offset < line.size() &&
                  fault.length <= line.size() - fault.offset,
              "the fault lies outside the line");
  fuzz_expect(fault.column == converted.size() + 1, "the column of the fault is wrong");
  std::string before;
  utf8_fault unused{};
  fuzz_expect(
      utf8_to_seven_bit(line.substr(0, fault.offset), before, unused) && before == converted,
      "the part before the fault does not convert alone to what was given");
  return false;
}

void check_backward(std::string_view bytes) {
  std::string again;
  utf8_fault fault{};
  fuzz_expect(
      utf8_to_seven_bit(seven_bit_to_utf8(bytes), again, fault) && again == with_codes(bytes),
      "the backward conversion does not convert to the same bytes");
}

std::vector<std::string> read_pieces(std::FILE* file, utf8_lines* utf8) {
  piece_reader reader(file, utf8);
  std::vector<std::string> pieces;
  line_piece piece;
  while (read_piece(reader, piece))
    pieces.emplace_back(reinterpret_cast<const char*>(piece.data()), piece.size());
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view list = fuzz_bytes(data, size);
  check_backward(list);
  std::string converted_list;
  long lines = 0, faulty = 0;
  for (std::size_t at = 0; at < list.size(); ++lines) {
    const std::size_t line_feed = list.find('\n', at);
    const std::size_t end = line_feed == std::string_view::npos ? list.size() : line_feed + 1;
    std::string converted;
    if (check_line(list.substr(at, end - at), converted)) {
      converted_list += converted;
    } else {
      ++faulty;
    }
    at = end;
  }
  long left_out = 0;
  utf8_lines utf8([&](long line_number, std::string_view, const utf8_fault&) {
    fuzz_expect(line_number >= 1 && line_number <= lines,
                "a line left out has no number of the list");
    ++left_out;
  });
  const memory_input input(list), plain(converted_list);
  fuzz_expect(read_pieces(input.file(), &utf8) == read_pieces(plain.file(), nullptr),
              "the UTF-8 reader cuts other pieces than the plain reader of the converted lines");
  fuzz_expect(left_out == faulty, "the UTF-8 reader left out other lines");
  return 0;
}
