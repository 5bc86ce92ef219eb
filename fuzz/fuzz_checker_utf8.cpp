// Quelvint's reading of UTF-8 text ("-utf8") on any bytes. The input is one
// file, read through the checker's own reader and then checked as a lexicon
// and as a rules file. Besides not crashing:
// - the reader accepts exactly the texts an independent judge accepts (ASCII,
//   U+0080 to U+00FF and U+1E9E, each in its shortest form), and it reports
//   its first fault at the byte where the judge finds the first sequence it
//   cannot take, with that sequence's bytes;
// - what it accepts, written back, gives the same bytes, but for the eight
//   ASCII codes the convention uses for letters, which come back as the
//   letters ("[" as "Ä");
// - the place after the last character counts lines and characters;
// - both checks, stopping at the first error or going on, agree as in the
//   other checker harnesses (checker_runs.hpp).
#include <cstdint>
#include <string>
#include <string_view>

#include "checker/text_input.hpp"
#include "checker/utf8_convention.hpp"
#include "fuzz/checker_runs.hpp"

namespace {

// The length of the sequence the judge takes at the front of `text`, or 0.
std::size_t judged_length(std::string_view text) {
  const auto byte = [&](std::size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  if (byte(0) < 0x80) return 1;
  if ((byte(0) == 0xC2 || byte(0) == 0xC3) && byte(1) >= 0x80 && byte(1) <= 0xBF) return 2;
  if (text.substr(0, 3) == "\xE1\xBA\x9E") return 3;
  return 0;
}

// The text as the checker must write it back: the spellings as letters.
std::string expected_echo(std::string_view text) {
  static constexpr std::string_view kSpellings = "{|}~[\\]^";
  static constexpr std::string_view kLetters[] = {"ä", "ö", "ü", "ß", "Ä", "Ö", "Ü", "ẞ"};
  std::string echo;
  for (const char c : text) {
    const std::size_t spelled = kSpellings.find(c);
    if (spelled == std::string_view::npos) {
      echo += c;
    } else {
      echo += kLetters[spelled];
    }
  }
  return echo;
}

// Reads the whole input as the checks do and holds it against the judge.
void read_against_judge(std::string_view input) {
  memory_input file(input);
  text_input reader(file.file(), true);
  std::string echo;
  long long lines = 1, columns = 1;
  for (std::size_t at = 0;;) {
    const input_char read = reader.next();
    const std::size_t judged = judged_length(input.substr(at));
    if (read.c == EOF) {
      fuzz_expect(at == input.size(), "the reader ended before the end of the text");
      break;
    }
    if (read.c == kFaultyChar) {
      fuzz_expect(judged == 0, "the reader refused a sequence the judge takes");
      fuzz_expect(input.substr(at, read.length) == read.sequence(),
                  "a fault does not name the bytes where it stands");
      return;
    }
    fuzz_expect(judged == read.length, "the reader took a sequence the judge refuses");
    char utf8[kMaxEncodedLength];
    echo.append(utf8, encode_utf8(static_cast<unsigned char>(read.c), utf8));
    at += read.length;
    columns = read.c == '\n' ? 1 : columns + 1;
    lines += read.c == '\n' ? 1 : 0;
  }
  fuzz_expect(echo == expected_echo(input), "accepted text does not come back as it was");
  fuzz_expect(reader.position().line == lines && reader.position().column == columns,
              "the place after the text is not counted in lines and characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz_bytes(data, size);
  read_against_judge(input);
  constexpr check_settings kUtf8Settings{4, 3, true};
  run_check(file_kind::lexicon, input, kUtf8Settings);
  run_check(file_kind::rules, input, kUtf8Settings);
  return 0;
}
