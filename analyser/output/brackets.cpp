#include "analyser/output/brackets.hpp"

#include <new>

#include "analyser/driver/console.hpp"
#include "analyser/driver/fatal_error.hpp"
#include "analyser/driver/messages.hpp"
#include "analyser/output/node_list.hpp"
#include "analyser/output/tree.hpp"

namespace {
constexpr int kMessageAnalysisFound = 9;
constexpr int kMessageNoAnalysis = 10;

// Work left to do while the bracket form is written: a node to write, a node
// to write as second component, or a ")" to close.
struct bracket_step {
  enum kind { write_node, write_second, close } what;
  const parse_node* node;
};

// The node's label: its category name, and its number under OUT_SUBCAT.
void write_label(AnalyserState& state, const parse_node* node, bracket_output& output) {
  if (state.trace_flag) {
    std::fputs("in draw_brackets()\n", state.out);
    std::fflush(state.out);
  }
  output.numbered_nodes.push_back(node);
  const category_entry& category = *node->category;
  output.bracket_text.append(reinterpret_cast<const char*>(category.name), category.name_length);
  if (state.output_flags & OUT_SUBCAT) {
    output.bracket_text += ':' + std::to_string(output.numbered_nodes.size());
  }
}

void print_analysis(AnalyserState& state, const parse_node* axiom) {
  bracket_output output;
  output.bracket_text = "<";
  draw_brackets(state, axiom, output);
  output.bracket_text += '>';
  show_message(state, kMessageAnalysisFound);
  std::fputc(' ', state.out);
  std::fwrite(output.bracket_text.data(), 1, output.bracket_text.size(), state.out);
  std::fputc('\n', state.out);
  if (state.output_flags & OUT_SUBCAT) print_numbered_subcats(state, output);
  if (state.output_flags & OUT_TREE) draw_analysis_tree(state, output.bracket_text);
  if (state.output_flags & OUT_LIST) print_node_list(state, state.node_list);
}
}  // namespace

void print_results(AnalyserState& state) {
  try {
    if (const parse_node* axiom = find_axiom_node(state, state.node_list, state.start_category)) {
      print_analysis(state, axiom);
    } else {
      show_message(state, kMessageNoAnalysis);
      print_node_list(state, state.node_list);
    }
  } catch (const std::bad_alloc&) {
    fatal_error(state, "print_results: malloc Fehler");
  }
  if (state.console_input == 1) wait_for_user(state);
}

const parse_node* find_axiom_node(const AnalyserState& state, const parse_node* first,
                                  const std::string& name) {
  const int length = static_cast<int>(name.size());
  for (const parse_node* node = first; node != nullptr; node = node->next) {
    const category_entry& category = *node->category;
    if (category.name_length >= length &&
        name.compare(0, length, reinterpret_cast<const char*>(category.name), length) == 0 &&
        node->seg_start == 1 && node->seg_end == state.word_count) {
      return node;
    }
  }
  return nullptr;
}

// Written with a stack of pending steps rather than by recursion, so that a
// deep chain of unary rules cannot exhaust the call stack.
void draw_brackets(AnalyserState& state, const parse_node* node, bracket_output& output) {
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
    write_label(state, step.node, output);
    if (step.node->left_comp == nullptr) continue;
    text += '(';
    pending.push_back({bracket_step::close, nullptr});
    if (step.node->right_comp != nullptr) {
      pending.push_back({bracket_step::write_second, step.node->right_comp});
    }
    pending.push_back({bracket_step::write_node, step.node->left_comp});
  }
}

void print_numbered_subcats(AnalyserState& state, const bracket_output& output) {
  for (std::size_t k = 1; k <= output.numbered_nodes.size(); ++k) {
    std::fprintf(state.out, ":%zu ", k);
    print_subcat_values(state, output.numbered_nodes[k - 1]->subcat_values);
    std::fputc('\n', state.out);
  }
}
