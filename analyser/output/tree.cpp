#include "analyser/output/tree.hpp"

#include <algorithm>
#include <vector>

#include "analyser/base/utf8_text.hpp"

namespace {
constexpr int kGridRows = 64;
constexpr int kGridWidth = 256;
constexpr int kCellWidth = 8;
// Lines between a depth and the next: the label line and two lines of bars.
constexpr int kRowStep = 3;
// A column whose cell would begin at or beyond this position stops the scan.
constexpr int kColumnStop = 248;
// Underscores begin behind this many characters of the parent's label.
constexpr int kParentLabelKept = 4;

constexpr char kLabelMark = 'L';
constexpr char kWordMark = 'W';

struct tree_scan {
  std::vector<std::string> grid = std::vector<std::string>(kGridRows, std::string(kGridWidth, ' '));
  // kLabelMark where the grid holds a character of a label (kWordMark of a
  // word under a leaf), whose UTF-8 form may take more than one byte.
  std::vector<std::string> marks =
      std::vector<std::string>(kGridRows, std::string(kGridWidth, ' '));
  int row = 0;
  int column = 0;
  int highest_row = 0;
  int highest_column = 0;
  int depth = 0;
  int level_column[kGridRows] = {};
  // Where the labels of the word nodes were drawn.
  struct leaf {
    int row;
    int start;  // first position
    int end;    // behind the label's last position
  };
  std::vector<leaf> leaves;
};

bool ends_label(char c) { return c == '(' || c == ')' || c == '>' || c == ' ' || c == '\0'; }

// Moves one cell right; false when that cell lies beyond the grid's last one.
bool advance_column(tree_scan& scan) {
  ++scan.column;
  if (scan.column * kCellWidth >= kColumnStop) return false;
  scan.highest_column = scan.column;  // columns only grow
  return true;
}

// One step down: false when the new line lies beyond the grid.
bool open_group(tree_scan& scan) {
  scan.row += kRowStep;
  if (scan.row >= kGridRows) return false;
  if (scan.row > scan.highest_row) scan.highest_row = scan.row;
  ++scan.depth;
  return true;
}

// One step up, and to the next cell unless another ")" follows.
bool close_group(tree_scan& scan, char following) {
  if (scan.depth == 0) return false;
  scan.row -= kRowStep;
  if (following != ')' && !advance_column(scan)) return false;
  --scan.depth;
  return true;
}

// Writes the label at the current cell, cut at the end of its line, and joins
// it to its parent's line with bars and, for a later component, underscores.
void draw_label(tree_scan& scan, const char* label, std::size_t length) {
  scan.level_column[scan.depth] = scan.column;
  const int start = scan.column * kCellWidth;
  std::string& line = scan.grid[scan.row];
  for (std::size_t j = 0; j < length && start + j < line.size(); ++j) {
    line[start + j] = label[j];
    scan.marks[scan.row][start + j] = kLabelMark;
  }
  if (scan.row == 0) return;
  scan.grid[scan.row - 1][start] = '|';
  scan.grid[scan.row - 2][start] = '|';
  const int parent_start = scan.level_column[scan.depth - 1] * kCellWidth;
  const int parent_row = scan.row - kRowStep;
  for (int p = parent_start + kParentLabelKept; p <= start; ++p) {
    scan.grid[parent_row][p] = '_';
    scan.marks[parent_row][p] = ' ';
  }
}

// Lays the text out; stops where a limit of the grid is reached.
void scan_text(tree_scan& scan, const std::string& text) {
  for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    const char c = text[i];
    const char following = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '<' || c == '>') continue;
    if (c == '(' && !open_group(scan)) return;
    if (c == ')' && !close_group(scan, following)) return;
    if (c == ' ' && !advance_column(scan)) return;
    if (c == '(' || c == ')' || c == ' ') continue;
    std::size_t end = i;
    while (end < text.size() && !ends_label(text[end])) ++end;
    draw_label(scan, text.data() + i, end - i);
    if (end >= text.size() || text[end] != '(') {
      const int start = scan.column * kCellWidth;
      scan.leaves.push_back({scan.row, start, std::min(start + int(end - i), kGridWidth)});
    }
    i = end - 1;
  }
}
// Writes the word of each leaf drawn on the line below it, from the leaf's
// position on, over blanks and the tail of the word to its left, which it
// cuts; returns the position behind the rightmost leaf or word character.
std::size_t draw_words(tree_scan& scan, const std::vector<std::string_view>& words) {
  std::size_t reach = 0;
  for (std::size_t k = 0; k < scan.leaves.size() && k < words.size(); ++k) {
    const tree_scan::leaf& leaf = scan.leaves[k];
    reach = std::max(reach, static_cast<std::size_t>(leaf.end));
    const int row = leaf.row + 1;
    if (row >= kGridRows) continue;
    std::string& line = scan.grid[row];
    std::string& marks = scan.marks[row];
    auto p = static_cast<std::size_t>(leaf.start);
    for (std::size_t q = p; q < line.size() && marks[q] == kWordMark; ++q) {
      line[q] = ' ';
      marks[q] = ' ';
    }
    for (const char c : words[k]) {
      if (p >= line.size() || line[p] != ' ') break;
      line[p] = c;
      marks[p++] = kWordMark;
    }
    reach = std::max(reach, p);
    scan.highest_row = std::max(scan.highest_row, row);
  }
  return reach;
}
}  // namespace

void draw_analysis_tree(const log_output& log, const std::string& bracket_text,
                        const std::vector<std::string_view>* words) {
  if (log.trace) {
    std::fputs("in draw_analysis_tree()\n", log.out);
    std::fflush(log.out);
  }
  tree_scan scan;
  scan_text(scan, bracket_text);
  std::size_t width = static_cast<std::size_t>(scan.highest_column) * kCellWidth;
  if (words != nullptr) width = std::max(width, draw_words(scan, *words));
  for (int r = 0; r <= scan.highest_row; ++r) {
    if (!log.utf8) {
      std::fwrite(scan.grid[r].data(), 1, width, log.out);
    } else {
      for (std::size_t p = 0; p < width; ++p) {
        const auto c = static_cast<unsigned char>(scan.grid[r][p]);
        write_text(log.out, &c, 1, scan.marks[r][p] != ' ');
      }
    }
    std::fputc('\n', log.out);
  }
}
