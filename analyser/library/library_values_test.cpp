// The library's values seen from outside: errors, counts, outcome names,
// and what a result shows of a sentence with and without analysis.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analyser/library/mirask.hpp"
#include "test_support/streams.hpp"

namespace {
const std::string kExamples = MIRASK_EXAMPLES_DIR;

// DER HUND BELLT with value sets; HUNDE splits into HUND + E.
mirask::grammar valued_grammar() {
  mirask::grammar_texts t;
  t.rules = "DETA + NOMN = NPHR;:np.\nNOMN + NEND = NOMN;.\nNPHR + VERB = SATZ;.\n";
  t.lexicon = "BELLT=VERB\nDER=DETA (1)(2):der\nE=NEND ()\nHUND=NOMN (1)(2)\n";
  t.endings = "E=ENDG\n";
  return mirask::grammar::from_texts(t);
}

TEST(LibraryValues, AnErrorNamesAsMuchOfItsPlaceAsIsKnown) {
  struct row {
    mirask::error e;
    const char* what;
  } rows[] = {
      {mirask::error("kaputt"), "kaputt"},
      {mirask::error("kaputt", "f.txt"), "f.txt: kaputt"},
      {mirask::error("kaputt", "f.txt", 3), "f.txt:3: kaputt"},
      {mirask::error("kaputt", "f.txt", 3, 4), "f.txt:3:4: kaputt"},
      {mirask::error("kaputt", "f.txt", 0, 4), "f.txt: kaputt"},  // a column needs its line
  };
  for (const row& r : rows) {
    EXPECT_STREQ(r.e.what(), r.what);
    EXPECT_EQ(r.e.message(), "kaputt");
  }
}

TEST(LibraryValues, ACountHasAValueOnlyWhenItsDigitsFitIn64Bits) {
  const std::pair<mirask::analysis_count, std::optional<std::uint64_t>> rows[] = {
      {{false, "0"}, 0},
      {{false, "42"}, 42},
      {{false, "18446744073709551615"}, UINT64_MAX},
      {{false, "18446744073709551616"}, std::nullopt},
      {{false, "99999999999999999999"}, std::nullopt},
      {{false, "184467440737095516150"}, std::nullopt},
      {{true, ""}, std::nullopt},
      {{true, "5"}, std::nullopt},
      {{false, ""}, std::nullopt},
      {{false, "-1"}, std::nullopt},
      {{false, " 5"}, std::nullopt},
      {{false, "12x"}, std::nullopt},
  };
  for (const auto& [count, value] : rows) EXPECT_EQ(count.value(), value) << count.digits;
}

TEST(LibraryValues, EveryOutcomeHasTheNameOfTheRecords) {
  const std::vector<std::string> expected = {"analysed",          "no_analysis", "unknown_word",
                                             "no_number_reading", "node_limit",  "timeout",
                                             "no_words",          "unreadable"};
  std::vector<std::string> names;
  for (int o = 0; o <= static_cast<int>(mirask::outcome::unreadable); ++o) {
    names.emplace_back(mirask::outcome_name(static_cast<mirask::outcome>(o)));
  }
  EXPECT_EQ(names, expected);
  EXPECT_EQ(mirask::outcome_name(static_cast<mirask::outcome>(99)), "");
}

TEST(LibraryValues, AnAnalysedSentenceShowsItsReadingsNodesAndTree) {
  mirask::analyser a(valued_grammar());
  const mirask::result r = a.parse("Der Hunde bellt.");
  ASSERT_EQ(r.outcome(), mirask::outcome::analysed);
  const std::vector<mirask::reading> readings = r.readings();
  ASSERT_EQ(readings.size(), 4u);
  EXPECT_EQ(readings[0].category, "DETA");
  EXPECT_EQ(readings[0].label, "der");
  EXPECT_EQ(readings[0].values, (mirask::value_sets{{{1}, {2}}}));
  EXPECT_EQ(readings[2].position, 3);  // the ending, behind its stem
  EXPECT_EQ(readings[2].values, (mirask::value_sets{{{1, 2, 3, 4, 5, 6, 7, 8}}}));
  EXPECT_EQ(readings[3].values, std::nullopt);

  const std::vector<mirask::node_row> nodes = r.nodes();
  ASSERT_EQ(static_cast<long>(nodes.size()), r.node_count());
  const mirask::node_row& np = nodes.at(4);
  EXPECT_EQ(np.category, "NPHR");
  EXPECT_EQ(np.rule, 1);
  EXPECT_EQ(np.label, "np");
  EXPECT_EQ(std::make_pair(np.left, np.right), std::make_pair(1L, 2L));
  EXPECT_EQ(std::make_pair(nodes[0].left, nodes[0].right), std::make_pair(0L, 0L));
  EXPECT_GE(r.time_us(), 0);
  EXPECT_EQ(r.analysis()->children[0].children[0].word, "DER");
  EXPECT_EQ(r.analysis()->children[0].children[1].children[1].word, "E");
  EXPECT_EQ(r.analysis()->children[0].label, "np");
  EXPECT_EQ(r.brackets(true).find("<SATZ:"), 0u);
  EXPECT_EQ(r.unknown_word(), "");
  EXPECT_EQ(r.problem(), "");
  EXPECT_EQ(r.diagnosis_json(), "{}");
  EXPECT_THROW(r.complete_analysis(-1), mirask::error);
}

TEST(LibraryValues, ASentenceWithoutAnalysisShowsNothingToDraw) {
  mirask::analyser a(valued_grammar());
  mirask::parse_options why;
  why.why = true;
  const mirask::result r = a.parse("Hund der bellt.", why);
  EXPECT_EQ(r.outcome(), mirask::outcome::no_analysis);
  EXPECT_FALSE(r.analysis());
  EXPECT_EQ(r.brackets(), "");
  EXPECT_EQ(r.svg(), "");
  EXPECT_EQ(r.complete_analyses(), 0);
  EXPECT_NE(r.diagnosis_json().find("\"fragments\""), std::string::npos);
  EXPECT_NE(a.parse("Der Katze bellt.", why).diagnosis_json().find("\"split_attempts\""),
            std::string::npos);
  // Unreadable or empty: no sentence was made of it.
  EXPECT_EQ(a.parse("Der \xC3").sentence(), "");
  EXPECT_EQ(a.parse("").sentence(), "");
  EXPECT_TRUE(a.parse("").words().empty());
}

TEST(LibraryValues, AParseMayAskForAStartCategoryOfItsOwn) {
  mirask::analyser a(valued_grammar());
  EXPECT_EQ(a.parse("Der Hund.").outcome(), mirask::outcome::no_analysis);
  mirask::parse_options np;
  np.start = "NPHR";
  EXPECT_EQ(a.parse("Der Hund.", np).brackets(), "<NPHR(DETA NOMN)>");
  // The node limit may stop a sentence before its words have their nodes.
  mirask::parse_options tight;
  tight.node_limit = 2;
  EXPECT_EQ(a.parse("Der Hund bellt.", tight).outcome(), mirask::outcome::node_limit);
}

TEST(LibraryValues, AnAnalyserMovesWithItsGrammarAndCount) {
  mirask::analyser a(valued_grammar());
  a.parse("Der Hund bellt.");
  mirask::analyser b(std::move(a));
  EXPECT_EQ(b.grammar().rule_count(), 3);
  EXPECT_NE(b.parse("Der Hund bellt.").json().find("\"number\":2"), std::string::npos);
  mirask::analyser c(valued_grammar());
  c = std::move(b);
  EXPECT_NE(c.parse("Der Hund bellt.").json().find("\"number\":3"), std::string::npos);
}

TEST(LibraryValues, ConfigurationNamesRelativeToTheCurrentFolderOrAbsolute) {
  scratch_directory elsewhere;
  mirask::load_options here;
  here.names = mirask::names_relative_to::current_folder;
  try {
    mirask::grammar::load(kExamples + "/mirask.cfg", here);
    FAIL() << "the example's files are not in the current folder";
  } catch (const mirask::error& e) {
    EXPECT_EQ(e.file(), "meldungen.txt");
  }
  // Names that begin with "/" stand for themselves, whichever way.
  std::string config;
  for (const char* line : {"/meldungen.txt\n", "32,44,59\n", "46,33,63\n", "/regeln.txt\n",
                           "/lexikon.txt\n", "/endungen.txt\n"}) {
    config += line[0] == '/' ? kExamples + line : line;
  }
  elsewhere.write("abs.cfg", config);
  const mirask::grammar example = mirask::grammar::load(kExamples + "/mirask.cfg");
  for (const mirask::load_options& options : {mirask::load_options{}, here}) {
    const mirask::grammar g = mirask::grammar::load("abs.cfg", options);
    ASSERT_EQ(g.files().size(), 5u);
    EXPECT_EQ(g.files()[2].name, kExamples + "/regeln.txt");
    EXPECT_EQ(g.files()[2].checksum, example.files()[2].checksum);
    EXPECT_EQ(g.rule_count(), example.rule_count());
  }
}
}  // namespace
