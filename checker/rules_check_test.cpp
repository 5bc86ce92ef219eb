#include "checker/rules_check.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "checker/checker_test_support.hpp"

namespace {

const std::string kTitle = "\n\tcheck rules...\n\n\n";

// ---- check_rule_order

TEST(CheckRuleOrder, FailsOnlyWhenTheLastEntryBeginsHigher) {
  captured_output output;
  checker_state state = state_writing_to(output.file());
  EXPECT_FALSE(check_rule_order(state, "DETXGEN", ""));
  EXPECT_FALSE(check_rule_order(state, "DETXGEN", "DAAA"));  // only the first character counts
  EXPECT_FALSE(check_rule_order(state, "aAAA", "ZZZZ"));
  EXPECT_FALSE(check_rule_order(state, "", "\xC4"));  // 0xC4 is negative
  EXPECT_EQ(output.text(), "");
  EXPECT_TRUE(check_rule_order(state, "BBBB", "DDDDGEN"));
  EXPECT_EQ(output.text(), "\nsort error: last_entry=DDDDGEN frame=BBBB\n");
}

TEST(CheckRuleOrder, WritesTheTextsWhole) {
  captured_output output;
  checker_state state = state_writing_to(output.file());
  EXPECT_TRUE(check_rule_order(state, std::string_view("", 0), std::string_view("D\0X", 3)));
  EXPECT_EQ(output.text(), std::string("\nsort error: last_entry=D\0X frame=\n", 35));
}

// ---- check_rules

void expect_rows(const std::vector<check_row>& rows, int category_length = 4) {
  checker_state settings;
  settings.expected_category_length = category_length;
  expect_check_rows(check_rules, kTitle, rows, settings);
}

TEST(CheckRules, EchoesEveryPartOnALineOfItsOwn) {
  expect_rows({
      {"two rules on a line, CR LF", "AAAA=BBBB;.\r\nAAAA=CCCC;.BBBB=CCCC;.\r\n",
       "AAAA=\nBBBB;\n.\nAAAA=\nCCCC;\n.\nBBBB=\nCCCC;\n.\n", 3},
      {"empty file", "", "", 0},
      {"free condition text", "AAAA=BBBB;0 9 (x):lab.", "AAAA=\nBBBB;\n0 9 (x):lab.\n", 1},
      {"category written before its group", "ABC(1)=BBBB;.", "ABC(1)=\nBBBB;\n.\n", 1},
  });
}

TEST(CheckRules, EchoesCommentsWhole) {
  expect_rows({
      {"in the condition", "AAAA=BBBB;1 $ x.\n2.", "AAAA=\nBBBB;\n1 $ x.\n2.\n", 1},
      {"CR kept, NUL kept", std::string("$a\r\0b\r\nAAAA=BBBB;.", 18),
       std::string("$a\r\0b\r\nAAAA=\nBBBB;\n.\n", 21), 1},
      {"last line without line end", "AAAA=BBBB;.$ end", "AAAA=\nBBBB;\n.\n$ end", 1},
  });
}

TEST(CheckRules, ReportsEachFaultWhereItIsFound) {
  expect_rows({
      {". before any separator", "AAAA.", "AAAA." + error_report("number of rule parts"), -1},
      {"separator in the condition", "AAAA=BBBB;1=2.",
       "AAAA=\nBBBB;\n1=\n2." + error_report("number of rule parts"), -1},
      {"five-letter category", "ABCDE =BBBB;.", "ABCDE " + error_report("length of main category"),
       -1},
      {"text inside a group", "AAAA GEN(1X)=BBBB;.",
       "AAAA GEN(1X)" + error_report("length of subcategory"), -1},
      {"0 in the result part", "AAAA=BBBB GEN(0);.",
       "AAAA=\nBBBB GEN(0" + error_report("invalid subcategory value"), -1},
      {"frame in the result part", "AAAA KAS(1)=BBBB;.BBBB=AAAA;.",
       "AAAA KAS(1)=\nBBBB;\n.\nBBBB=\nAAAA;" + error_report("categorial frame"), -1},
  });
}

TEST(CheckRules, RefusesSeparatorsOutOfTheirPlace) {
  expect_rows({
      {"; before =", "AAAA+BBBB;CCCC=.",
       "AAAA+\nBBBB;\nCCCC=\n." + error_report("number of rule parts"), -1},
      {"no = at all", "AAAA+BBBB;CCCC;.",
       "AAAA+\nBBBB;\nCCCC;\n." + error_report("number of rule parts"), -1},
      {"+ after =", "AAAA=BBBB+CCCC.", "AAAA=\nBBBB+\nCCCC." + error_report("number of rule parts"),
       -1},
      {"; first", "AAAA;BBBB=CCCC+DDDD.",
       "AAAA;\nBBBB=\nCCCC+\nDDDD." + error_report("number of rule parts"), -1},
      {"empty first part", "+AAAA=BBBB;.",
       "+\nAAAA=\nBBBB;\n." + error_report("number of rule parts"), -1},
      {"empty second part", "AAAA+ =BBBB;.",
       "AAAA+\n =\nBBBB;\n." + error_report("number of rule parts"), -1},
      {"empty result part", "AAAA=(1);.", "AAAA=\n(1);\n." + error_report("number of rule parts"),
       -1},
  });
}

TEST(CheckRules, ReportsTextAfterTheLastRule) {
  expect_rows({
      {"a rule without its .", "AAAA=BBBB;.CCCC=DDDD;",
       "AAAA=\nBBBB;\n.\nCCCC=\nDDDD;\n" + error_report("number of rule parts"), -1},
      {"a single character", "AAAA=BBBB;.\nx\n",
       "AAAA=\nBBBB;\n.\nx" + error_report("number of rule parts"), -1},
      {"a tab", "AAAA=BBBB;.\t", "AAAA=\nBBBB;\n.\n\t" + error_report("number of rule parts"), -1},
      {"blanks, line ends and comments", "AAAA=BBBB;.  \r\n $ done\n  ",
       "AAAA=\nBBBB;\n.\n   $ done\n  ", 1},
  });
}

TEST(CheckRules, ComparesOnlyTheFirstLetterOfTheFirstParts) {
  expect_rows({{"B then D then D", "BBBB=EEEE;.DDDD=EEEE;.DAAA=EEEE;.",
                "BBBB=\nEEEE;\n.\nDDDD=\nEEEE;\n.\nDAAA=\nEEEE;\n.\n", 3}});
}

TEST(CheckRules, LimitsTheFrameToTheCategoryAndEightyMore) {
  const std::string longest(84, 'A');
  expect_rows({
      {"84 characters", longest + "=BBBB;.", longest + "=\nBBBB;\n.\n", 1},
      {"85 characters", longest + "A=BBBB;.",
       longest + "A" + error_report("length of categorial frame"), -1},
  });
}

TEST(CheckRules, NeverLetsAFrameGrowPastItsCapacity) {
  const std::string longest(kFrameCapacity, 'A');
  for (int category_length : {19, 20, INT_MAX}) {
    expect_rows({{"99 characters", longest + "=BBBB;.", longest + "=\nBBBB;\n.\n", 1},
                 {"100 characters", longest + "A=BBBB;.",
                  longest + "A" + error_report("length of categorial frame"), -1}},
                category_length);
  }
}

// ---- going on after errors ("-all"), and the GNU form

// An error that only follows from an earlier one is not reported.
TEST(CheckRulesAllErrors, ReportsNoConsequenceOfABrokenRule) {
  expect_all_reports(
      check_rules,
      {
          // A part that failed never gives its category a reference frame.
          {"AAAA GEN(1 = BBBB;.\nAAAA KAS(1) = BBBB;.\n", "f:1:12: error: parentheses\n"},
          // One rule out of its place gives one report; a rule broken in its
          // first part is compared as far as that part was read.
          {"AAAA=B;.MMMM=B;.BBBB=B;.CCCC=B;.", "f:1:21: error: sort order\n"},
          {"AAAA=BBBB;.ZZZ =BBBB;.CCCC=BBBB;.",
           "f:1:15: error: length of main category\nf:1:27: error: sort order\n"},
          // A broken rule that the end of the file cuts off is not reported
          // again as unfinished.
          {"AAAA GEN(0) = BBBB;", "f:1:10: error: invalid subcategory value\n"},
      });
}

// A fault in a comment leaves the rest of the comment to be skipped as a
// comment; columns count characters.
TEST(CheckRulesAllErrors, SkipsACommentBrokenByAFaultAsAComment) {
  expect_all_reports(check_rules,
                     {{"ÄÄÄÄ=BBBB $ \xFF . x\n; .ÖÖÖÖ=BBBB;.Ü =BBBB;.",
                       "f:1:13: error: invalid UTF-8 (byte never used in UTF-8): bytes FF\n"
                       "f:2:16: error: length of main category\n"}},
                     true);
}

// Arbitrary bytes, biased towards the characters the check acts on, must
// never take the check outside its buffers or corrupt the frame table; and
// going on after errors must begin with the first error exactly as stopping
// at it does.
TEST(CheckRules, SurvivesArbitraryBytes) {
  std::mt19937 random(20020902);
  const std::string alphabet = "+=;.() ,0123456789:$\n\rABCDGENx\xC4";
  for (int run = 0; run < 3000; ++run) {
    const std::string input = random_input(random, alphabet);
    checker_state state;
    state.expected_category_length = static_cast<int>(random() % 40) - 10;
    run_check_both_ways(check_rules, input, state);
    ASSERT_EQ(state.frame_table.back(), '\0');
  }
}

}  // namespace
