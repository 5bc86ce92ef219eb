#include "analyser/output/node_list.hpp"

namespace {
constexpr int kHighestValue = 8;
constexpr int kNoRuleNumber = -1;

void print_node_row(std::FILE* out, const parse_node& node) {
  std::fprintf(out, "%p ", static_cast<const void*>(&node));
  for (int i = 0; i < kCategoryKeyLength; ++i) {
    std::fputc(category_key_byte(*node.category, i), out);
  }
  std::fprintf(out, " %p %p %4d", static_cast<void*>(node.left_comp),
               static_cast<void*>(node.right_comp),
               node.rule != nullptr ? node.rule->rule_number : kNoRuleNumber);
  std::fprintf(out, "     %2d - %2d # ", node.seg_start, node.seg_end);
  print_subcat_values(out, node.subcat_values);
  std::fputc('\n', out);
}

void print_group(std::FILE* out, unsigned char group) {
  if (group == kAllValues) {
    std::fputs(" ()", out);
    return;
  }
  std::fputs(" (", out);
  const char* separator = "";
  for (int value = kHighestValue; value >= 1; --value) {
    if ((group & (1u << (value - 1))) == 0) continue;
    std::fprintf(out, "%s%d", separator, value);
    separator = ",";
  }
  std::fputc(')', out);
}
}  // namespace

void print_node_list(std::FILE* out, const unsigned char* sentence, const parse_node* first) {
  std::fprintf(out, "%s\n", reinterpret_cast<const char*>(sentence));
  std::fputs("      Kat.                 Rnu.  LK   RK #   UKW\n", out);
  std::fputs("-------------------------------------------------\n", out);
  for (const parse_node* node = first; node != nullptr; node = node->next) {
    print_node_row(out, *node);
  }
}

void print_subcat_values(std::FILE* out, const subcat_value_set* values) {
  if (values == nullptr) return;
  for (int i = 1; i <= values[0]; ++i) print_group(out, values[i]);
}
