// The analysis tree, drawn from the bracket text of an analysis.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analyser/base/log_output.hpp"

// Lays every label of `bracket_text` out in a grid of 64 lines of 256
// characters, in cells of 8 characters and lines three apart per depth, with
// "|" bars up to the parent's line and "_" joining a parent to its later
// components; then prints lines 0 to the deepest reached, each cut to 8 times
// the rightmost cell reached. The scan stops at depth 22 or at cell 31, and at
// a ")" without its "(". Labels are cut at the end of their line: nothing is
// written outside the grid. Writes to `log.out`, while tracing after the line
// "in draw_analysis_tree()"; with `log.utf8` the labels' letters in UTF-8,
// cells still counted in characters.
//
// With `words` (the words of the word nodes, left to right: leaf_words), each
// word stands on the line below its leaf's label, from the label's first
// position on; it is cut where a bar, an underscore, a label or the next
// word begins, or at the end of its line, and the lines are printed as wide
// as the leaves' labels and their words reach when they reach beyond the
// rightmost cell.
void draw_analysis_tree(const log_output& log, const std::string& bracket_text,
                        const std::vector<std::string_view>* words = nullptr);
