#include "analyser/output/dot_writer.hpp"

#include <string_view>
#include <utility>
#include <vector>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"

namespace {
// A text inside a double-quoted Graphviz string.
void append_quoted(std::string& out, std::string_view text) {
  for (unsigned char c : text) {
    if (c == '"') {
      out += "\\\"";
    } else if (c < ' ') {
      out += ' ';
    } else {
      out += utf8_of(c);  // the convention's backslash is the letter Ö
    }
  }
}

void append_values(std::string& out, const subcat_value_set* values) {
  if (values == nullptr || values[0] == 0) return;
  out += "\\n";
  for (int g = 1; g <= values[0]; ++g) {
    out += '(';
    const char* separator = "";
    if (values[g] != kAllValues) {
      for (int v : group_values(values[g])) {
        out += separator + std::to_string(v);
        separator = ",";
      }
    }
    out += ')';
  }
}

// One constituent's box: category, values, and the rule that made it.
void append_box(std::string& out, const parse_node& n, int id) {
  out += "  n" + std::to_string(id) + " [label=\"";
  append_quoted(out, category_name(*n.category));
  append_values(out, n.subcat_values);
  if (n.rule != nullptr) {
    out += "\\nrule " + std::to_string(n.rule->rule_number);
    if (n.rule->label[0] != '\0') {
      out += ": ";
      append_quoted(out, n.rule->label);
    }
  }
  out += "\"];\n";
}

// The boxes, edges and leaves of a graph, made on the walk down its tree.
struct graph_builder {
  graph_builder(std::string& graph, std::vector<std::string_view> texts)
      : out(graph), words(std::move(texts)) {}

  std::string& out;
  std::vector<std::string_view> words;
  std::vector<int> parents;  // the boxes on the way down
  std::string leaves = "  { rank=same;";
  int boxes = 0;

  // The box of `n` below its parent's; a word node's word below it.
  void enter(const parse_node& n) {
    const int self = ++boxes;
    append_box(out, n, self);
    if (!parents.empty()) {
      out += "  n" + std::to_string(parents.back()) + " -> n" + std::to_string(self) + ";\n";
    }
    parents.push_back(self);
    if (n.left_comp != nullptr) return;
    const auto at = static_cast<std::size_t>(n.seg_start);
    const std::string leaf = "w" + std::to_string(self);
    out += "  " + leaf + " [shape=plaintext, label=\"";
    append_quoted(out, at < words.size() ? words[at] : "");
    out += "\"];\n  n" + std::to_string(self) + " -> " + leaf + ";\n";
    leaves += " " + leaf + ";";
  }
};

std::string title_of(const sentence_analysis& analysis, const std::string& name) {
  std::string title;
  append_quoted(title, name + ": ");
  // An unreadable line has no sentence.
  const std::string_view sentence(
      analysis.text != nullptr ? reinterpret_cast<const char*>(analysis.text) : "");
  append_quoted(title, sentence.substr(0, sentence.empty() ? 0 : sentence.size() - 1));
  return title;
}
}  // namespace

std::string dot_graph(const parse_node* root, const sentence_analysis& analysis,
                      const std::string& name) {
  std::string out = "digraph \"";
  append_quoted(out, name);
  out += "\" {\n  label=\"" + title_of(analysis, name) + "\";\n  labelloc=t;\n";
  out += "  ordering=out;\n  node [shape=box, fontname=\"Helvetica\"];\n  edge [arrowhead=none];\n";
  if (root == nullptr) {
    std::string note = "no analysis";
    if (analysis.outcome == sentence_outcome::unreadable) {
      note = "unreadable line: ";
      append_quoted(note, analysis.problem);
    }
    return out + "  none [shape=note, label=\"" + note + "\"];\n}\n";
  }
  graph_builder graph(out, position_words(analysis.words));
  walk_tree(
      root, [&](const parse_node* n, bool) { graph.enter(*n); },
      [&](const parse_node*) { graph.parents.pop_back(); });
  return out + graph.leaves + " }\n}\n";
}

void dot_writer::sentence_analysed(const sentence_analysis& analysis) {
  needing_memory("print_results: malloc Fehler", [&] {
    const std::vector<const parse_node*> trees = complete_analyses(analysis);
    const std::string sentence = "sentence " + std::to_string(analysis.number);
    if (trees.empty()) {
      const std::string graph = dot_graph(nullptr, analysis, sentence);
      std::fwrite(graph.data(), 1, graph.size(), out_);
    }
    const std::size_t shown = analyses_shown(trees.size(), all_, limit_);
    for (std::size_t k = 0; k < shown; ++k) {
      std::string name = sentence;
      if (all_) name += ", analysis " + std::to_string(k + 1);
      const std::string graph = dot_graph(trees[k], analysis, name);
      std::fwrite(graph.data(), 1, graph.size(), out_);
    }
  });
}
