#include "analyser/output/analysis_tree.hpp"

#include <algorithm>

std::vector<std::string_view> position_words(const sentence_words& words) {
  std::vector<std::string_view> at(1);
  at.reserve(1 + 2 * words.words.size());  // a split word takes two positions
  for (const sentence_word& w : words.words) {
    const auto* text = reinterpret_cast<const char*>(w.text);
    at.resize(w.position + (w.stem_length > 0 ? 2 : 1));
    if (w.stem_length == 0) {
      at[w.position] = std::string_view(text, w.length);
      continue;
    }
    at[w.position] = std::string_view(text, w.stem_length);
    at[w.position + 1] = std::string_view(text + w.stem_length, w.length - w.stem_length);
  }
  return at;
}

std::vector<const parse_node*> complete_analyses(const sentence_analysis& analysis) {
  std::vector<const parse_node*> found;
  for (const parse_node* n = analysis.axiom; n != nullptr; n = n->next) {
    if (is_complete_analysis(*n, analysis.target)) found.push_back(n);
  }
  return found;
}

std::size_t analyses_shown(std::size_t found, bool all, long limit) {
  return std::min(found, all ? static_cast<std::size_t>(limit) : std::size_t{1});
}

analysis_count analyses_of(const sentence_analysis& analysis) {
  if (analysis.count) return *analysis.count;
  return {false, big_count(complete_analyses(analysis).size())};
}

std::string count_text(const analysis_count& count) {
  if (count.unbounded) return "unbounded";
  return count.value.to_decimal();
}

