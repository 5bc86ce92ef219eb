#include "analyser/output/brackets.hpp"

#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/node_list.hpp"

namespace {
// The node's label: its category name, its number when numbered, and a word
// node's word behind "=" when `words` are given.
void write_label(const parse_node* node, bool numbered, const log_output& log,
                 const std::vector<std::string_view>* words, bracket_output& output) {
  if (log.trace) {
    std::fputs("in draw_brackets()\n", log.out);
    std::fflush(log.out);
  }
  output.numbered_nodes.push_back(node);
  output.bracket_text += category_name(*node->category);
  if (numbered) output.bracket_text += ':' + std::to_string(output.numbered_nodes.size());
  const auto at = static_cast<std::size_t>(node->seg_start);
  if (words != nullptr && node->left_comp == nullptr && at < words->size()) {
    (output.bracket_text += '=') += (*words)[at];
  }
}

void append_brackets(const parse_node* node, bool numbered, const log_output& log,
                     const std::vector<std::string_view>* words, bracket_output& output) {
  std::string& text = output.bracket_text;
  walk_tree(
      node,
      [&](const parse_node* n, bool second) {
        if (second && text.back() != ')') text += ' ';
        write_label(n, numbered, log, words, output);
        if (n->left_comp != nullptr) text += '(';
      },
      [&](const parse_node* n) {
        if (n->left_comp != nullptr) text += ')';
      });
}
}  // namespace

void draw_brackets(const parse_node* node, bool numbered, const log_output& log,
                   bracket_output& output) {
  append_brackets(node, numbered, log, nullptr, output);
}

std::string bracket_line_with_words(const parse_node* axiom, bool numbered,
                                    const std::vector<std::string_view>& words) {
  bracket_output output;
  output.bracket_text.push_back('<');
  append_brackets(axiom, numbered, log_output{nullptr}, &words, output);
  output.bracket_text.push_back('>');
  return output.bracket_text;
}

std::vector<std::string_view> leaf_words(const bracket_output& output,
                                         const std::vector<std::string_view>& words) {
  std::vector<std::string_view> leaves;
  for (const parse_node* n : output.numbered_nodes) {
    const auto at = static_cast<std::size_t>(n->seg_start);
    if (n->left_comp == nullptr) leaves.push_back(at < words.size() ? words[at] : "");
  }
  return leaves;
}

bracket_output bracket_line(const parse_node* axiom, bool numbered, const log_output& log) {
  bracket_output output;
  output.bracket_text.push_back('<');
  draw_brackets(axiom, numbered, log, output);
  output.bracket_text.push_back('>');
  return output;
}

void print_numbered_subcats(std::FILE* out, const bracket_output& output) {
  for (std::size_t k = 1; k <= output.numbered_nodes.size(); ++k) {
    std::fprintf(out, ":%zu ", k);
    print_subcat_values(out, output.numbered_nodes[k - 1]->subcat_values);
    std::fputc('\n', out);
  }
}
