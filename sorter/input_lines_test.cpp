#include "sorter/input_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "test_support/streams.hpp"

namespace {

// Everything that `read` takes from `reader`, one call after the other,
// until it says the file has ended.
template <typename reader_type, typename read_function>
std::vector<std::string> read_all(reader_type& reader, read_function read) {
  std::vector<std::string> taken;
  std::string one;
  while (read(reader, one)) taken.push_back(one);
  return taken;
}

std::vector<std::string> lines_of(const std::string& text) {
  const memory_input input(text);
  std::FILE* file = input.file();
  return read_all(file, read_line);
}

// Reads a piece as a string.
bool read_piece_text(piece_reader& reader, std::string& piece) {
  line_piece taken;
  const bool read = read_piece(reader, taken);
  piece.assign(reinterpret_cast<const char*>(taken.data()), read ? taken.size() : 0);
  return read;
}

std::vector<std::string> pieces_of(const std::string& text) {
  const memory_input input(text);
  piece_reader reader(input.file());
  return read_all(reader, read_piece_text);
}

// Converts `line` to capitals and cuts it where the conversion stops.
void capitals_in(std::string& line, high_bytes meaning = high_bytes::code_page_437) {
  line.resize(to_capitals(line_piece(reinterpret_cast<unsigned char*>(line.data()), line.size()),
                          meaning));
}

TEST(read_line, TakesLinesOfAnyLengthWithTheirLineFeed) {
  const std::string long_line(5000, 'x');
  EXPECT_EQ(lines_of("a\n\nb c\n" + long_line + "\nlast"),
            (std::vector<std::string>{"a\n", "\n", "b c\n", long_line + "\n", "last"}));
  EXPECT_TRUE(lines_of("").empty());
}

TEST(read_piece, CutsLinesIntoPiecesOfAtMost199Characters) {
  const std::string x198(198, 'x'), x199(199, 'x'), x200(200, 'x');
  struct table_row {
    const char* what;
    std::string input;
    std::vector<std::string> pieces;
  };
  const table_row rows[] = {
      {"short lines", "abc\n\nd", {"abc\n", "\n", "d"}},
      {"198 characters", x198 + "\nz\n", {x198 + "\n", "z\n"}},
      {"199 characters take their line end", x199 + "\nz\n", {x199 + "\n", "z\n"}},
      {"199 characters and CR LF", x199 + "\r\nz\n", {x199 + "\r\n", "z\n"}},
      {"199 characters at the end of the file", x199, {x199}},
      {"200 characters", x200 + "\n", {x199, "x\n"}},
      {"398 characters", x199 + x199 + "\n", {x199, x199 + "\n"}},
      {"399 characters", x200 + x199 + "\n", {x199, x199, "x\n"}},
      {"a line going on after a full piece", x199 + "yz\n", {x199, "yz\n"}},
      {"a CR going on after a full piece", x199 + "\ry\n", {x199, "\ry\n"}},
      {"a CR at the end after a full piece", x199 + "\r", {x199, "\r"}},
      {"zero bytes count as characters",
       std::string("a\0b\n", 4) + x199 + "\n",
       {std::string("a\0b\n", 4), x199 + "\n"}},
  };
  for (const table_row& row : rows) EXPECT_EQ(pieces_of(row.input), row.pieces) << row.what;
}

TEST(read_piece, TakesTheLineEndsAndZeroBytesOfTheLimits) {
  const std::string x198(198, 'x'), x199(199, 'x'), x200(200, 'x');
  const std::string zeros(199, '\0');
  struct table_row {
    const char* what;
    std::string input;
    std::vector<std::string> pieces;
  };
  const table_row rows[] = {
      {"198 characters and CR LF", x198 + "\r\nz", {x198 + "\r\n", "z"}},
      {"200 characters and CR LF", x200 + "\r\n", {x199, "x\r\n"}},
      {"198 characters without line end", x198, {x198}},
      {"200 characters without line end", x200, {x199, "x"}},
      {"199 zero bytes", zeros + "\n", {zeros + "\n"}},
      {"a CR LF split by a full piece", x198 + "\r\n", {x198 + "\r\n"}},
      {"CR CR LF after a full piece", x199 + "\r\r\n", {x199, "\r\r\n"}},
      {"an empty file", "", {}},
  };
  for (const table_row& row : rows) EXPECT_EQ(pieces_of(row.input), row.pieces) << row.what;
}

// A reader of the whole text at once, without blocks: the judge of the
// buffered reader where its blocks end.
struct whole_text_reader {
  std::string_view rest;
};

bool read_piece_of_whole_text(whole_text_reader& reader, std::string& piece) {
  if (reader.rest.empty()) return false;
  std::string_view taken = reader.rest.substr(0, kPieceCapacity);
  const std::size_t line_feed = taken.find('\n');
  if (line_feed != std::string_view::npos) {
    taken = taken.substr(0, line_feed + 1);
  } else if (taken.size() == kPieceCapacity) {
    const std::string_view after = reader.rest.substr(kPieceCapacity);
    const std::size_t line_end = after.starts_with('\n') ? 1 : after.starts_with("\r\n") ? 2 : 0;
    taken = reader.rest.substr(0, kPieceCapacity + line_end);
  }
  piece = taken;
  reader.rest.remove_prefix(taken.size());
  return true;
}

std::vector<std::string> pieces_of_whole_text(const std::string& text) {
  whole_text_reader reader{text};
  return read_all(reader, read_piece_of_whole_text);
}

TEST(read_piece, CutsLikeTheWholeTextReaderWhereverABlockEnds) {
  const std::string x199(199, 'x');
  const std::string tails[] = {
      x199 + "\r\nshort\n",
      x199 + "\r\r\n",
      x199 + "\ny\n",
      x199 + "y\r\n",
      "a\r\nb\n" + x199,
      x199 + "\r",
      std::string("z\0\n", 3) + x199 + "\n",
  };
  // The tail begins `shift` bytes before the end of the first block, so
  // that the block ends at every byte of its first piece and line end.
  constexpr std::size_t kShifts = kPieceCapacity + 3;
  constexpr std::size_t kFillerLine = 100;
  for (const std::string& tail : tails) {
    for (std::size_t shift = 1; shift <= kShifts; ++shift) {
      std::string text;
      while (kReadBlockBytes - shift - text.size() > kFillerLine + 1)
        text += std::string(kFillerLine, 'f') + "\n";
      text += std::string(kReadBlockBytes - shift - text.size() - 1, 'g') + "\n" + tail;
      ASSERT_EQ(pieces_of(text), pieces_of_whole_text(text)) << "shift " << shift << ": " << tail;
    }
  }
}

TEST(read_piece, EndsTheFileAtAReadError) {
  const owned_file file(std::fopen("/", "r"));  // a directory: every read fails
  ASSERT_NE(file, nullptr);
  piece_reader reader(file.get());
  std::string piece = "old";
  EXPECT_FALSE(read_piece_text(reader, piece));
  EXPECT_EQ(piece, "");
  EXPECT_TRUE(std::ferror(file.get()));
}

// The pieces of a UTF-8 list, and its lines left out as "line:column".
struct utf8_reading {
  std::vector<std::string> pieces;
  std::vector<std::string> left_out;
};

utf8_reading read_utf8(const std::string& text) {
  utf8_reading reading;
  utf8_lines utf8([&reading](long line_number, std::string_view, const utf8_fault& fault) {
    reading.left_out.push_back(std::to_string(line_number) + ":" + std::to_string(fault.column));
  });
  const memory_input input(text);
  piece_reader reader(input.file(), &utf8);
  reading.pieces = read_all(reader, read_piece_text);
  return reading;
}

std::string repeated(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

TEST(read_piece, CutsConvertedUtf8LinesAndLeavesOutTheFaultyOnes) {
  const std::string a_umlaut = "\xc3\xa4";
  struct table_row {
    const char* what;
    std::string input;
    utf8_reading expected;
  };
  const table_row rows[] = {
      {"umlauts", "B\xc3\xa4r\n\xc3\x84pfel\n", {{"B{r\n", "[pfel\n"}, {}}},
      {"faulty lines, the last without line feed",
       "a\n\xff\nb\nc\xe2\x82\xac\nd\n\xc3",
       {{"a\n", "b\n", "d\n"}, {"2:1", "4:2", "6:1"}}},
      {"a piece is 199 characters, not bytes",
       repeated(a_umlaut, 250) + "\n",
       {{std::string(199, '{'), std::string(51, '{') + "\n"}, {}}},
      {"a full piece takes its CR LF",
       repeated(a_umlaut, 199) + "\r\nz",
       {{std::string(199, '{') + "\r\n", "z"}, {}}},
      {"an empty file", "", {}},
  };
  for (const table_row& row : rows) {
    const utf8_reading reading = read_utf8(row.input);
    EXPECT_EQ(reading.pieces, row.expected.pieces) << row.what;
    EXPECT_EQ(reading.left_out, row.expected.left_out) << row.what;
  }
}

TEST(read_piece, TakesConvertedLinesAcrossBlocksAsThePlainReaderTakesTheirText) {
  // Lines of one to four hundred characters, some of umlauts, some faulty,
  // in all several blocks of converted text.
  const std::string line_kinds[] = {"w\n", "\xc3\xb6\xc3\x9f\n", "x\xed\xa0\x80\n", "\xc3\xbc\r\n",
                                    "\xe1\xba\x9e\n"};
  std::string text, converted;
  int faulty = 0;
  for (int i = 0; converted.size() < 3 * kReadBlockBytes; ++i) {
    const std::string line = repeated("a", i % 397) + line_kinds[i % std::size(line_kinds)];
    text += line;
    std::string line_converted;
    utf8_fault fault{};
    if (utf8_to_seven_bit(line, line_converted, fault)) {
      converted += line_converted;
    } else {
      ++faulty;
    }
  }
  const utf8_reading reading = read_utf8(text);
  EXPECT_EQ(reading.pieces, pieces_of(converted));
  EXPECT_EQ(static_cast<int>(reading.left_out.size()), faulty);
}

TEST(to_capitals, ConvertsLettersAndUmlautsUpToTheLineFeed) {
  struct table_row {
    std::string input, expected;
  };
  const table_row rows[] = {
      {"abc xyz", "ABC XYZ"},
      {"{|}~", "[\\]^"},
      {"\x84\x8e\x94\x99\x81\x9a\xe1", "[[\\\\]]^"},
      {"`@\x7f\x80\xff\xe4", "`@\x7f\x80\xff\xe4"},  // neighbours stay
      {"ab\ncd\n", "AB"},
      {std::string("ab\0cd", 5), "AB"},
      {"", ""},
  };
  for (const table_row& row : rows) {
    std::string line = row.input;
    capitals_in(line);
    EXPECT_EQ(line, row.expected) << row.input;
  }
}

TEST(to_capitals, LeavesIsoLatin1BytesAsTheyAre) {
  // From UTF-8, 0xE1 is a small a with acute, no sharp s, and 0x84 a
  // control character.
  std::string line = "{|}~ab\xe1\x84\x8e\xe4\n";
  capitals_in(line, high_bytes::latin_1);
  EXPECT_EQ(line, "[\\]^AB\xe1\x84\x8e\xe4");
}

}  // namespace
