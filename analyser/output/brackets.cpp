#include "analyser/output/brackets.hpp"

#include "analyser/output/node_list.hpp"

namespace {
// Work left to do while the bracket form is written: a node to write, a node
// to write as second component, or a ")" to close.
struct bracket_step {
  enum kind { write_node, write_second, close } what;
  const parse_node* node;
};

// The node's label: its category name, and its number when numbered.
void write_label(const parse_node* node, bool numbered, const log_output& log,
                 bracket_output& output) {
  if (log.trace) {
    std::fputs("in draw_brackets()\n", log.out);
    std::fflush(log.out);
  }
  output.numbered_nodes.push_back(node);
  const category_entry& category = *node->category;
  output.bracket_text.append(reinterpret_cast<const char*>(category.name), category.name_length);
  if (numbered) output.bracket_text += ':' + std::to_string(output.numbered_nodes.size());
}
}  // namespace

// Written with a stack of pending steps rather than by recursion, so that a
// deep chain of unary rules cannot exhaust the call stack.
void draw_brackets(const parse_node* node, bool numbered, const log_output& log,
                   bracket_output& output) {
  std::string& text = output.bracket_text;
  std::vector<bracket_step> pending{{bracket_step::write_node, node}};
  while (!pending.empty()) {
    const bracket_step step = pending.back();
    pending.pop_back();
    if (step.what == bracket_step::close) {
      text += ')';
      continue;
    }
    if (step.what == bracket_step::write_second && (text.empty() || text.back() != ')')) {
      text += ' ';
    }
    write_label(step.node, numbered, log, output);
    if (step.node->left_comp == nullptr) continue;
    text += '(';
    pending.push_back({bracket_step::close, nullptr});
    if (step.node->right_comp != nullptr) {
      pending.push_back({bracket_step::write_second, step.node->right_comp});
    }
    pending.push_back({bracket_step::write_node, step.node->left_comp});
  }
}

bracket_output bracket_line(const parse_node* axiom, bool numbered, const log_output& log) {
  bracket_output output;
  output.bracket_text = "<";
  draw_brackets(axiom, numbered, log, output);
  output.bracket_text += '>';
  return output;
}

void print_numbered_subcats(std::FILE* out, const bracket_output& output) {
  for (std::size_t k = 1; k <= output.numbered_nodes.size(); ++k) {
    std::fprintf(out, ":%zu ", k);
    print_subcat_values(out, output.numbered_nodes[k - 1]->subcat_values);
    std::fputc('\n', out);
  }
}
