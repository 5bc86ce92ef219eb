// The test suite file: plain text like an input text, one item a line.
//
//   Der Hund bellt.                  must have at least one complete analysis
//   *Der Hund bellen.                must have none ("*" is not part of the sentence)
//   Er sieht den Mann ...<TAB>2      exactly 2 complete analyses
//   Der Hund bellt.<TAB><SATZ(...)>  this first analysis (the bracket line without numbers)
//   ...<TAB>2<TAB><SATZ(...)>        both, in either order
//   $ a comment                      skipped, as is every line of blanks and control characters
//
// The sentence is the text before the first tab; a tab ends a sentence for
// the sentence reader too, so a suite is still an input text. Behind the tab
// stand expectation fields separated by tabs, each trimmed of blanks; empty
// fields are ignored. Lines end with LF or CR LF, the last one may lack it.
// With -utf8 the file is UTF-8, and every text of an item is decoded to the
// analyser's convention.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "analyser/suite/suite_item.hpp"

// Characters a sentence may have: what the sentence reader takes as one
// sentence. A longer line would be read as several sentences.
constexpr std::size_t kItemSentenceLimit = 399;
// Digits an expected count may have.
constexpr std::size_t kCountDigitLimit = 18;

enum class suite_line_kind { skipped, item, malformed };

struct suite_line {
  suite_line_kind kind = suite_line_kind::skipped;
  std::string sentence;  // the bytes to analyse, as the file holds them (raw UTF-8 under -utf8)
  std::string text;      // the same in the convention
  item_expectation expected;
  std::string problem;  // for a malformed line
};

// Reads one line of a suite, its line end removed.
suite_line parse_suite_line(std::string_view line, bool utf8);

// The lines of a suite file in order, numbered from 1.
class suite_reader {
 public:
  suite_reader(std::FILE* file, bool utf8) : file_(file), utf8_(utf8) {}
  // The next line that is not skipped, with its number; false at the end
  // of the file (or at a read error: see failed()).
  bool next(suite_line& line, long& number);
  bool failed() const { return std::ferror(file_) != 0; }
  long lines_read() const { return lines_read_; }

 private:
  std::FILE* file_;
  bool utf8_;
  long lines_read_ = 0;
  std::string raw_;
};
