#include "checker/lexicon_check.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "checker/checker_test_support.hpp"

namespace {

const std::string kTitle = "\n\tcheck lexicon...\n\n";

// ---- equal_prefix

struct PrefixRow {
  std::string_view a, b;
  int n;
  int expected;
};

TEST(EqualPrefix, ComparesTheFirstNBytesWithTheEndReadingAsZero) {
  const PrefixRow rows[] = {
      {"NOMNGEN", "NOMNNUM", 4, 1},
      {"NOMNGEN", "NOMNNUM", 5, 0},
      {"NOMN", "NOMN", 4, 1},
      {"NOM", "NOMN", 4, 0},   // the end of "NOM" meets "N"
      {"NOMN", "NOMN", 9, 1},  // both ended: zero against zero
      {"AB", std::string_view("AB\0", 3), 3, 1},
      {"", "", 4, 1},
      {"X", "Y", 0, 1},
      {"X", "Y", -3, 1},
      {"\xC4", "\xC5", 1, 0},
      {"NOMN", "NOMN", INT_MAX, 1},  // never walks far past the texts
  };
  for (const PrefixRow& row : rows) {
    EXPECT_EQ(equal_prefix(row.a, row.b, row.n), row.expected)
        << row.a << " / " << row.b << " / " << row.n;
  }
}

// ---- check_frame

class CheckFrame : public ::testing::Test {
 protected:
  // Runs check_frame; -1 when it ended the run.
  int frame(std::string_view text, int n = 4) {
    try {
      return check_frame(state, text, n) ? 1 : 0;
    } catch (const error_reported&) {
      return -1;
    }
  }
  captured_output output;
  checker_state state = state_writing_to(output.file());
};

TEST_F(CheckFrame, TheFirstFrameOfACategoryBecomesItsReference) {
  EXPECT_EQ(frame("NOMNGENNUM"), 1);
  EXPECT_EQ(state.frame_table, std::string("\x0A"
                                           "NOMNGENNUM"
                                           "\0",
                                           12));
  EXPECT_EQ(frame("NOMNGENNUMKAS"), 1);  // longer: begins with the reference
  EXPECT_EQ(frame("NOMNGENNUM"), 1);
  EXPECT_EQ(frame("NOMNGEN"), 0);     // shorter than the reference
  EXPECT_EQ(frame("NOMNNUMGEN"), 0);  // same names, other order
  EXPECT_EQ(state.frame_table.size(), 12u);
}

TEST_F(CheckFrame, CategoriesKeepTheirOwnReferences) {
  EXPECT_EQ(frame("NOMNGEN"), 1);
  EXPECT_EQ(frame("VERBPER"), 1);
  EXPECT_EQ(frame("VERBPERNUM"), 1);
  EXPECT_EQ(frame("NOMNGENKAS"), 1);
  EXPECT_EQ(frame("VERBNUM"), 0);
  EXPECT_EQ(state.frame_table, std::string("\x07NOMNGEN\x07VERBPER\0", 17));
}

TEST_F(CheckFrame, AnEmptyFramePassesAndIsNotStored) {
  state.line.depth = 1;
  state.line.group_count = 9;
  EXPECT_EQ(frame(""), 1);
  EXPECT_EQ(state.frame_table, std::string(1, '\0'));
}

TEST_F(CheckFrame, AnOpenParenthesisEndsTheRun) {
  state.line.depth = -1;
  EXPECT_EQ(frame("NOMN"), -1);
  EXPECT_EQ(output.text(), error_report("parentheses"));
}

TEST_F(CheckFrame, EightGroupsPassNineEndTheRun) {
  state.line.group_count = 8;
  EXPECT_EQ(frame("NOMN"), 1);
  state.line.group_count = 9;
  EXPECT_EQ(frame("NOMN"), -1);
  EXPECT_EQ(output.text(), error_report("# subcategories > 8"));
}

TEST_F(CheckFrame, NOfZeroOrLessLetsTheFirstStoredFrameDecideEveryFrame) {
  EXPECT_EQ(frame("NOMNGEN", 0), 1);
  EXPECT_EQ(frame("VERBPER", 0), 0);
  EXPECT_EQ(frame("NOMNGENKAS", -5), 1);
}

TEST_F(CheckFrame, AShortFrameIsComparedWithItsEndAsZero) {
  // A rules part may carry a main category shorter than n.
  EXPECT_EQ(frame("ABC"), 1);
  EXPECT_EQ(frame("ABC"), 1);
  EXPECT_EQ(frame("ABCD"), 1);  // "ABCD" shares no four characters with "ABC"
  EXPECT_EQ(frame("ABCDGEN"), 1);
  EXPECT_EQ(frame("ABCDNUM"), 1);  // begins with the reference "ABCD"
}

TEST_F(CheckFrame, FramesOfTheFullCapacityAreStoredLongerOnesRefused) {
  const std::string longest = "NOMN" + std::string(kFrameCapacity - 4, 'G');
  EXPECT_EQ(frame(longest), 1);
  EXPECT_EQ(static_cast<unsigned char>(state.frame_table[0]), kFrameCapacity);
  EXPECT_EQ(frame("VERB" + std::string(kFrameCapacity - 3, 'G')), -1);
  EXPECT_EQ(output.text(), error_report("length of categorial frame"));
}

TEST_F(CheckFrame, TheTableGrowsPastAThousandBytesAndKeepsCheckingEveryCategory) {
  // 60 categories of 29 stored bytes each: 1741 bytes with the closing zero.
  auto category = [](int i) {
    return std::string{'K', char('A' + i / 26), char('A' + i % 26), 'X'};
  };
  for (int i = 0; i < 60; ++i) EXPECT_EQ(frame(category(i) + "GENNUMKASPERTEMMODDEFABC"), 1);
  EXPECT_EQ(state.frame_table.size(), 60u * 29 + 1);
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(frame(category(i) + "GENNUMKASPERTEMMODDEFABCXYZ"), 1) << i;
    EXPECT_EQ(frame(category(i) + "GENNUMKASPERTEMMODDEFABD"), 0) << i;
  }
}

