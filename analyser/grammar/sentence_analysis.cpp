#include "analyser/grammar/sentence_analysis.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/grammar/parser.hpp"

namespace {
// A copy of `label` in sentence storage, terminated.
const char* stored_label(node_list& nodes, std::string_view label) {
  auto* copy = static_cast<unsigned char*>(nodes.storage.allocate(label.size() + 1));
  copy_bytes_nul(copy, byte_data(label), byte_count(label));
  return reinterpret_cast<const char*>(copy);
}

}  // namespace

bool make_word_nodes(node_list& nodes, const sentence_words& words) {
  for (const word_reading& r : words.readings) {
    const char* label =
        needing_memory("keep_node: malloc Fehler", [&] { return stored_label(nodes, r.label); });
    if (keep_node(nodes, r.entry->category, r.entry->subcat_values, nullptr, nullptr, nullptr,
                  r.position, r.position, label) == nullptr) {
      return false;
    }
  }
  return true;
}

namespace {
// Parses the sentence whose word nodes are in `nodes` and finds its analysis.
void parse_words(const analysis_setup& setup, node_list& nodes, sentence_analysis& result) {
  result.target = target_of(setup, result.words.word_count);
  const analysis_target& target = result.target;
  if (setup.count_analyses) result.count = count_analyses(setup.grammar, nodes.head, target);
  parse_work work{setup.grammar, nodes, setup.log};
  if (setup.stop_at_first_analysis) work.stop_at = &target;
  work.tables = setup.parse_tables;
  const parse_end end = parse_sentence(work);
  if (end == parse_end::node_limit) {
    result.outcome = sentence_outcome::node_limit;
    return;
  }
  result.stopped_early = end == parse_end::first_analysis;
  // A parse that stopped at a node it made stopped at the first analysis,
  // the last node; otherwise (a word node is one already) the list is searched.
  const bool made_last = result.stopped_early && nodes.tail->rule != nullptr;
  result.axiom = made_last ? nodes.tail : find_axiom_node(nodes.head, target);
  result.outcome =
      result.axiom != nullptr ? sentence_outcome::analysed : sentence_outcome::no_analysis;
}
}  // namespace

analysis_target target_of(const analysis_setup& setup, int word_count) {
  return {byte_data(setup.start_category), byte_count(setup.start_category), word_count};
}

sentence_analysis analyse_sentence(const analysis_setup& setup, node_list& nodes,
                                   const unsigned char* sentence) {
  nodes.clear();
  sentence_analysis result;
  result.text = sentence;
  result.nodes = &nodes;
  result.words = lex_analysis(setup.lexicon, setup.word_end_chars, sentence);
  if (!make_word_nodes(nodes, result.words)) {
    result.outcome = sentence_outcome::node_limit;
  } else if (result.words.word_count < 0) {
    result.outcome = sentence_outcome::unknown_word;
  } else if (result.words.word_count > 0) {
    parse_words(setup, nodes, result);
  }
  return result;
}
