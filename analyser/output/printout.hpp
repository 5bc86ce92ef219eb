// The analyser's own printout of every sentence: the echo of a sentence read
// from a file, then the word not found (message 6), the node-limit notice, or
// the results of the parse: message 9 and the bracket line of the first
// complete analysis with the numbered values, the tree and the node table as
// asked, or message 10 and the node table when there is none.
#pragma once

#include "analyser/base/log_output.hpp"
#include "analyser/base/messages.hpp"
#include "analyser/output/result_writer.hpp"

// Bits of `output_flags`: what follows the bracket line of an analysis.
constexpr int OUT_LIST = 0x04;
constexpr int OUT_TREE = 0x10;
constexpr int OUT_SUBCAT = 0x20;

class printout_writer : public result_writer {
 public:
  // Writes to `log.out` (trace lines too while `log.trace`); echoes every
  // sentence as "Satz: %s" when `echo_sentences` (a file input).
  printout_writer(const message_table& messages, const log_output& log, int output_flags,
                  bool echo_sentences)
      : messages_(messages), log_(log), output_flags_(output_flags), echo_(echo_sentences) {}

  void sentence_read(int number, const unsigned char* sentence) override;
  // No memory: fatal "print_results: malloc Fehler".
  void sentence_analysed(const sentence_analysis& analysis) override;

 private:
  const message_table& messages_;
  log_output log_;
  int output_flags_;
  bool echo_;
};

// The results of a parsed sentence: message 9 and the bracket line with what
// `output_flags` asks for, or message 10 and the node table.
void print_results(const message_table& messages, const log_output& log, int output_flags,
                   const sentence_analysis& analysis);
