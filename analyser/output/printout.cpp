#include "analyser/output/printout.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/brackets.hpp"
#include "analyser/output/diagnosis_text.hpp"
#include "analyser/output/node_list.hpp"
#include "analyser/output/tree.hpp"

namespace {
void print_node_limit(std::FILE* out, long limit) {
  std::fprintf(out, "\nNode limit of %ld nodes reached: sentence abandoned\n", limit);
}
}  // namespace

void printout_writer::print_analysis(const parse_node* axiom) {
  const int flags = settings_.output_flags;
  const bracket_output output = bracket_line(axiom, flags & OUT_SUBCAT, log_);
  show_message(messages_, log_.out, kMessageAnalysisFound, log_.utf8);
  std::fputc(' ', log_.out);
  write_text(log_.out, output.bracket_text, log_.utf8);
  std::fputc('\n', log_.out);
  if (flags & OUT_SUBCAT) print_numbered_subcats(log_.out, output);
  if (flags & OUT_TREE) draw_analysis_tree(log_, output.bracket_text);
}

// Every complete analysis as "[k] " and the analysis as a single one is
// printed, up to the limit.
void printout_writer::print_all(const sentence_analysis& analysis) {
  const std::vector<const parse_node*> complete = complete_analyses(analysis);
  const std::size_t shown = std::min(complete.size(), std::size_t(settings_.analysis_limit));
  for (std::size_t k = 0; k < shown; ++k) {
    std::fprintf(log_.out, "[%zu] ", k + 1);
    print_analysis(complete[k]);
  }
  std::fprintf(log_.out, "analyses: %s", count_text(analyses_of(analysis)).c_str());
  if (shown < complete.size()) std::fprintf(log_.out, ", %zu not shown", complete.size() - shown);
  std::fputc('\n', log_.out);
}

void printout_writer::print_count(const sentence_analysis& analysis) {
  std::fprintf(log_.out, "analyses: %s\n", count_text(analyses_of(analysis)).c_str());
}

void printout_writer::print_results(const sentence_analysis& analysis) {
  const bool table = settings_.output_flags & OUT_LIST;
  if (analysis.axiom == nullptr) {
    show_message(messages_, log_.out, kMessageNoAnalysis, log_.utf8);
    if (settings_.why && tables_.grammar != nullptr) {
      print_diagnosis(log_, *tables_.grammar, analysis);
      if (!table) return;
    }
    print_node_list(log_, analysis.text, analysis.nodes->head);
    return;
  }
  if (settings_.all) {
    print_all(analysis);
  } else {
    print_analysis(analysis.axiom);
  }
  if (table) print_node_list(log_, analysis.text, analysis.nodes->head);
}

void printout_writer::sentence_read(int, const unsigned char* sentence) {
  if (!settings_.echo_sentences) return;
  std::fputs("Satz: ", log_.out);
  write_text(log_.out, reinterpret_cast<const char*>(sentence), log_.utf8);
  std::fputc('\n', log_.out);
  std::fflush(log_.out);
}

void printout_writer::sentence_analysed(const sentence_analysis& analysis) {
  needing_memory("print_results: malloc Fehler", [&] {
    switch (analysis.outcome) {
      case sentence_outcome::no_words:
      case sentence_outcome::no_number_reading:  // ends the run before it is printed
      case sentence_outcome::unreadable:         // told by the reader
        return;
      case sentence_outcome::unknown_word:
        show_message(messages_, log_.out, kMessageWordNotFound, log_.utf8);
        std::fputc(' ', log_.out);
        write_text(log_.out, analysis.words.unknown.text, analysis.words.unknown.length, log_.utf8);
        std::fputc('\n', log_.out);
        if (settings_.why && tables_.lexicon != nullptr) {
          print_split_attempts(log_, *tables_.lexicon, analysis.words.unknown);
        }
        return;
      case sentence_outcome::node_limit:
        print_node_limit(log_.out, analysis.nodes->limit);
        break;
      case sentence_outcome::timeout:
        std::fputs("\nTime limit reached: sentence abandoned\n", log_.out);
        break;
      case sentence_outcome::analysed:
      case sentence_outcome::no_analysis:
        print_results(analysis);
        break;
    }
    const bool counted_by_all = settings_.all && analysis.axiom != nullptr;
    if (settings_.count && !counted_by_all) print_count(analysis);
  });
}
