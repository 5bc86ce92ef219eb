// The analyser's process-wide state in one record: the run-time settings,
// the tables loaded at start-up and the current sentence. The driver owns it
// and hands each routine of the lower layers the part it needs; a test
// builds a fresh one in a line and points `out` and `console` at its own
// streams.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analyser/base/file_input.hpp"
#include "analyser/base/limits.hpp"
#include "analyser/base/log_output.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/library/loaded_grammar.hpp"
#include "analyser/library/sentence_analyser.hpp"

// Complete analyses that -all writes of one sentence unless -max-analyses
// says otherwise.
constexpr long kDefaultAnalysisLimit = 100;

// How the results of the sentences are written.
enum class result_format {
  printout,  // the analyser's own printout
  json,      // one JSON record per sentence (-json)
  penn,      // Penn Treebank brackets (-penn)
  dot,       // Graphviz graphs (-dot)
};

// The settings of the options beyond the classic eight. None of them is
// set by a classic command line, so such a line runs exactly as before, its
// exit status included (1 at every end); any of them makes the normal end
// status 0 (-status does nothing else).
struct added_settings {
  bool given = false;                 // some added option is on the command line
  bool help = false;                  // --help
  result_format format = result_format::printout;
  bool all_analyses = false;          // -all
  long analysis_limit = kDefaultAnalysisLimit;  // -max-analyses N
  bool count = false;                 // -count
  bool why = false;                   // -why
  bool utf8 = false;                  // -utf8
  bool words = false;                 // -words
  std::string suite_file_name;        // -test FILE
  std::string profile_file_name;      // -profile FILE
  std::string compare_file_name;      // -compare FILE
  std::vector<std::string> summary_files;  // -summary FILE...
  std::string serve_address;          // -serve [HOST:]PORT
  long threads = -1;                  // -threads N (0: one per core; -1: not given)
  long max_body = 1024 * 1024;        // -max-body BYTES
  const char* misuse = nullptr;       // what is wrong with the command line, or null
};

// Where the sentence reader stands in the input: the number of the line its
// last piece came from, under -utf8 that line decoded and how far it has been
// handed out, and what the last read met.
struct sentence_reading {
  std::string decoded;
  std::size_t at = 0;
  long line_number = 0;
  bool mid_line = false;     // the last piece (read as bytes) did not end its line
  bool skip_prompt = false;  // the console's last line was unreadable: no new prompt
  // The last unreadable line (-utf8): as given, without its line end, and why.
  std::string unreadable_text;
  std::string problem;
  bool ended_at_line = false;  // the input ended at a line without text, not at its end
  // The input is no regular file (the console, a pipe): its next line may be
  // long in coming, so the output of each sentence is flushed before it is read.
  bool may_wait = true;
};

struct analyser_state {
  // Streams: the printout and every message go to `out`; the console is read
  // from `console`. Machine-readable results go to `results`; while they
  // do, `out` is `errors`.
  FILE* out = stdout;
  FILE* console = stdin;
  FILE* results = stdout;
  FILE* errors = stderr;

  // Run-time settings from the command line.
  int trace_flag = 0;
  int output_flags = 0;
  int console_input = 1;
  std::string start_category = "SATZ";
  std::string config_file_name;
  std::string input_file_name;
  added_settings added;

  // The configuration file, open until the run ends, and the grammar it
  // names.
  unique_file config_file;
  loaded_grammar loaded;

  // The current sentence.
  int sentence_count = 0;
  int unreadable_lines = 0;  // lines skipped under -utf8; records count them with the sentences
  unsigned char sentence_buffer[kSentenceCapacity + 1] = {};
  // The piece of the input line the sentence came from, as read, without
  // its line end.
  char line_as_read[kSentenceCapacity] = {};
  int line_as_read_length = 0;
  sentence_reading reading;
  node_list nodes;
  sentence_analyser analyser{loaded};

  // Where the lower layers write their warnings and trace lines.
  log_output log() const { return {out, trace_flag != 0, added.utf8}; }
};
