#include "analyser/output/tree.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "test_support/streams.hpp"

namespace {

std::string draw(const std::string& bracket_text, bool trace = false) {
  captured_output output;
  draw_analysis_tree({output.file(), trace}, bracket_text);
  return output.text();
}

std::string blanks(int n) { return std::string(n, ' '); }
std::string bars(int n) { return std::string(n, '_'); }

// The printed lines, each followed by its line end.
std::string lines(std::initializer_list<std::string> rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

TEST(DrawAnalysisTree, WorkedExample) {
  EXPECT_EQ(draw("<SATZ(B(C D)E)>"), lines({
                                         "SATZ_____________       ",
                                         "|               |       ",
                                         "|               |       ",
                                         "B   _____       E       ",
                                         "|       |               ",
                                         "|       |               ",
                                         "C       D               ",
                                     }));
}

std::string draw_with_words(const std::string& bracket_text,
                            const std::vector<std::string_view>& words, bool utf8 = false) {
  captured_output output;
  draw_analysis_tree({output.file(), false, utf8}, bracket_text, &words);
  return output.text();
}

TEST(DrawAnalysisTree, WordsStandUnderTheirLeaves) {
  EXPECT_EQ(draw_with_words("<SATZ(B(C D)E)>", {"der", "hund", "bellt"}), lines({
                                         "SATZ_____________       ",
                                         "|               |       ",
                                         "|               |       ",
                                         "B   _____       E       ",
                                         "|       |       bellt   ",
                                         "|       |               ",
                                         "C       D               ",
                                         "der     hund            ",
                                     }));
}

TEST(DrawAnalysisTree, AWordIsCutByTheTreeAndTheNextWordButWidensTheLines) {
  // HUNDEHUETTE runs into the bars of E's components and stops at them; the
  // last word reaches beyond the rightmost cell, and every line is as wide.
  EXPECT_EQ(draw_with_words("<S(A E(F G))>", {"HUNDEHUETTE", "F", "LANGESWORT"}), lines({
                                         "S   _____                 ",
                                         "|       |                 ",
                                         "|       |                 ",
                                         "A       E   _____         ",
                                         "HUNDEHUE|       |         ",
                                         "        |       |         ",
                                         "        F       G         ",
                                         "        F       LANGESWORT",
                                     }));
  EXPECT_EQ(draw_with_words("<S(A B)>", {"ABCDEFGHIJ", "K"}), lines({
                                         "S   _____       ",
                                         "|       |       ",
                                         "|       |       ",
                                         "A       B       ",
                                         "ABCDEFGHK       ",
                                     }));
}

TEST(DrawAnalysisTree, WordsOfASingleLabelAndInUtf8) {
  EXPECT_EQ(draw_with_words("<SATZ>", {"JA"}), "SATZ\nJA  \n");
  EXPECT_EQ(draw_with_words("<S(A B)>", {"M[DCHEN", "L[UFT"}, true), lines({
                                         "S   _____       ",
                                         "|       |       ",
                                         "|       |       ",
                                         "A       B       ",
                                         "MÄDCHEN LÄUFT   ",
                                     }));
}

TEST(DrawAnalysisTree, SingleLabelPrintsOneEmptyLine) {
  EXPECT_EQ(draw("<SATZ>"), "\n");
  EXPECT_EQ(draw("<SATZ:1>"), "\n");
}

TEST(DrawAnalysisTree, TraceLineFirst) {
  EXPECT_EQ(draw("<SATZ>", true), "in draw_analysis_tree()\n\n");
}

TEST(DrawAnalysisTree, LongLabelsAreOverwrittenByLaterOnes) {
  // The right sibling overwrites the ninth character; underscores of the
  // second component overwrite the parent's label from its fifth on.
  EXPECT_EQ(draw("<SATZX(LANGERNAME B)>"), lines({
                                               "SATZ_____       ",
                                               "|       |       ",
                                               "|       |       ",
                                               "LANGERNABE      ",
                                           }));
}

TEST(DrawAnalysisTree, CloseFollowedByCloseStaysInItsCell) {
  EXPECT_EQ(draw("<S(X(Y(A B))C)>"), lines({
                                         "S   _____________       ",
                                         "|               |       ",
                                         "|               |       ",
                                         "X               C       ",
                                         "|                       ",
                                         "|                       ",
                                         "Y   _____               ",
                                         "|       |               ",
                                         "|       |               ",
                                         "A       B               ",
                                     }));
}

// "L(L(...L...))" with `opens` levels below the root.
std::string nested(int opens) {
  std::string text = "<";
  for (int i = 0; i < opens; ++i) text += "L(";
  return text + "L" + std::string(opens, ')') + ">";
}

TEST(DrawAnalysisTree, DepthLimit) {
  // 21 levels below the root: the deepest label stands on line 63.
  std::string expected;
  for (int depth = 0; depth <= 21; ++depth) {
    if (depth > 0) expected += "|       \n|       \n";
    expected += "L       \n";
  }
  EXPECT_EQ(draw(nested(21)), expected);
  // One more: the scan stops at the 22nd "(", before any ")" moved a column,
  // so the 64 lines drawn are printed with width 0.
  EXPECT_EQ(draw(nested(22)), std::string(64, '\n'));
}

// "S(A A ... A)" with `count` components, the last one named `last`.
std::string wide(int count, const std::string& last = "A") {
  std::string text = "<S(";
  for (int i = 1; i < count; ++i) text += "A ";
  return text + last + ")>";
}

TEST(DrawAnalysisTree, WidthLimit) {
  // 31 components fill cells 0 to 30; the cell of the last begins at the
  // printed width, 240.
  std::string components;
  for (int i = 0; i < 30; ++i) components += "A       ";
  std::string expected = "S   " + bars(236) + "\n";
  std::string bar_line = "|" + blanks(7);
  std::string bar_lines;
  for (int i = 0; i < 30; ++i) bar_lines += bar_line;
  expected += bar_lines + "\n" + bar_lines + "\n" + components + "\n";
  EXPECT_EQ(draw(wide(31)), expected);
  // A 32nd component is not drawn; the output stays the same.
  EXPECT_EQ(draw(wide(32)), expected);
  // 30 components: the last ")" reaches cell 30 without stopping.
  std::string expected30 = "S   " + bars(229) + blanks(7) + "\n" + bar_lines + "\n" + bar_lines +
                           "\n" + components + "\n";
  EXPECT_EQ(draw(wide(30)), expected30);
}

TEST(DrawAnalysisTree, LabelsAreCutAtTheEndOfTheirLine) {
  const std::string long_label(300, 'Q');
  // In the last cell and on the last line of the grid: nothing is written
  // outside it, and the visible part is unchanged.
  std::string expected = draw(wide(31));
  EXPECT_EQ(draw(wide(31, long_label)), expected);
  std::string deep = "<";
  for (int i = 0; i < 21; ++i) deep += "L(";
  deep += long_label + std::string(21, ')') + ">";
  std::string drawn = draw(deep);
  EXPECT_EQ(drawn.substr(drawn.size() - 9), "QQQQQQQQ\n");
  EXPECT_EQ(drawn.size(), 64u * 9);
  EXPECT_EQ(draw("<" + long_label + ">"), "\n");
}

TEST(DrawAnalysisTree, UnbalancedCloseStopsTheScan) {
  EXPECT_EQ(draw("<A B)C>"), "A       \n");
  EXPECT_EQ(draw(")))"), "\n");
}

TEST(DrawAnalysisTree, WordsAtTheEdgesOfTheGrid) {
  // Below the last line of the grid no word is drawn.
  EXPECT_EQ(draw_with_words(nested(21), {"W"}), draw(nested(21)));
  // At the right edge a word is cut at the grid's end, and the next leaf's
  // word takes over from its own leaf on.
  std::vector<std::string_view> words(29, "w");
  const std::string x(30, 'X');
  const std::string y(30, 'Y');
  words.push_back(x);
  words.push_back(y);
  std::string last_line;
  for (int i = 0; i < 29; ++i) last_line += "w" + blanks(7);
  last_line += std::string(8, 'X') + std::string(16, 'Y') + "\n";
  const std::string drawn = draw_with_words(wide(31), words);
  EXPECT_EQ(drawn.substr(drawn.size() - last_line.size()), last_line);
  // Leaves beyond the words stay without one.
  EXPECT_EQ(draw_with_words("<S(A B)>", {"X"}), draw("<S(A B)>") + "X" + blanks(15) + "\n");
}

TEST(DrawAnalysisTree, TextEndingInsideALabelOrAtANulByte) {
  EXPECT_EQ(draw_with_words("<S(A B", {"X", "Y"}), lines({
                                         "S   _____",
                                         "|       |",
                                         "|       |",
                                         "A       B",
                                         "X       Y",
                                     }));
  EXPECT_EQ(draw(std::string("<S(A B\0C)>", 11)), draw("<S(A B"));
}

}  // namespace
