// The analyser's process-wide state in one record: the run-time settings,
// the tables loaded at start-up and the current sentence. The driver owns it
// and hands each routine of the lower layers the part it needs; a test
// builds a fresh one in a line and points `out` and `console` at its own
// streams.
#pragma once

#include <cstdio>
#include <string>

#include "analyser/base/file_input.hpp"
#include "analyser/base/limits.hpp"
#include "analyser/base/log_output.hpp"
#include "analyser/base/messages.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/lexicon.hpp"

// Bytes of a delimiter set: room for every code 1 to 255 once and the
// terminating zero byte, so a set can never overflow (codes are not repeated).
constexpr int kDelimiterSetSize = 256;

struct analyser_state {
  // Streams: the printout and every message go to `out`; the console is read
  // from `console`.
  FILE* out = stdout;
  FILE* console = stdin;

  // Run-time settings from the command line.
  int trace_flag = 0;
  int output_flags = 0;
  int console_input = 1;
  std::string start_category = "SATZ";
  std::string config_file_name;
  std::string input_file_name;

  // Start-up tables.
  unique_file config_file;
  message_table messages;
  unsigned char word_end_chars[kDelimiterSetSize] = {};
  unsigned char sentence_end_chars[kDelimiterSetSize] = {};
  lexicon_tables lexicon;
  grammar_tables grammar;

  // The current sentence.
  int sentence_count = 0;
  unsigned char sentence_buffer[kSentenceCapacity + 1] = {};
  node_list nodes;

  // Where the lower layers write their warnings and trace lines.
  log_output log() const { return {out, trace_flag != 0}; }
};
