// Reading profiles back (the format: profile_writer.hpp). Any bytes are
// taken: a line that is no record of a profile gets a message naming the
// file and the line ("NAME:LINE: reason", "NAME:LINE:COLUMN: reason" for a
// JSON fault), is left out and counted as a problem; blank lines are
// skipped. A part must open with its header and close with its end record,
// and the end record's count of items must be the part's.
//
// Line numbers: the parts of a suite read from standard input (suite "-"),
// split by lines as GNU parallel --pipe does, follow one another; so while
// parts of suite "-" follow one another, each part's lines are counted on
// from the lines of the part before, and the items come out with their line
// in the whole suite.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "analyser/suite/json_reader.hpp"
#include "analyser/suite/profile_writer.hpp"
#include "analyser/suite/suite_item.hpp"

// One line of a profile as read: blank, a JSON value, or a JSON fault.
struct parsed_line {
  bool blank = false;
  bool parsed = false;
  json_value record;
  json_error error;
};

class profile_reader {
 public:
  using item_sink = std::function<void(const item_result&)>;

  // Messages go to `messages`; every item read is handed to `sink`.
  profile_reader(std::FILE* messages, item_sink sink)
      : messages_(messages), sink_(std::move(sink)) {}

  // Reads the profile `stream`, called `name` in messages. Parts may run on
  // from one file into the next one read. No memory: std::bad_alloc.
  void read(std::FILE* stream, const std::string& name);
  // Ends the reading: the last part must have had its end record.
  void finish();

  long problems() const { return problems_; }
  long parts() const { return parts_; }
  // True when the parts were made with different files (their checksums
  // differ), so the summary mixes grammars.
  bool mixed_files() const { return mixed_files_; }
  // The rules and lexicon entries that every part was made with, when
  // every part names them and all name the same; null otherwise.
  const coverage_universe* coverage() const;
  // True when some part names them, but coverage() has none.
  bool coverage_left_out() const { return coverage_ && coverage() == nullptr; }

 private:
  struct part {
    bool open = false;
    std::string suite;
    std::string name;  // where its header stands, for messages
    long header_line = 0;
    long base = 0;   // lines of the suite before this part
    long lines = 0;  // lines of the suite it covers
    long items = 0;  // item records read
  };

  void take_record(const parsed_line& line, const std::string& name, long number);
  void problem(const std::string& name, long number, const std::string& reason);
  void take_header(const json_value& record, const std::string& name, long number);
  void take_universe(std::optional<coverage_universe> universe);
  void take_end(const json_value& record, const std::string& name, long number);
  void take_item(const json_value& record, const std::string& name, long number);
  void close_part_without_end();

  std::FILE* messages_;
  item_sink sink_;
  part part_;
  long problems_ = 0;
  long parts_ = 0;
  bool mixed_files_ = false;
  bool have_files_ = false;
  std::string first_files_;  // the checksums of the first part's files
  std::optional<coverage_universe> coverage_;  // the first part's
  bool coverage_everywhere_ = true;
  bool coverage_differs_ = false;
};
