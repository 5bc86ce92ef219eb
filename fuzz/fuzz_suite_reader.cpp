// The test suite reader on any bytes, as 8-bit text and as UTF-8. Beyond
// "no crash" it checks what every item promises the run: line numbers grow,
// and they are exactly the lines that are neither empty (blanks and control
// characters only) nor comments ("$" first), counted as a line splitter
// counts them; a sentence is no longer than the sentence reader's piece,
// holds no tab and is not blank; an item marked "*" expects no analysis,
// one without expects at least one; an expected analysis is a "<...>" text;
// and in 8-bit text the sentence handed to the reader is its text as written.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/suite/suite_reader.hpp"
#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"

namespace {

// The numbers of the lines a reader must hand out, by an independent split.
std::vector<long> expected_numbers(std::string_view text) {
  std::vector<long> numbers;
  long number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    bool blank = true;
    for (unsigned char c : line) blank = blank && c <= ' ';
    if (!blank && line.front() != '$') numbers.push_back(number);
  }
  return numbers;
}

void expect_item_in_form(const suite_line& line, bool utf8) {
  fuzz_expect(line.text.size() <= kItemSentenceLimit, "an item's sentence is too long");
  fuzz_expect(line.text.find('\t') == std::string::npos, "an item's sentence holds a tab");
  fuzz_expect(line.sentence.find('\t') == std::string::npos, "a sentence to read holds a tab");
  bool blank = true;
  for (unsigned char c : line.text) blank = blank && c <= ' ';
  fuzz_expect(!blank, "an item has no sentence");
  fuzz_expect(utf8 || line.sentence == line.text, "the sentence to read is not the text");
  const item_expectation& e = line.expected;
  if (e.grammatical) {
    fuzz_expect(!e.count || *e.count > 0, "a grammatical item expects no analysis");
  } else {
    fuzz_expect((!e.count || *e.count == 0) && !e.analysis,
                "an item marked \"*\" expects an analysis");
  }
  if (e.analysis) {
    fuzz_expect(e.analysis->size() >= 2 && e.analysis->front() == '<' && e.analysis->back() == '>',
                "an expected analysis is no bracket line");
  }
}

void read_suite(std::string_view text, bool utf8) {
  memory_input file(text);
  suite_reader reader(file.file(), utf8);
  suite_line line;
  long number = 0;
  std::vector<long> numbers;
  while (reader.next(line, number)) {
    fuzz_expect(line.kind != suite_line_kind::skipped, "a skipped line was handed out");
    fuzz_expect(numbers.empty() || number > numbers.back(), "line numbers do not grow");
    numbers.push_back(number);
    if (line.kind == suite_line_kind::item) expect_item_in_form(line, utf8);
    if (line.kind == suite_line_kind::malformed) {
      fuzz_expect(!line.problem.empty(), "a malformed line has no problem");
    }
  }
  fuzz_expect(numbers == expected_numbers(text), "the lines handed out are not the suite's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz_bytes(data, size);
  read_suite(text, false);
  read_suite(text, true);
  return 0;
}
