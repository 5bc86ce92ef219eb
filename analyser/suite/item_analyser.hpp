// One run's analysis of a suite's items: an analyser and its nodes, what
// each item's sentence is asked for, and what its profile record holds.
// Each thread of a run on several threads has one of its own.
#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "analyser/base/sentence_text.hpp"
#include "analyser/library/sentence_analyser.hpp"
#include "analyser/output/json_writer.hpp"
#include "analyser/suite/suite_item.hpp"
#include "analyser/suite/suite_reader.hpp"
#include "analyser/suite/test_suite.hpp"

// An item as the run hands it on: its line, its line number in the suite
// and, for a well-formed item, the number of its sentence among the suite's
// sentences, from 1.
struct suite_job {
  suite_line line;
  long number = 0;
  int sentence = 0;
};

class item_analyser {
 public:
  // The analyser's messages (the node-limit notice) go to `out`. Without
  // `with_records` (a run that writes no profile) no record is made.
  item_analyser(const loaded_grammar& grammar, const suite_options& options, std::FILE* out,
                bool with_records);

  // Analyses the item `job` of the suite `suite`; its profile record, if
  // one is made, goes to `record`.
  item_result run(const suite_job& job, const std::string& suite, std::string& record);

 private:
  sentence_analysis analyse(const std::string& text, int sentence);

  const loaded_grammar& grammar_;
  sentence_analyser analyser_;
  node_list nodes_;
  analysis_request request_;
  record_settings record_;
  bool with_records_;
  log_output log_;
  letter_case letters_;
  using steady = std::chrono::steady_clock;
  std::optional<steady::time_point> run_end_;
  std::vector<unsigned char> sentence_;
};
