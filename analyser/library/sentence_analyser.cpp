#include "analyser/library/sentence_analyser.hpp"

#include <chrono>

sentence_analysis sentence_analyser::analyse(const unsigned char* sentence, node_list& nodes,
                                             const analysis_request& request,
                                             const log_output& log) {
  using steady = std::chrono::steady_clock;
  const steady::time_point start = steady::now();
  analysis_setup setup{grammar_.lexicon, grammar_.grammar, grammar_.word_end_chars,
                       request.start_category, log};
  setup.stop_at_first_analysis = request.stop_at_first_analysis;
  setup.parse_tables = &tables_;
  setup.count_analyses = request.count_analyses;
  setup.count_tables = &count_tables_;
  setup.note_rules = request.note_rules;
  if (request.time_limit.count() > 0) setup.deadline = start + request.time_limit;
  nodes.limit = request.node_limit;
  sentence_analysis analysis = analyse_sentence(setup, nodes, sentence);
  analysis.time_us = static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(steady::now() - start).count());
  return analysis;
}
