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
  CapturedOutput output;
  CheckerState state;
  state.out = output.file();
  state.line = {LinePhase::subcategory_part, -1, 3, 2, 9, "NOMNGEN"};
  start_line(state);
  EXPECT_EQ(state.line.phase, LinePhase::word);
  EXPECT_EQ(state.line.main_category_count, 0);
  EXPECT_EQ(state.line.group_name_count, 0);
  EXPECT_EQ(state.line.depth, 0);
  EXPECT_EQ(state.line.group_count, 0);
  EXPECT_EQ(state.line.frame_text, "");
  EXPECT_EQ(output.text(), "\n");
}

TEST(ReportError, WritesTheFramedMessageAndEndsWithMinusOne) {
  CapturedOutput output;
  CheckerState state;
  state.out = output.file();
  try {
    report_error(state, "sort order");
    FAIL() << "report_error returned";
  } catch (const CheckerEnd& end) {
    EXPECT_EQ(end.status, -1);
  }
  EXPECT_EQ(output.text(), "\n\n+++++ sort order ++++++\n");
}

}  // namespace
