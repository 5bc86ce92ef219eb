// One thread's analysis of sentences with a loaded grammar: the parser's
// side tables and the count's chart, kept from sentence to sentence so that a sentence costs no
// fresh allocation. The grammar is only read, so any number of analysers
// share one.
#pragma once

#include <chrono>
#include <string_view>

#include "analyser/grammar/chart_parser.hpp"
#include "analyser/grammar/sentence_analysis.hpp"
#include "analyser/library/loaded_grammar.hpp"

// What the analysis of a sentence is asked for beyond the grammar.
struct analysis_request {
  std::string_view start_category = "SATZ";
  // Stop at the first complete analysis: nothing looks at the nodes after it.
  bool stop_at_first_analysis = false;
  bool count_analyses = false;  // the exact count
  bool note_rules = false;      // and the rules of the complete analyses, where at hand
  long node_limit = kNodeLimit;
  std::chrono::microseconds time_limit{0};  // from the analysis' start; 0: none
};

class sentence_analyser {
 public:
  explicit sentence_analyser(const loaded_grammar& grammar) : grammar_(grammar) {}

  // Analyses `sentence` (as make_sentence leaves it) into `nodes`, which are
  // emptied first, and times it; trace lines and the node-limit notice of
  // the parse go to `log`. The result refers to `nodes` and into `sentence`.
  sentence_analysis analyse(const unsigned char* sentence, node_list& nodes,
                            const analysis_request& request, const log_output& log);

  const loaded_grammar& grammar() const { return grammar_; }

 private:
  const loaded_grammar& grammar_;
  indexed_parse_tables tables_;
  count_workspace count_tables_;
};
