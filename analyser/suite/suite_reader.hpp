// The test suite file: plain text like an input text, one item a line.
//
//   Der Hund bellt.                  must have at least one complete analysis
//   *Der Hund bellen.                must have none ("*" is not part of the sentence)
//   Er sieht den Mann ...<TAB>2      exactly 2 complete analyses
//   Der Hund bellt. 2                the same: blanks separate as tabs do
//   Der Hund bellt.<TAB><SATZ(...)>  this first analysis (the bracket line without numbers)
//   ...<TAB>2<TAB><SATZ(...)>        both, in either order
//   $ a comment                      skipped, as is every line of blanks and control characters
//
// The sentence ends where the sentence reader ends it: at its first
// sentence delimiter (with the delimiters right behind it, as in "?!" or
// "...") or at its first control character, such as a tab; so a suite is
// still an input text. What follows is the expectation: fields separated by
// tabs or blanks, each a count (digits) or a bracket line ("<" up to a ">"
// that ends a field). Anything else there (a second sentence, a typo) makes
// the line malformed, so that no expectation is dropped without a word.
// The item's text is the line up to its first tab, or up to the end of the
// sentence when fields follow it before any tab. Lines end with LF or CR
// LF, the last one may lack it. With -utf8 the file is UTF-8, and every text
// of an item is decoded to the analyser's convention.
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
  std::string text;  // the sentence to analyse, in the convention; it holds a visible character
  item_expectation expected;
  std::string problem;  // for a malformed line
};

// True for a line that holds no item: blanks and control characters only,
// or a comment.
bool is_skipped_line(std::string_view line);

// Reads one line of a suite, its line end removed; the sentence ends at a
// byte of `sentence_end_chars` (a terminated set, as the configuration gives
// it) or a control character.
suite_line parse_suite_line(std::string_view line, bool utf8,
                            const unsigned char* sentence_end_chars);

// The lines of a suite file in order, numbered from 1.
class suite_reader {
 public:
  suite_reader(std::FILE* file, bool utf8, const unsigned char* sentence_end_chars)
      : file_(file), utf8_(utf8), sentence_end_chars_(sentence_end_chars) {}
  // The next line that is not skipped, with its number; false at the end
  // of the file (or at a read error: see failed()).
  bool next(suite_line& line, long& number);
  bool failed() const { return std::ferror(file_) != 0; }
  long lines_read() const { return lines_read_; }

 private:
  std::FILE* file_;
  bool utf8_;
  const unsigned char* sentence_end_chars_;
  long lines_read_ = 0;
  std::string raw_;
};
