// The analyser's own printout of every sentence: the echo of a sentence read
// from a file, then the word not found (message 6), the node-limit notice, or
// the results of the parse: message 9 and the bracket line of the first
// complete analysis with the numbered values, the tree and the node table as
// asked, or message 10 and the node table when there is none. The added
// options add to it: every analysis (-all, with a note where two print the
// same brackets), the count (-count), the diagnosis of a failing sentence
// after its node table (-why) and the words of an analysis (-words).
#pragma once

#include "analyser/base/log_output.hpp"
#include "analyser/base/messages.hpp"
#include "analyser/lexicon/lexicon.hpp"
#include "analyser/output/brackets.hpp"
#include "analyser/output/result_writer.hpp"

// Bits of `output_flags`: what follows the bracket line of an analysis.
constexpr int OUT_LIST = 0x04;
constexpr int OUT_TREE = 0x10;
constexpr int OUT_SUBCAT = 0x20;

struct printout_settings {
  int output_flags = 0;
  bool echo_sentences = false;  // "Satz: %s" for a sentence read from a file
  bool all = false;             // every complete analysis, numbered, then their number
  long analysis_limit = 100;    // of which at most this many
  bool count = false;           // the number of complete analyses of every sentence
  bool why = false;             // the diagnosis after the node table of a sentence without analysis
  bool words = false;           // the words beside the word categories and under the tree's leaves
};

// What the diagnosis of -why looks at.
struct printout_tables {
  const grammar_tables* grammar = nullptr;
  const lexicon_tables* lexicon = nullptr;
};

class printout_writer : public result_writer {
 public:
  // Writes to `log.out` (trace lines too while `log.trace`).
  printout_writer(const message_table& messages, const log_output& log,
                  const printout_settings& settings, const printout_tables& tables = {})
      : messages_(messages), log_(log), settings_(settings), tables_(tables) {}

  void sentence_read(int number, const unsigned char* sentence) override;
  // No memory: fatal "print_results: malloc Fehler".
  void sentence_analysed(const sentence_analysis& analysis) override;

 private:
  using position_texts = std::vector<std::string_view>;
  void print_results(const sentence_analysis& analysis);
  void print_all(const sentence_analysis& analysis);
  void print_analysis(const parse_node* axiom, const position_texts& words);
  bracket_output print_line(const parse_node* axiom, const position_texts& words,
                            std::string& shown);
  void print_details(const bracket_output& output, const position_texts& words);
  void print_same_brackets(std::size_t k, const parse_node* earlier, const parse_node* later);
  void print_count(const sentence_analysis& analysis);

  const message_table& messages_;
  log_output log_;
  printout_settings settings_;
  printout_tables tables_;
};
