#include "analyser/output/penn_writer.hpp"

#include <string_view>
#include <vector>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"

namespace {
// A label or leaf that the bracket reader takes as one token.
void append_token(std::string& out, std::string_view text) {
  if (text.empty()) text = "-NONE-";
  for (unsigned char c : text) {
    if (c == '(') {
      out += "-LRB-";
    } else if (c == ')') {
      out += "-RRB-";
    } else if (c <= ' ') {
      out += '_';
    } else {
      out += utf8_of(c);
    }
  }
}

void append_values(std::string& out, const subcat_value_set* values) {
  if (values == nullptr) return;
  for (int g = 1; g <= values[0]; ++g) {
    out += '[';
    if (values[g] == kAllValues) {
      out += '*';
    } else {
      const char* separator = "";
      for (int v : group_values(values[g])) {
        out += separator + std::to_string(v);
        separator = ",";
      }
    }
    out += ']';
  }
}

// Opens the bracket of `n`: its label (with `values` its value set) and a
// word node's word.
void open_bracket(std::string& out, const parse_node& n, const std::vector<std::string_view>& words,
                  bool values) {
  if (!out.empty()) out += ' ';
  out += '(';
  append_token(out, category_name(*n.category));
  if (values) append_values(out, n.subcat_values);
  if (n.left_comp != nullptr) return;
  const auto at = static_cast<std::size_t>(n.seg_start);
  out += ' ';
  append_token(out, at < words.size() ? words[at] : "");
}
}  // namespace

std::string penn_tree(const parse_node* root, const sentence_analysis& analysis, bool values) {
  const std::vector<std::string_view> words = position_words(analysis.words);
  std::string out;
  walk_tree(
      root, [&](const parse_node* n, bool) { open_bracket(out, *n, words, values); },
      [&](const parse_node*) { out += ')'; });
  return out;
}

void penn_writer::sentence_analysed(const sentence_analysis& analysis) {
  needing_memory("print_results: malloc Fehler", [&] {
    const std::vector<const parse_node*> trees = complete_analyses(analysis);
    const std::size_t shown = analyses_shown(trees.size(), all_, limit_);
    for (std::size_t k = 0; k < shown; ++k) {
      const std::string line = penn_tree(trees[k], analysis, values_);
      std::fprintf(out_, "%s\n", line.c_str());
    }
    if (all_ || shown == 0) std::fputc('\n', out_);
  });
}
