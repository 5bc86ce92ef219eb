#include "analyser/output/printout.hpp"

#include <unordered_map>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_difference.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/brackets.hpp"
#include "analyser/output/diagnosis_text.hpp"
#include "analyser/output/node_list.hpp"
#include "analyser/output/tree.hpp"

namespace {
void print_node_limit(std::FILE* out, long limit) {
  std::fprintf(out, "\nNode limit of %ld nodes reached: sentence abandoned\n", limit);
}

// A value set as print_subcat_values writes it, " none" for no set.
void print_values_or_none(std::FILE* out, const subcat_value_set* values) {
  if (values == nullptr) {
    std::fputs(" none", out);
    return;
  }
  print_subcat_values(out, values);
}
}  // namespace

// Message 9 and the bracket line of `axiom`, with -words the words beside
// the word categories; `shown` receives the line as printed.
bracket_output printout_writer::print_line(const parse_node* axiom, const position_texts& words,
                                          std::string& shown) {
  const bool numbered = settings_.output_flags & OUT_SUBCAT;
  bracket_output output = bracket_line(axiom, numbered, log_);
  shown = settings_.words ? bracket_line_with_words(axiom, numbered, words) : output.bracket_text;
  show_message(messages_, log_.out, kMessageAnalysisFound, log_.utf8);
  std::fputc(' ', log_.out);
  write_text(log_.out, shown, log_.utf8);
  std::fputc('\n', log_.out);
  return output;
}

// What follows the bracket line: the numbered values and the tree, as asked.
void printout_writer::print_details(const bracket_output& output, const position_texts& words) {
  const int flags = settings_.output_flags;
  if (flags & OUT_SUBCAT) print_numbered_subcats(log_.out, output);
  if (!(flags & OUT_TREE)) return;
  if (!settings_.words) {
    draw_analysis_tree(log_, output.bracket_text);
    return;
  }
  const position_texts leaves = leaf_words(output, words);
  draw_analysis_tree(log_, output.bracket_text, &leaves);
}

void printout_writer::print_analysis(const parse_node* axiom, const position_texts& words) {
  std::string shown;
  print_details(print_line(axiom, words, shown), words);
}

// "    same brackets as [1]; they differ first at node 8, NPHR 4-4: values
// (3,2,1) (2) (4,1) (3) against (2) (1) (4,1) (3) in [1]": the note under
// analysis `later` whose line is that of the earlier analysis `k`.
void printout_writer::print_same_brackets(std::size_t k, const parse_node* earlier,
                                          const parse_node* later) {
  std::FILE* out = log_.out;
  std::fprintf(out, "    same brackets as [%zu]; ", k);
  const analysis_difference d = first_difference(later, earlier);
  if (d.number == 0) {
    std::fputs("no constituent differs in values, rule or label\n", out);
    return;
  }
  std::fprintf(out, "they differ first at node %d, ", d.number);
  write_text(out, category_name(*d.first->category), log_.utf8);
  std::fprintf(out, " %d-%d: ", d.first->seg_start, d.first->seg_end);
  if (d.values) {
    std::fputs("values", out);
    print_values_or_none(out, d.first->subcat_values);
    std::fputs(" against", out);
    print_values_or_none(out, d.second->subcat_values);
  } else if (d.rule) {
    // Both are rule nodes: a word node's place in the line cannot hold one.
    std::fprintf(out, "rule %d against rule %d", d.first->rule->rule_number,
                 d.second->rule->rule_number);
  } else {
    std::fputs("label \"", out);
    write_text(out, d.first->label, log_.utf8);
    std::fputs("\" against \"", out);
    write_text(out, d.second->label, log_.utf8);
    std::fputc('"', out);
  }
  std::fprintf(out, " in [%zu]\n", k);
}

// Every complete analysis as "[k] " and the analysis as a single one is
// printed, up to the limit; an analysis whose line repeats an earlier one's
// gets a note that says where the two differ.
void printout_writer::print_all(const sentence_analysis& analysis) {
  const std::vector<const parse_node*> complete = complete_analyses(analysis);
  const std::size_t shown = analyses_shown(complete.size(), true, settings_.analysis_limit);
  const position_texts words = position_words(analysis.words);
  std::unordered_map<std::string, std::size_t> first_with_line;
  for (std::size_t k = 0; k < shown; ++k) {
    std::fprintf(log_.out, "[%zu] ", k + 1);
    std::string line;
    const bracket_output output = print_line(complete[k], words, line);
    const auto [earlier, added] = first_with_line.try_emplace(std::move(line), k);
    if (!added) print_same_brackets(earlier->second + 1, complete[earlier->second], complete[k]);
    print_details(output, words);
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
    // Message 10 announces the node table, which follows it with -why too;
    // the diagnosis comes after the table.
    show_message(messages_, log_.out, kMessageNoAnalysis, log_.utf8);
    print_node_list(log_, analysis.text, analysis.nodes->head);
    if (settings_.why && tables_.grammar != nullptr) {
      print_diagnosis(log_, *tables_.grammar, analysis, settings_.words);
    }
    return;
  }
  if (settings_.all) {
    print_all(analysis);
  } else {
    print_analysis(analysis.axiom, position_words(analysis.words));
  }
  if (table) print_node_list(log_, analysis.text, analysis.nodes->head);
}

void printout_writer::sentence_read(int, const unsigned char* sentence) {
  if (!settings_.echo_sentences) return;
  std::fputs("Satz: ", log_.out);
  write_text(log_.out, reinterpret_cast<const char*>(sentence), log_.utf8);
  std::fputc('\n', log_.out);
}

void printout_writer::sentence_analysed(const sentence_analysis& analysis) {
  needing_memory("print_results: malloc Fehler", [&] {
    switch (analysis.outcome) {  // GCOVR_EXCL_BR_LINE: every outcome has its case
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