// ---- check_sort_letter

TEST(CheckSortLetter, ComparesOnlyTheFirstCharacterAsASignedByte) {
  signed char previous = 0;
  std::string word = "ABC";
  EXPECT_TRUE(check_sort_letter(word, previous));
  EXPECT_EQ(previous, 'A');
  EXPECT_EQ(word, "");
  word = "AAA";  // same first letter: equal is not lower
  EXPECT_TRUE(check_sort_letter(word, previous));
  word = "a";  // lower case stands above every capital
  EXPECT_TRUE(check_sort_letter(word, previous));
  word = "Z";
  EXPECT_FALSE(check_sort_letter(word, previous));
  EXPECT_EQ(word, "Z");  // a failed test leaves both alone
  EXPECT_EQ(previous, 'a');
  word = "\xC4";  // bytes of 0x80 and above are negative
  EXPECT_FALSE(check_sort_letter(word, previous));
  word = "";  // an empty word has the character 0
  EXPECT_FALSE(check_sort_letter(word, previous));
}

TEST(CheckSortLetter, HighBytesPassOnlyBeforeEverythingElse) {
  signed char previous = -128;
  std::string word = "\xC4";
  EXPECT_TRUE(check_sort_letter(word, previous));
  word = "\xFF";
  EXPECT_TRUE(check_sort_letter(word, previous));
  word = "";
  EXPECT_TRUE(check_sort_letter(word, previous));
  EXPECT_EQ(previous, 0);
}

// ---- check_lexicon

void expect_rows(const std::vector<check_row>& rows) {
  expect_check_rows(check_lexicon, kTitle, rows);
}

TEST(CheckLexicon, EchoesTheFileWithoutCRsAndAnExtraLineFeedPerLine) {
  expect_rows({
      {"CR LF line ends", "A=NOMN\r\nB=NOMN\r\n", "A=NOMN\n\nB=NOMN\n\n", 2},
      {"CR inside a line", "A=NO\rMN\n", "A=NOMN\n\n", 1},
      {"blank and no groups", "A=NOMN\nB=NOMN \n", "A=NOMN\n\nB=NOMN \n\n", 2},
      {"empty groups, blanks and commas", "A=NOMN GEN()NUM(1, 2,3)\n",
       "A=NOMN GEN()NUM(1, 2,3)\n\n", 1},
      {"empty file", "", "", 0},
  });
}

// Each report stands behind the last character echoed: the line end for the
// end-of-line tests, the offending character for the tests inside a line.
TEST(CheckLexicon, ReportsEachFaultWhereItIsFound) {
  expect_rows({
      {"five-character category", "A=NOMNX\n", "A=NOMNX\n" + error_report("length main category"),
       -1},
      {"no blank before the groups", "A=NOMN(1)\n",
       "A=NOMN(1)\n" + error_report("length main category"), -1},
      {"empty first line", "\n", "\n" + error_report("length main category"), -1},
      {"blank between groups", "A=NOMN GEN(1) NUM(2)\n",
       "A=NOMN GEN(1) NUM(" + error_report("length of subcategory"), -1},
      {"0 in the label", "A=NOMN :x0y\n", "A=NOMN :x0" + error_report("invalid subcategory value"),
       -1},
      {"9 in the word", "R9=NOMN\n", "R9=NOMN\n\n", 1},
      {"closing without opening", "A=NOMN GEN1)\n",
       "A=NOMN GEN1)\n" + error_report("number of parentheses"), -1},
      {"100 characters of main category", "W=" + std::string(kFrameCapacity + 1, 'N') + "\n",
       "W=" + std::string(kFrameCapacity + 1, 'N') + error_report("length of categorial frame"),
       -1},
  });
}

