#include "analyser/output/svg_tree.hpp"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/json_text.hpp"

namespace {
constexpr double kCharacterWidth = 8.5;  // of the 14-pixel sans-serif font, on average
constexpr double kLeafGap = 16;
constexpr double kLevelHeight = 48;
constexpr double kMargin = 12;
constexpr double kTextBaseline = 18;
constexpr double kWordGap = 18;  // from a leaf's category down to its word

// One constituent as laid out: where it stands and what it shows.
struct laid_node {
  const parse_node* node;
  int parent;  // index, -1 for the root
  int depth;
  double x = 0;
  std::string category;  // UTF-8
  std::string word;      // a leaf's, UTF-8
  int first_child = -1;
  int last_child = -1;
};

std::string xml_escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// The characters (not bytes) of a UTF-8 text.
double characters(std::string_view text) {
  return static_cast<double>(std::count_if(
      text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The constituents in depth-first order, leaves left to right, with their
// depth and parent; leaves get their x from left to right, every other node
// the middle of its first and last component.
// The nodes laid out so far on the walk down the tree.
struct tree_layout {
  explicit tree_layout(std::vector<std::string_view> texts) : words(std::move(texts)) {}

  std::vector<std::string_view> words;
  std::vector<laid_node> laid;
  std::vector<int> open;  // indices of the nodes entered and not left
  double cursor = kMargin;

  void enter(const parse_node* n) {
    const int parent = open.empty() ? -1 : open.back();
    laid_node l;
    l.node = n;
    l.parent = parent;
    l.depth = static_cast<int>(open.size());
    l.category = to_utf8(category_name(*n->category));
    if (n->left_comp == nullptr) {
      const auto at = static_cast<std::size_t>(n->seg_start);
      l.word = to_utf8(at < words.size() ? words[at] : "");
      const double width = std::max(characters(l.category), characters(l.word)) * kCharacterWidth;
      l.x = cursor + width / 2;
      cursor += width + kLeafGap;
    }
    const int index = static_cast<int>(laid.size());
    if (parent >= 0) {
      if (laid[parent].first_child < 0) laid[parent].first_child = index;
      laid[parent].last_child = index;
    }
    laid.push_back(l);
    open.push_back(index);
  }

  void leave(const parse_node* n) {
    laid_node& l = laid[open.back()];
    if (n->left_comp != nullptr) l.x = (laid[l.first_child].x + laid[l.last_child].x) / 2;
    open.pop_back();
  }
};

std::vector<laid_node> lay_out(const parse_node* root, const sentence_analysis& analysis) {
  tree_layout layout(position_words(analysis.words));
  walk_tree(
      root, [&](const parse_node* n, bool) { layout.enter(n); },
      [&](const parse_node* n) { layout.leave(n); });
  return std::move(layout.laid);
}

double y_of(int depth) { return kMargin + depth * kLevelHeight; }

std::string values_text(const parse_node& node) {
  std::string text;
  append_json_values(text, node.subcat_values);
  return text;
}

void append_node(std::string& svg, const laid_node& l) {
  const parse_node& n = *l.node;
  const std::string label = to_utf8(n.label);
  std::string rule;  // none for a word node
  if (n.rule != nullptr) rule = std::to_string(n.rule->rule_number);
  const std::string span = std::to_string(n.seg_start) + "-" + std::to_string(n.seg_end);
  svg += "<g class=\"node" + std::string(n.left_comp != nullptr ? "" : " leaf") +
         "\" tabindex=\"0\" data-category=\"" + xml_escaped(l.category) + "\" data-start=\"" +
         std::to_string(n.seg_start) + "\" data-end=\"" + std::to_string(n.seg_end) +
         "\" data-rule=\"" + rule + "\" data-label=\"" + xml_escaped(label) +
         "\" data-values=\"" + values_text(n) + "\">";
  svg += "<title>" + xml_escaped(l.category) + " " + span;
  if (!rule.empty()) svg += ", rule " + rule;
  if (!label.empty()) svg += ", " + xml_escaped(label);
  svg += ", values " + values_text(n) + "</title>";
  const double y = y_of(l.depth) + kTextBaseline;
  svg += "<text x=\"" + number(l.x) + "\" y=\"" + number(y) + "\">" + xml_escaped(l.category) +
         "</text>";
  if (n.left_comp == nullptr) {
    svg += "<text class=\"word\" x=\"" + number(l.x) + "\" y=\"" + number(y + kWordGap) + "\">" +
           xml_escaped(l.word) + "</text>";
  }
  svg += "</g>";
}
}  // namespace

std::string svg_tree(const parse_node* root, const sentence_analysis& analysis) {
  const std::vector<laid_node> laid = lay_out(root, analysis);
  double width = 0;
  int depth = 0;
  for (const laid_node& l : laid) {
    width = std::max(width, l.x + std::max(characters(l.category), characters(l.word)) * kCharacterWidth / 2);
    depth = std::max(depth, l.depth);
  }
  width += kMargin;
  const double height = y_of(depth) + kTextBaseline + kWordGap + kMargin;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"tree\" width=\"" +
                    number(width) + "\" height=\"" + number(height) + "\" viewBox=\"0 0 " +
                    number(width) + " " + number(height) +
                    "\" font-family=\"sans-serif\" font-size=\"14\" text-anchor=\"middle\">";
  svg += "<g class=\"edges\" stroke=\"#888\">";
  for (const laid_node& l : laid) {
    if (l.parent < 0) continue;
    const laid_node& p = laid[l.parent];
    svg += "<line x1=\"" + number(p.x) + "\" y1=\"" + number(y_of(p.depth) + kTextBaseline + 5) +
           "\" x2=\"" + number(l.x) + "\" y2=\"" + number(y_of(l.depth) + 4) + "\"/>";
  }
  svg += "</g>";
  for (const laid_node& l : laid) append_node(svg, l);
  return svg + "</svg>";
}
