#include "analyser/suite/suite_compare.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/streams.hpp"

namespace {
item_result item(long line, const char* text, item_verdict verdict, std::uint64_t count,
                 const char* analysis = nullptr) {
  item_result i;
  i.suite = "s.suite";
  i.line = line;
  i.text = text;
  i.verdict = verdict;
  i.found.outcome = count > 0 ? "analysed" : "no_analysis";
  i.found.count = {false, big_count(count)};
  if (analysis != nullptr) i.found.analysis = analysis;
  return i;
}

constexpr auto pass = item_verdict::pass;
constexpr auto fail = item_verdict::fail;

TEST(SuiteCompare, ListsWhatChangedWithATally) {
  const std::vector<item_result> before = {
      item(1, "a", pass, 1, "<A>"),
      item(2, "b", pass, 1, "<B>"),
      item(3, "c", fail, 0),
      item(4, "d", pass, 1, "<D>"),
      item(5, "gone", pass, 1, "<G>"),
      item(6, "same", pass, 2, "<S>"),
      {"s.suite", 7, "", {}, item_verdict::malformed, {}, "x"},
  };
  const std::vector<item_result> now = {
      item(1, "a", pass, 1, "<A>"),      // unchanged
      item(2, "b", fail, 0),             // worse
      item(3, "c", pass, 1, "<C>"),      // better
      item(4, "d", pass, 2, "<D>"),      // different: another count
      item(5, "same", pass, 2, "<S2>"),  // different: another first analysis
      item(6, "new", pass, 1, "<N>"),
      {"s.suite", 8, "", {}, item_verdict::malformed, {}, "y"},
  };
  captured_output out;
  print_comparison(out.file(), "old.profile", compare_items(before, now), false);
  EXPECT_EQ(out.text(),
            "\n"
            "s.suite:2: worse: b | before: pass, analysed, 1 analysis, <B> | now: fail, "
            "no_analysis, 0 analyses\n"
            "s.suite:3: better: c | before: fail, no_analysis, 0 analyses | now: pass, analysed, "
            "1 analysis, <C>\n"
            "s.suite:4: different: d | before: pass, analysed, 1 analysis, <D> | now: pass, "
            "analysed, 2 analyses, <D>\n"
            "s.suite:5: different: same | before: pass, analysed, 2 analyses, <S> | now: pass, "
            "analysed, 2 analyses, <S2>\n"
            "s.suite:6: new: new | now: pass, analysed, 1 analysis, <N>\n"
            "s.suite:5: gone: gone | before: pass, analysed, 1 analysis, <G>\n"
            "Changes against old.profile: 1 worse, 1 better, 2 different, 1 new, 1 gone; "
            "1 unchanged\n");
}

TEST(SuiteCompare, RepeatedTextsPairInTheirOrder) {
  const std::vector<item_result> before = {item(1, "x", pass, 1, "<1>"), item(2, "x", fail, 0),
                                           item(3, "x", pass, 1, "<3>")};
  const std::vector<item_result> now = {item(10, "x", pass, 1, "<1>"),
                                        item(20, "x", pass, 1, "<2>")};
  const std::vector<compared_item> compared = compare_items(before, now);
  ASSERT_EQ(compared.size(), 3u);
  EXPECT_EQ(compared[0].change, item_change::unchanged);
  EXPECT_EQ(compared[1].change, item_change::better);
  EXPECT_EQ(compared[1].before->line, 2);
  EXPECT_EQ(compared[2].change, item_change::gone);
  EXPECT_EQ(compared[2].before->line, 3);
}
}  // namespace