TEST(CheckLexicon, TestsALastLineWithoutLineEndLikeAnyOther) {
  expect_rows({
      {"correct", "A=NOMN\nB=NOMN GEN(1)", "A=NOMN\n\nB=NOMN GEN(1)\n", 2},
      {"short category", "A=NOMN\nB=NOM", "A=NOMN\n\nB=NOM" + error_report("length main category"),
       -1},
      {"open group", "B=NOMN GEN(1", "B=NOMN GEN(1" + error_report("number of parentheses"), -1},
      {"out of order", "B=NOMN\nA=NOMN", "B=NOMN\n\nA=NOMN" + error_report("sort order"), -1},
      {"wrong frame", "A=NOMN GEN(1)\nB=NOMN",
       "A=NOMN GEN(1)\n\nB=NOMN" + error_report("wrong categorial frame"), -1},
      {"only a CR after the last line end", "A=NOMN\n\r", "A=NOMN\n\n", 1},
      {"a CR ending the last line", "A=NOMN\r", "A=NOMN\n", 1},
  });
}

TEST(CheckLexicon, TakesWordsOfAnyLength) {
  for (int length : {127, 128}) {
    const std::string line = std::string(length, 'W') + "=NOMN\n";
    expect_rows({{"long word", line + line, line + "\n" + line + "\n", 2}});
  }
}

TEST(CheckLexicon, HonoursOtherLengthsFromTheSettings) {
  checker_state state;
  state.expected_category_length = 5;
  state.expected_group_name_length = 2;
  check_outcome outcome = run_check(check_lexicon, "A=NOMNX GE(1)\nB=NOMNX GE(1)KA(2)\n", state);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.count, 2);
  outcome = run_check(check_lexicon, "A=NOMN GE(1)\n", state);
  EXPECT_EQ(outcome.output, kTitle + "A=NOMN GE(1)\n" + error_report("length main category"));
}

// ---- going on after errors ("-all"), and the GNU form

// An error that only follows from an earlier one is not reported.
TEST(CheckLexiconAllErrors, ReportsNoConsequenceOfABrokenLine) {
  expect_all_reports(
      check_lexicon,
      {
          // A line that failed never gives its category a reference frame.
          {"A=NOMN GEN(1\nB=NOMN NUM(1)\nC=NOMN NUM(2)KAS(1)\n",
           "f:1:13: error: number of parentheses\n"},
          // One line out of its place gives one report, whether or not it
          // is broken otherwise.
          {"A=NOMN\nM=NOMN\nB=NOMN\nC=NOMN\n", "f:3:7: error: sort order\n"},
          {"A=NOMN\nZ=NOMN GEN(0)\nB=NOMN\nC=NOMN\n",
           "f:2:12: error: invalid subcategory value\nf:3:7: error: sort order\n"},
          // A line without a word leaves the comparison to the line before.
          {"M=NOMN\n\nB=NOMN\n", "f:2:1: error: sort order\nf:3:7: error: sort order\n"},
      });
}

// Arbitrary bytes, biased towards the characters the check acts on, must
// never take the check outside its buffers or corrupt the frame table; a
// last line without its line end must fare exactly as it would with one; and
// going on after errors must begin with the first error exactly as stopping
// at it does.
TEST(CheckLexicon, SurvivesArbitraryBytes) {
  std::mt19937 random(20020901);
  const std::string alphabet = "=() ,0123456789:\n\r$ABNOMGEa\xC4";
  for (int run = 0; run < 3000; ++run) {
    const std::string input = random_input(random, alphabet);
    checker_state state;
    state.expected_category_length = static_cast<int>(random() % 6);
    const check_outcome outcome = run_check_both_ways(check_lexicon, input, state);
    ASSERT_EQ(state.frame_table.back(), '\0');
    const std::size_t last = input.find_last_not_of('\r');
    if (last == std::string::npos || input[last] == '\n') continue;
    checker_state same_settings;
    same_settings.expected_category_length = state.expected_category_length;
    const check_outcome ended = run_check(check_lexicon, input + "\n", same_settings);
    ASSERT_EQ(outcome.status, ended.status) << input;
    ASSERT_EQ(outcome.count, ended.count) << input;
  }
}

}  // namespace
