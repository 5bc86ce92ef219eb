#include "analyser/suite/suite_summary.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/streams.hpp"

namespace {
item_result item(bool grammatical, item_verdict verdict, const char* outcome, std::uint64_t count,
                 long nodes, long time_us, bool given = false) {
  item_result i;
  i.expected.grammatical = grammatical;
  if (given) i.expected.count = count;
  i.verdict = verdict;
  i.found.outcome = outcome;
  i.found.count = {false, big_count(count)};
  i.found.nodes = nodes;
  i.found.time_us = time_us;
  return i;
}

std::vector<item_result> sample_items() {
  constexpr auto pass = item_verdict::pass;
  constexpr auto fail = item_verdict::fail;
  return {
      item(true, pass, "analysed", 1, 13, 50),
      item(true, pass, "analysed", 2, 22, 120, true),
      item(true, fail, "no_analysis", 0, 9, 30),
      item(false, pass, "no_analysis", 0, 14, 20),
      item(false, fail, "analysed", 3, 40, 1500),  // an ungrammatical item that is analysed
      item(false, pass, "unknown_word", 0, 3, 0),
      item(true, fail, "analysed", 5, 60, 300, true),  // a count that does not match
  };
}

std::string printed(const suite_summary& summary) {
  captured_output out;
  print_summary(out.file(), summary);
  return out.text();
}

TEST(SuiteSummary, FiguresOfTheItems) {
  suite_summary summary;
  for (const item_result& i : sample_items()) add_item(summary, i);
  add_item(summary, {"", 9, "", {}, item_verdict::malformed, {}, "two expected counts"});
  EXPECT_EQ(printed(summary),
            "\nSummary:\n"
            "  items:                        7\n"
            "  grammatical items analysed:   3 of 4 (75.0 %)\n"
            "  ungrammatical items rejected: 2 of 3 (66.7 %)\n"
            "  count and analysis as given:  1 of 2 items that give them\n"
            "  analyses:                     mean 2.75 per analysed item, largest 5\n"
            "  nodes:                        mean 23.0 per item, largest 60\n"
            "  time:                         total 2.020 ms, mean 0.289 ms per item, largest "
            "1.500 ms\n"
            "  result:                       4 passed, 3 failed, 1 line not understood\n");
  EXPECT_EQ(summary_status(summary), 2);
}

TEST(SuiteSummary, OfPartsIsTheSummaryOfTheWhole) {
  const std::vector<item_result> items = sample_items();
  suite_summary whole;
  for (const item_result& i : items) add_item(whole, i);
  // The parts in another order: the last three items first.
  suite_summary parts;
  for (std::size_t k = 4; k < items.size(); ++k) add_item(parts, items[k]);
  for (std::size_t k = 0; k < 4; ++k) add_item(parts, items[k]);
  EXPECT_EQ(printed(parts), printed(whole));
}

TEST(SuiteSummary, UnboundedCountsAreLeftOutOfTheMean) {
  suite_summary summary;
  add_item(summary, item(true, item_verdict::pass, "analysed", 4, 10, 10));
  item_result cycle = item(true, item_verdict::pass, "analysed", 0, 10, 10);
  cycle.found.count.unbounded = true;
  add_item(summary, cycle);
  add_item(summary, item(true, item_verdict::pass, "analysed", 2, 10, 10));
  add_item(summary, cycle);
  const std::string text = printed(summary);
  EXPECT_NE(text.find("  analyses:                     mean 3.00 per analysed item (2 unbounded "
                      "left out), largest unbounded\n"),
            std::string::npos)
      << text;
}

TEST(SuiteSummary, CountsBeyond64BitsInTheMean) {
  suite_summary summary;
  item_result many = item(true, item_verdict::pass, "analysed", 0, 10, 10);
  ASSERT_TRUE(count_of_text("36893488147419103232", many.found.count));  // 2^65
  add_item(summary, many);
  add_item(summary, item(true, item_verdict::pass, "analysed", 2, 10, 10));
  const std::string text = printed(summary);
  EXPECT_NE(text.find("  analyses:                     mean 18446744073709551616.00 per analysed "
                      "item, largest 36893488147419103232\n"),
            std::string::npos)
      << text;
}

TEST(SuiteSummary, EmptyAndPassingSuites) {
  suite_summary summary;
  EXPECT_EQ(printed(summary),
            "\nSummary:\n"
            "  items:                        0\n"
            "  grammatical items analysed:   0 of 0\n"
            "  ungrammatical items rejected: 0 of 0\n"
            "  count and analysis as given:  0 of 0 items that give them\n"
            "  analyses:                     mean 0.00 per analysed item, largest 0\n"
            "  nodes:                        mean 0.0 per item, largest 0\n"
            "  time:                         total 0.000 ms, mean 0.000 ms per item, largest "
            "0.000 ms\n"
            "  result:                       0 passed, 0 failed\n");
  EXPECT_EQ(summary_status(summary), 0);
  add_item(summary, sample_items()[0]);
  EXPECT_EQ(summary_status(summary), 0);
}
}  // namespace
