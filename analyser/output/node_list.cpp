#include "analyser/output/node_list.hpp"

#include "analyser/base/utf8_text.hpp"

namespace {
constexpr int kHighestValue = 8;
constexpr int kNoRuleNumber = -1;

void print_node_row(const log_output& log, const parse_node& node) {
  std::FILE* out = log.out;
  std::fprintf(out, "%p ", static_cast<const void*>(&node));
  unsigned char key[kCategoryKeyLength];
  for (int i = 0; i < kCategoryKeyLength; ++i) key[i] = category_key_byte(*node.category, i);
  write_text(out, key, kCategoryKeyLength, log.utf8);
  std::fprintf(out, " %p %p %4d", static_cast<void*>(node.left_comp),
               static_cast<void*>(node.right_comp),
               node.rule != nullptr ? node.rule->rule_number : kNoRuleNumber);
  std::fprintf(out, "     %2d - %2d # ", node.seg_start, node.seg_end);
  print_subcat_values(out, node.subcat_values);
  std::fputc('\n', out);
}

}  // namespace

void print_subcat_group(std::FILE* out, unsigned char group) {
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

void print_node_list(const log_output& log, const unsigned char* sentence,
                     const parse_node* first) {
  std::FILE* out = log.out;
  write_text(out, reinterpret_cast<const char*>(sentence), log.utf8);
  std::fputc('\n', out);
  std::fputs("      Kat.                 Rnu.  LK   RK #   UKW\n", out);
  std::fputs("-------------------------------------------------\n", out);
  for (const parse_node* node = first; node != nullptr; node = node->next) {
    print_node_row(log, *node);
  }
}

void print_subcat_values(std::FILE* out, const subcat_value_set* values) {
  if (values == nullptr) return;
  for (int i = 1; i <= values[0]; ++i) print_subcat_group(out, values[i]);
}
