#include "checker/text_routines.hpp"

#include <gtest/gtest.h>

#include "checker/checker_test_support.hpp"

namespace {

TEST(CharPosition, CountsFromOneAndFindsTheFirstOccurrence) {
  EXPECT_EQ(char_position(' ', " (),12345678"), 1);
  EXPECT_EQ(char_position('8', " (),12345678"), 12);
  EXPECT_EQ(char_position('b', "abcb"), 2);
  EXPECT_EQ(char_position('9', " (),12345678"), 0);
}

TEST(CharPosition, NeverFindsTheTerminator) {
  EXPECT_EQ(char_position(0, "09"), 0);
  EXPECT_EQ(char_position(0, ""), 0);
}

TEST(CharPosition, TakesHighBytesAsTheyAre) {
  EXPECT_EQ(char_position(0xC4, "a\xC4"), 2);
  EXPECT_EQ(char_position(0xC4, "a\xE4"), 0);
}

TEST(AppendRoutines, KeepEveryByteZeroBytesIncluded) {
  std::string text = "AB";
  append_char(text, 0);
  append_char(text, 0xFF);
  append_text(text, std::string_view("C\0D", 3));
  EXPECT_EQ(text, std::string("AB\0\xFF"
                              "C\0D",
                              7));
}

TEST(StartLine, ResetsTheLineStateAndBreaksTheEcho) {
  captured_output output;
  checker_state state;
  state.out = output.file();
  state.line = {line_phase::subcategory_part, -1, 3, 2, 9, "NOMNGEN"};
  start_line(state);
  EXPECT_EQ(state.line.phase, line_phase::word);
  EXPECT_EQ(state.line.main_category_count, 0);
  EXPECT_EQ(state.line.group_name_count, 0);
  EXPECT_EQ(state.line.depth, 0);
  EXPECT_EQ(state.line.group_count, 0);
  EXPECT_EQ(state.line.frame_text, "");
  EXPECT_EQ(output.text(), "\n");
}

// Writes `message` through report_error and returns what it wrote.
std::string report(checker_state& state, const char* message) {
  captured_output output;
  state.out = output.file();
  EXPECT_THROW(report_error(state, message), error_reported);
  state.out = stdout;
  return output.text();
}

TEST(ReportError, WritesReportsUpToTheLimitAndCountsThemAll) {
  checker_state state;
  state.max_errors = 2;
  EXPECT_EQ(report(state, "sort order"), "\n\n+++++ sort order ++++++\n");
  EXPECT_TRUE(next_report_shown(state));
  EXPECT_NE(report(state, "two"), "");
  EXPECT_FALSE(next_report_shown(state));
  EXPECT_EQ(report(state, "three"), "");
  EXPECT_EQ(state.errors_found, 3);
  state.max_errors = 0;  // no limit
  EXPECT_NE(report(state, "four"), "");
}

}  // namespace
