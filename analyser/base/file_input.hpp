// Whole-line reading of the analyser's text files, and the one owner of the
// files it opens, so that a fatal end closes them too.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "analyser/base/utf8_text.hpp"

struct file_closer {
  void operator()(FILE* file) const { std::fclose(file); }
};
using unique_file = std::unique_ptr<FILE, file_closer>;

// Opens `name` for reading as text; null when it cannot be opened. With
// `utf8` the file is read whole and decoded (utf8_text.hpp), and the stream
// returned holds its text in the 7-bit convention; a fault ends the run with
// "FILE:LINE:COLUMN: REASON: bytes XX" in the fatal frame.
unique_file open_text_file(const std::string& name, bool utf8 = false);

// A stream over `text` decoded from UTF-8 with `utf8` (a fault ends the run
// as for a file called `name`), or over `text` as it is.
unique_file open_text(const std::string& text, const std::string& name, bool utf8 = false);

// How the loaders open the files a configuration names. This one opens
// them relative to the current folder, as the analyser's command line does;
// the library opens them relative to the configuration's folder, or hands
// out texts it was given.
class text_opener {
 public:
  virtual ~text_opener() = default;
  // `name` opened for reading as text (see open_text_file); null when it
  // cannot be opened.
  virtual unique_file open(const std::string& name, bool utf8) const {
    return open_text_file(name, utf8);
  }
};

// The message for a UTF-8 fault of `name`: "FILE:LINE:COLUMN: REASON: bytes XX".
std::string utf8_fault_text(const std::string& name, long line, const utf8_fault& fault);

// Reads the next line of `stream` into `line`, whatever its length, with its
// line end (LF) when it has one; zero bytes are kept. False when the stream
// had nothing left to read.
bool read_line(FILE* stream, std::string& line);

// True when `line` holds nothing but its line end: LF, or CR LF.
bool is_line_end_only(const std::string& line);

// Removes the line end of a line as read: LF, or CR LF taken as one line end.
// The last line of a file without a line end keeps all its characters.
void remove_line_end(std::string& line);
