// For the unit tests of the outputs: a sentence analysis over nodes built
// by hand in a grammar fixture.
#pragma once

#include <string>

#include "analyser/grammar/sentence_analysis.hpp"
#include "analyser/grammar/test_support.hpp"

namespace test_support {

// The analysis of `sentence` (closed by a blank, kept by the caller) of
// `word_count` positions over the fixture's nodes: analysed when a complete
// SATZ stands among them, else without analysis. It has no words, so the
// leaves show none.
inline sentence_analysis hand_analysis(grammar_fixture& f, const std::string& sentence,
                                       int word_count) {
  sentence_analysis analysis;
  analysis.number = 1;
  analysis.text = byte_data(sentence);
  analysis.nodes = &f.nodes;
  analysis.words.word_count = word_count;
  analysis.target = {byte_data("SATZ"), 4, word_count};
  analysis.axiom = find_axiom_node(f.nodes.head, analysis.target);
  analysis.outcome =
      analysis.axiom != nullptr ? sentence_outcome::analysed : sentence_outcome::no_analysis;
  return analysis;
}

}  // namespace test_support
