#include "analyser/suite/item_analyser.hpp"

#include <algorithm>

#include "analyser/suite/suite_coverage.hpp"

item_analyser::item_analyser(const loaded_grammar& grammar, const suite_options& options,
                             std::FILE* out, bool with_records)
    : grammar_(grammar),
      analyser_(grammar),
      with_records_(with_records),
      log_{out, false, options.utf8},
      letters_(letter_case_of(grammar.utf8)) {
  request_.start_category = options.start_category;
  // Nothing looks at the nodes after the first analysis unless the record
  // lists them or every analysis.
  request_.stop_at_first_analysis = !options.nodes && !options.all_analyses;
  request_.count_analyses = true;
  request_.note_rules = true;  // for the coverage
  request_.node_limit = options.node_limit;
  if (options.time_limit.count() > 0) run_end_ = steady::now() + options.time_limit;
  record_ = {options.nodes, options.all_analyses, options.analysis_limit,
             options.why,   &grammar.grammar,     &grammar.lexicon};
}

item_result item_analyser::run(const suite_job& job, const std::string& suite,
                               std::string& record) {
  const suite_line& line = job.line;
  item_result item;
  item.suite = suite;
  item.line = job.number;
  item.text = line.text;
  item.expected = line.expected;
  if (line.kind == suite_line_kind::malformed) {
    item.verdict = item_verdict::malformed;
    item.problem = line.problem;
    return item;
  }
  const sentence_analysis analysis = analyse(line.text, job.sentence);
  item.found = found_of(analysis);
  item.found.coverage = coverage_of(analysis, grammar_.grammar);
  item.verdict = judge(item.expected, item.found);
  if (with_records_) record = json_record(analysis, record_);
  return item;
}

// Analyses `text` as a plain run analyses an input line that holds it:
// made into a sentence at its first delimiter, numbered, timed.
sentence_analysis item_analyser::analyse(const std::string& text, int sentence) {
  if (run_end_) {
    // At least a microsecond, so that an item past the end times out.
    request_.time_limit =
        std::max(std::chrono::microseconds(1),
                 std::chrono::duration_cast<std::chrono::microseconds>(*run_end_ - steady::now()));
  }
  sentence_.assign(text.begin(), text.end());
  sentence_.resize(text.size() + 2);
  make_sentence(sentence_.data(), static_cast<int>(text.size()), grammar_.sentence_end_chars,
                letters_);
  sentence_analysis analysis = analyser_.analyse(sentence_.data(), nodes_, request_, log_);
  analysis.number = sentence;
  analysis.as_read = text;
  return analysis;
}
