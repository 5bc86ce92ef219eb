#include "analyser/suite/suite_coverage.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "analyser/base/sentence_text.hpp"
#include "analyser/library/sentence_analyser.hpp"
#include "test_support/streams.hpp"

namespace {
// Hands out the files of a small grammar by name.
class grammar_files : public text_opener {
 public:
  unique_file open(const std::string& name, bool utf8) const override {
    const auto found = files_.find(name);
    return found == files_.end() ? nullptr : open_text(found->second, name, utf8);
  }

 private:
  std::map<std::string, std::string> files_ = {
      {"m.txt", "1 Mirask\n"},
      {"r.txt", "AAAA + BBBB = SATZ;.\n\nCCCC = AAAA; :zweite.\n  DDDD = SATZ;.\n"},
      {"l.txt", "ALPHA=AAAA\nBETA=BBBB\n$ a comment\nGAMMA=CCCC\nDELTA=DDDD\n"},
      {"e.txt", "E=ENDG\n"},
  };
};

struct SuiteCoverage : ::testing::Test {
  loaded_grammar grammar;
  SuiteCoverage() {
    memory_input config("m.txt\n32\n46\nr.txt\nl.txt\ne.txt\n");
    load_configuration(grammar, config.file(), grammar_files{}, log_output{nullptr});
  }

  // With `as_a_suite`, as a suite item is analysed: the parse may stop at
  // the first analysis, and the rules come from the parse that counts.
  item_coverage coverage_of_sentence(const std::string& text, bool as_a_suite = false) {
    std::vector<unsigned char> sentence(text.begin(), text.end());
    sentence.resize(text.size() + 2);
    make_sentence(sentence.data(), static_cast<int>(text.size()), grammar.sentence_end_chars,
                  letter_case::seven_bit);
    sentence_analyser analyser(grammar);
    node_list nodes;
    analysis_request request;
    request.count_analyses = true;
    request.stop_at_first_analysis = as_a_suite;
    request.note_rules = as_a_suite;
    const sentence_analysis analysis =
        analyser.analyse(sentence.data(), nodes, request, log_output{nullptr});
    return coverage_of(analysis, grammar.grammar);
  }
};

TEST_F(SuiteCoverage, RulesAndEntriesWithTheirPlaces) {
  const coverage_universe universe = universe_of(grammar);
  EXPECT_EQ(universe.rules_file, "r.txt");
  EXPECT_EQ(universe.lexicon_file, "l.txt");
  const std::vector<coverage_rule> rules = {
      {1, 1, "", "AAAA + BBBB = SATZ"}, {2, 3, "zweite", "CCCC = AAAA"}, {3, 4, "", "DDDD = SATZ"}};
  EXPECT_EQ(universe.rules, rules);
  const std::vector<coverage_entry> entries = {
      {1, "ALPHA", "AAAA"}, {2, "BETA", "BBBB"}, {4, "GAMMA", "CCCC"}, {5, "DELTA", "DDDD"}};
  EXPECT_EQ(universe.entries, entries);
}

TEST_F(SuiteCoverage, WhatTheItemsUsedAndWhatTheyLeftUntested) {
  EXPECT_EQ(coverage_of_sentence("gamma beta."), (item_coverage{{1, 2}, {2, 4}}));
  // Words are read whether or not an analysis follows.
  EXPECT_EQ(coverage_of_sentence("beta alpha."), (item_coverage{{}, {1, 2}}));
  EXPECT_EQ(coverage_of_sentence("beta omega."), (item_coverage{{}, {2}}));

  coverage_tally tally;
  tally.add(coverage_of_sentence("alpha beta."));
  tally.add(coverage_of_sentence("alpha beta."));
  const coverage_universe universe = universe_of(grammar);
  const coverage_figures figures = figures_of(universe, tally);
  EXPECT_EQ(figures.rules_used, 1);
  EXPECT_EQ(figures.rules, 3);
  EXPECT_EQ(figures.entries_read, 2);
  EXPECT_EQ(figures.entries, 4);
  captured_output out;
  print_untested(out.file(), universe, tally, true, false);
  EXPECT_EQ(out.text(),
            "r.txt:3: rule 2 (zweite) used by no analysis\n"
            "r.txt:4: rule 3 (DDDD = SATZ) used by no analysis\n"
            "l.txt:4: entry GAMMA (CCCC) read by no item\n"
            "l.txt:5: entry DELTA (DDDD) read by no item\n");
  // Numbers the universe does not know count for nothing.
  tally.add({{9}, {9}});
  EXPECT_EQ(figures_of(universe, tally).rules_used, 1);
}
// The rules a counting parse notes are those the packed chart finds, for
// sentences with one analysis, several, none, and none at all read.
TEST_F(SuiteCoverage, TheRulesOfTheCountingParseAreThoseOfThePackedChart) {
  for (const char* text : {"alpha beta.", "gamma beta.", "delta.", "beta alpha.", "omega.",
                           "alpha beta delta.", "gamma beta gamma beta."}) {
    EXPECT_EQ(coverage_of_sentence(text, true), coverage_of_sentence(text)) << text;
  }
}

}  // namespace
