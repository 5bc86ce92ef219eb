#include "analyser/output/analysis_difference.hpp"

#include <cstring>
#include <vector>

#include "analyser/output/analysis_tree.hpp"

namespace {
// The constituents of an analysis in bracket-line order.
std::vector<const parse_node*> in_line_order(const parse_node* root) {
  std::vector<const parse_node*> nodes;
  walk_tree(
      root, [&](const parse_node* n, bool) { nodes.push_back(n); }, [](const parse_node*) {});
  return nodes;
}

bool same_label(const parse_node& a, const parse_node& b) {
  return std::strcmp(a.label, b.label) == 0;
}
}  // namespace

bool same_values(const subcat_value_set* a, const subcat_value_set* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a[0] == b[0] && std::memcmp(a + 1, b + 1, a[0]) == 0;
}

analysis_difference first_difference(const parse_node* first, const parse_node* second) {
  const std::vector<const parse_node*> a = in_line_order(first);
  const std::vector<const parse_node*> b = in_line_order(second);
  analysis_difference d;
  for (std::size_t k = 0; k < a.size() && k < b.size(); ++k) {
    d.values = !same_values(a[k]->subcat_values, b[k]->subcat_values);
    d.rule = !d.values && a[k]->rule != b[k]->rule;
    d.label = !d.values && !d.rule && !same_label(*a[k], *b[k]);
    if (!d.values && !d.rule && !d.label) continue;
    d.number = static_cast<int>(k) + 1;
    d.first = a[k];
    d.second = b[k];
    return d;
  }
  return {};
}
