#include "analyser/output/printout.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/output/brackets.hpp"
#include "analyser/output/node_list.hpp"
#include "analyser/output/tree.hpp"

namespace {
void print_analysis(const message_table& messages, const log_output& log, int output_flags,
                    const sentence_analysis& analysis) {
  const bracket_output output = bracket_line(analysis.axiom, output_flags & OUT_SUBCAT, log);
  show_message(messages, log.out, kMessageAnalysisFound);
  std::fputc(' ', log.out);
  std::fwrite(output.bracket_text.data(), 1, output.bracket_text.size(), log.out);
  std::fputc('\n', log.out);
  if (output_flags & OUT_SUBCAT) print_numbered_subcats(log.out, output);
  if (output_flags & OUT_TREE) draw_analysis_tree(log, output.bracket_text);
  if (output_flags & OUT_LIST) print_node_list(log.out, analysis.text, analysis.nodes->head);
}

void print_word_not_found(const message_table& messages, std::FILE* out, const sentence_word& word) {
  show_message(messages, out, kMessageWordNotFound);
  std::fprintf(out, " %.*s\n", word.length, reinterpret_cast<const char*>(word.text));
}

void print_node_limit(std::FILE* out, long limit) {
  std::fprintf(out, "\nNode limit of %ld nodes reached: sentence abandoned\n", limit);
}
}  // namespace

void print_results(const message_table& messages, const log_output& log, int output_flags,
                   const sentence_analysis& analysis) {
  if (analysis.axiom != nullptr) {
    print_analysis(messages, log, output_flags, analysis);
  } else {
    show_message(messages, log.out, kMessageNoAnalysis);
    print_node_list(log.out, analysis.text, analysis.nodes->head);
  }
}

void printout_writer::sentence_read(int, const unsigned char* sentence) {
  if (!echo_) return;
  std::fprintf(log_.out, "Satz: %s\n", reinterpret_cast<const char*>(sentence));
  std::fflush(log_.out);
}

void printout_writer::sentence_analysed(const sentence_analysis& analysis) {
  needing_memory("print_results: malloc Fehler", [&] {
    switch (analysis.outcome) {
      case sentence_outcome::no_words:
        return;
      case sentence_outcome::unknown_word:
        print_word_not_found(messages_, log_.out, analysis.words.unknown);
        return;
      case sentence_outcome::node_limit:
        print_node_limit(log_.out, analysis.nodes->limit);
        return;
      case sentence_outcome::analysed:
      case sentence_outcome::no_analysis:
        print_results(messages_, log_, output_flags_, analysis);
        return;
    }
  });
}
