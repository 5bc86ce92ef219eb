#include "analyser/output/node_list.hpp"

#include "analyser/grammar/parse_node.hpp"

namespace {
constexpr unsigned char kAllValues = 0xFF;
constexpr int kHighestValue = 8;
constexpr int kNoRuleNumber = -1;

void print_node_row(AnalyserState& state, const parse_node& node) {
  std::fprintf(state.out, "%p ", static_cast<const void*>(&node));
  for (int i = 0; i < kCategoryKeyLength; ++i) {
    std::fputc(category_key_byte(*node.category, i), state.out);
  }
  std::fprintf(state.out, " %p %p %4d", static_cast<void*>(node.left_comp),
               static_cast<void*>(node.right_comp),
               node.rule != nullptr ? node.rule->rule_number : kNoRuleNumber);
  std::fprintf(state.out, "     %2d - %2d # ", node.seg_start, node.seg_end);
  print_subcat_values(state, node.subcat_values);
  std::fputc('\n', state.out);
}

void print_group(AnalyserState& state, unsigned char group) {
  if (group == kAllValues) {
    std::fputs(" ()", state.out);
    return;
  }
  std::fputs(" (", state.out);
  const char* separator = "";
  for (int value = kHighestValue; value >= 1; --value) {
    if ((group & (1u << (value - 1))) == 0) continue;
    std::fprintf(state.out, "%s%d", separator, value);
    separator = ",";
  }
  std::fputc(')', state.out);
}
}  // namespace

void print_node_list(AnalyserState& state, const parse_node* first) {
  std::fprintf(state.out, "%s\n", reinterpret_cast<const char*>(state.sentence_buffer));
  std::fputs("      Kat.                 Rnu.  LK   RK #   UKW\n", state.out);
  std::fputs("-------------------------------------------------\n", state.out);
  for (const parse_node* node = first; node != nullptr; node = node->next) {
    print_node_row(state, *node);
  }
}

void print_subcat_values(AnalyserState& state, const subcat_value_set* values) {
  if (values == nullptr) return;
  for (int i = 1; i <= values[0]; ++i) print_group(state, values[i]);
}
