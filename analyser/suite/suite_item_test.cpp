#include "analyser/suite/suite_item.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/streams.hpp"

namespace {
item_found found(const char* outcome, std::uint64_t count, const char* analysis = nullptr) {
  item_found f;
  f.outcome = outcome;
  f.count = {false, big_count(count)};
  if (analysis != nullptr) f.analysis = analysis;
  return f;
}

item_expectation expecting(bool grammatical, long count = -1, const char* analysis = nullptr) {
  item_expectation e;
  e.grammatical = grammatical;
  if (count >= 0) e.count = count;
  if (analysis != nullptr) e.analysis = analysis;
  return e;
}

TEST(SuiteItem, Verdicts) {
  constexpr auto pass = item_verdict::pass;
  constexpr auto fail = item_verdict::fail;
  struct row {
    item_expectation expected;
    item_found found;
    item_verdict verdict;
  };
  const std::vector<row> rows = {
      {expecting(true), found("analysed", 1, "<A>"), pass},
      {expecting(true), found("analysed", 3, "<A>"), pass},
      {expecting(true), found("no_analysis", 0), fail},
      {expecting(true), found("unknown_word", 0), fail},
      {expecting(true), found("no_words", 0), fail},
      {expecting(true, 2), found("analysed", 2, "<A>"), pass},
      {expecting(true, 2), found("analysed", 3, "<A>"), fail},
      {expecting(true, -1, "<A>"), found("analysed", 2, "<A>"), pass},
      {expecting(true, -1, "<A>"), found("analysed", 2, "<B>"), fail},
      {expecting(true, 2, "<A>"), found("analysed", 2, "<B>"), fail},
      {expecting(false), found("no_analysis", 0), pass},
      {expecting(false), found("unknown_word", 0), pass},
      {expecting(false), found("no_words", 0), pass},
      {expecting(false, 0), found("no_analysis", 0), pass},
      {expecting(false), found("analysed", 1, "<A>"), fail},
      // The node limit leaves the parse unknown: no verdict can be a pass.
      {expecting(false), found("node_limit", 0), fail},
      {expecting(true), found("node_limit", 0), fail},
      {expecting(false), found("timeout", 0), fail},
  };
  for (const row& r : rows) {
    EXPECT_EQ(judge(r.expected, r.found), r.verdict)
        << expectation_text(r.expected) << " / " << found_text(r.found);
  }
}

TEST(SuiteItem, CountsBeyond64BitsAndUnbounded) {
  analysis_count count;
  const std::string large = "123456789012345678901234567890";
  ASSERT_TRUE(count_of_text(large, count));
  EXPECT_EQ(count_text(count), large);
  ASSERT_TRUE(count_of_text("unbounded", count));
  EXPECT_TRUE(count.unbounded);
  EXPECT_EQ(count_text(count), "unbounded");
  for (const char* bad : {"", "01", "-1", "1.5", "many", " 1"}) {
    EXPECT_FALSE(count_of_text(bad, count)) << bad;
  }
  EXPECT_TRUE(count_of_text(std::string(kCountTextLimit, '9'), count));
  EXPECT_FALSE(count_of_text(std::string(kCountTextLimit + 1, '9'), count));
  // A unary cycle: an analysis, but no count can be met.
  item_found cycle = found("analysed", 0, "<A>");
  cycle.count.unbounded = true;
  EXPECT_EQ(judge(expecting(true), cycle), item_verdict::pass);
  EXPECT_EQ(judge(expecting(true, 1), cycle), item_verdict::fail);
  EXPECT_EQ(found_text(cycle), "analysed, unbounded analyses, <A>");
  EXPECT_TRUE(same_count(cycle.count, cycle.count));
  EXPECT_FALSE(same_count(cycle.count, found("analysed", 0).count));
}

TEST(SuiteItem, FoundOfAnAnalysisWithoutNodes) {
  const unsigned char sentence[] = "ZWEI HUNDE ";
  sentence_analysis analysis;
  analysis.outcome = sentence_outcome::no_number_reading;
  analysis.words.unknown = {sentence, 4, 1, 0};
  analysis.time_us = 7;
  const item_found got = found_of(analysis);
  EXPECT_EQ(found_text(got), "no_number_reading ZWEI, 0 analyses");
  EXPECT_EQ(got.nodes, 0);
  EXPECT_EQ(got.time_us, 7);
  EXPECT_FALSE(got.analysis);
}

TEST(SuiteItem, ReportLines) {
  item_result item;
  item.suite = "-";
  item.line = 12;
  item.text = "Der Hund bellen.";
  item.expected = expecting(false);
  item.verdict = item_verdict::fail;
  item.found = found("analysed", 1, "<SATZ(NPHR VPHR)>");
  captured_output out;
  write_item_line(out.file(), item, false);
  item.suite = "a.suite";
  item.text = "M{dchen";
  item.expected = expecting(true, 2, "<A>");
  item.verdict = item_verdict::pass;
  item.found = found("unknown_word", 0);
  item.found.unknown_word = "M[DCHEN";
  write_item_line(out.file(), item, true);
  item.verdict = item_verdict::malformed;
  item.problem = "two expected counts";
  write_item_line(out.file(), item, false);
  EXPECT_EQ(out.text(),
            "stdin:12: fail: *Der Hund bellen. | expected: no analysis | found: analysed, 1 "
            "analysis, <SATZ(NPHR VPHR)>\n"
            "a.suite:12: pass: M\xC3\xA4"
            "dchen | expected: 2 analyses, <A> | found: "
            "unknown_word M\xC3\x84"
            "DCHEN, 0 analyses\n"
            "a.suite:12: malformed: two expected counts\n");
  EXPECT_EQ(expectation_text(expecting(true)), "an analysis");
  EXPECT_EQ(expectation_text(expecting(true, 1)), "1 analysis");
  EXPECT_EQ(expectation_text(expecting(true, -1, "<A>")), "<A>");
}
}  // namespace
