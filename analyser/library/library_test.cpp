#include "analyser/library/mirask.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <thread>

#include "test_support/streams.hpp"

namespace {
const std::string kExamples = MIRASK_EXAMPLES_DIR;

std::vector<std::string> lines_of(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string without_time(const std::string& record) {
  return std::regex_replace(record, std::regex("\"time_us\":[0-9]+"), "\"time_us\":0");
}

// A small grammar given as texts: DER HUND BELLT, and numbers.
mirask::grammar_texts small_texts() {
  mirask::grammar_texts t;
  t.rules = "DETA + NOMN = NPHR;.\nNPHR + VERB = SATZ;.\n";
  t.lexicon = "BELLT=VERB\nDER=DETA\nHUND=NOMN\nNULL=DETA\n";
  t.endings = "";
  return t;
}

TEST(Library, LoadsTheExampleRelativeToItsConfiguration) {
  scratch_directory elsewhere;  // the current folder is not the example's
  const mirask::grammar g = mirask::grammar::load(kExamples + "/mirask.cfg");
  EXPECT_TRUE(g.problems().empty());
  EXPECT_EQ(g.start_category(), "SATZ");
  EXPECT_EQ(g.rule_count(), 34);
  EXPECT_GT(g.entry_count(), 250);
  EXPECT_EQ(g.ending_count(), 7);
  ASSERT_EQ(g.files().size(), 5u);
  EXPECT_EQ(g.files()[2].role, "rules");
  EXPECT_EQ(g.files()[2].name, "regeln.txt");
  EXPECT_EQ(g.files()[2].checksum.substr(0, 8), "fnv1a64:");
  EXPECT_EQ(g.files()[2].checksum.size(), 24u);

  mirask::analyser a(g);
  const mirask::result r = a.parse("Der Hund bellt.\n");
  EXPECT_EQ(r.outcome(), mirask::outcome::analysed);
  EXPECT_EQ(r.text(), "Der Hund bellt.");
  EXPECT_EQ(r.sentence(), "DER HUND BELLT");
  EXPECT_EQ(r.brackets(), "<SATZ(NPHR(DETA NOMN)VPHR(VERB(VSTM VEND)))>");
  ASSERT_TRUE(r.count());
  EXPECT_EQ(r.count()->value(), 1u);
  const std::optional<mirask::tree_node> tree = r.analysis();
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->category, "SATZ");
  ASSERT_EQ(tree->children.size(), 2u);
  EXPECT_EQ(tree->children[0].children[1].word, "HUND");
  const std::vector<mirask::word> words = r.words();
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[2].stem, "BELL");
  EXPECT_EQ(words[2].ending, "T");
  EXPECT_NE(r.json().find("\"outcome\":\"analysed\""), std::string::npos);
  EXPECT_NE(r.svg().find("data-category=\"SATZ\""), std::string::npos);
}

TEST(Library, AResultOutlivesTheParsesAfterIt) {
  const mirask::grammar g = mirask::grammar::load(kExamples + "/mirask.cfg");
  mirask::analyser a(g);
  const mirask::result first = a.parse("Die Kinder spielen im Garten.");
  const std::string record = first.json();
  const std::string brackets = first.brackets();
  for (const std::string& line : lines_of(kExamples + "/saetze.txt")) a.parse(line);
  EXPECT_EQ(first.json(), record);
  EXPECT_EQ(first.brackets(), brackets);
  EXPECT_EQ(first.words().size(), 5u);
}

TEST(Library, ThreadsSharingOneGrammarGiveOneThreadsResults) {
  const mirask::grammar g = mirask::grammar::load(kExamples + "/mirask.cfg");
  const std::vector<std::string> sentences = lines_of(kExamples + "/saetze.txt");
  auto records_of = [&](mirask::analyser& a) {
    mirask::parse_options options;
    options.why = true;
    std::vector<std::string> records;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
      options.number = static_cast<long>(i) + 1;
      records.push_back(without_time(a.parse(sentences[i], options).json()));
    }
    return records;
  };
  mirask::analyser alone(g);
  const std::vector<std::string> expected = records_of(alone);
  constexpr int kThreads = 4;
  std::vector<std::vector<std::string>> found(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      mirask::analyser mine(g);
      for (int round = 0; round < 3; ++round) found[t] = records_of(mine);
    });
  }
  for (std::thread& t : threads) t.join();
  for (const std::vector<std::string>& records : found) {
    ASSERT_EQ(records.size(), expected.size());
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i], expected[i]) << i;
  }
}

TEST(Library, EveryCompleteAnalysisInNodeOrder) {
  const mirask::grammar g = mirask::grammar::load(kExamples + "/mirask.cfg");
  mirask::analyser a(g);
  const mirask::result r = a.parse("Der Mann sieht die Frau mit dem Fernglas.");
  EXPECT_EQ(r.count()->digits, "2");
  ASSERT_EQ(r.complete_analyses(), 2);
  EXPECT_EQ(r.complete_analysis(0).category, "SATZ");
  EXPECT_EQ(r.complete_analysis(1).end, 8);
  EXPECT_THROW(r.complete_analysis(2), mirask::error);
  EXPECT_EQ(r.svg(0), r.svg());
  EXPECT_NE(r.svg(1), r.svg());
  EXPECT_THROW(r.svg(2), mirask::error);
  mirask::parse_options all;
  all.all = true;
  const std::string record = a.parse("Der Mann sieht die Frau mit dem Fernglas.", all).json();
  EXPECT_NE(record.find("\"analyses_left_out\":0"), std::string::npos);
}

TEST(Library, SentencesGetOutcomesOfTheirOwn) {
  const mirask::grammar g = mirask::grammar::from_texts(small_texts());
  mirask::analyser a(g);
  EXPECT_EQ(a.parse("der hund bellt").outcome(), mirask::outcome::analysed);  // no delimiter needed
  EXPECT_EQ(a.parse("Der Hund bellt.").outcome(), mirask::outcome::analysed);
  EXPECT_EQ(a.parse("42 Hund bellt.").outcome(), mirask::outcome::analysed);
  EXPECT_EQ(a.parse("Der Kater bellt.").unknown_word(), "KATER");
  EXPECT_EQ(a.parse(". . .").outcome(), mirask::outcome::no_words);
  EXPECT_EQ(a.parse("").outcome(), mirask::outcome::no_words);

  const mirask::result bad = a.parse("Der \xE2\x82\xAC bellt.");
  EXPECT_EQ(bad.outcome(), mirask::outcome::unreadable);
  EXPECT_EQ(bad.problem(), "column 5: character U+20AC has no 8-bit code: bytes E2 82 AC");
  EXPECT_NE(bad.json().find("\"text\":\"Der \xE2\x82\xAC bellt.\""), std::string::npos);
  EXPECT_EQ(a.parse("Der \xC3").outcome(), mirask::outcome::unreadable);

  mirask::parse_options tight;
  tight.node_limit = 3;
  EXPECT_EQ(a.parse("Der Hund bellt.", tight).outcome(), mirask::outcome::node_limit);

  mirask::grammar_texts no_null = small_texts();
  no_null.lexicon = "BELLT=VERB\nDER=DETA\nHUND=NOMN\n";
  mirask::analyser b(mirask::grammar::from_texts(no_null));
  const mirask::result number = b.parse("42 Hund bellt.");
  EXPECT_EQ(number.outcome(), mirask::outcome::no_number_reading);
  EXPECT_EQ(number.unknown_word(), "42");
  EXPECT_NE(number.json().find("\"outcome\":\"no_number_reading\""), std::string::npos);
  EXPECT_EQ(b.parse("Der Hund bellt.").outcome(), mirask::outcome::analysed);  // the run goes on
}

TEST(Library, AUtf8GrammarUpcasesEveryLetterOfIso88591) {
  mirask::grammar_texts t = small_texts();
  t.lexicon = "BELLT=VERB\nCAF\xC3\xA9=NOMN\nDER=DETA\n";
  mirask::load_options utf8;
  utf8.utf8 = true;
  mirask::analyser a(mirask::grammar::from_texts(t, utf8));
  const mirask::result r = a.parse("Der Caf\xC3\xA9 bellt.");
  EXPECT_EQ(r.outcome(), mirask::outcome::analysed);
  EXPECT_EQ(r.sentence(), "DER CAF\xC3\x89 BELLT");
  // The letters of a grammar read as bytes stay as they are.
  mirask::analyser bytes(mirask::grammar::from_texts(small_texts()));
  EXPECT_EQ(bytes.parse("Der Caf\xC3\xA9 bellt.").unknown_word(), "CAF\xC3\xA9");
}

TEST(Library, TheUtf8ExampleLoadsItsOwnFiles) {
  scratch_directory elsewhere;
  mirask::load_options utf8;
  utf8.utf8 = true;
  const mirask::grammar g = mirask::grammar::load(kExamples + "/utf8/mirask.cfg", utf8);
  ASSERT_EQ(g.files().size(), 5u);
  EXPECT_EQ(g.files()[2].name, "../utf8/regeln.txt");
  EXPECT_EQ(mirask::analyser(g).parse("Das M\xC3\xA4" "dchen l\xC3\xA4uft.").outcome(),
            mirask::outcome::analysed);
}

TEST(Library, SentencesInTheGrammarsOwnBytesAreReadAsTheyAre) {
  mirask::grammar_texts t = small_texts();
  t.rules = "DETA + NOMN = NPHR;.\nDETA + NOMX = NPHX;.\nNPHR + VERB = SATZ;.\nNPHX + VERB = SATZ;.\n";
  t.lexicon = "BELLT=VERB\nDER=DETA\nHUND=NOMN\nH]ND=NOMN\nH\xDCND=NOMN\nH\xDCND=NOMX\n";
  const mirask::grammar g = mirask::grammar::from_texts(t);
  mirask::analyser a(g);
  // The byte 0xDC is a letter of its own; "Ü" in UTF-8 stands for "]".
  const mirask::result bytes = a.parse_bytes("DER H\xDCND BELLT.\r\n");
  EXPECT_EQ(bytes.text(), "DER H\xC3\x9CND BELLT.");
  EXPECT_EQ(bytes.count()->digits, "2");
  EXPECT_EQ(bytes.complete_analyses(), 2);  // the full parse reads the same bytes
  EXPECT_EQ(bytes.complete_analysis(1).children[0].category, "NPHX");
  const mirask::result text = a.parse("DER H\xC3\x9CND BELLT.");
  EXPECT_EQ(text.count()->digits, "1");
  mirask::parse_options first;
  first.number = 1;
  EXPECT_EQ(without_time(a.parse_bytes("Der H]nd bellt.", first).json()),
            without_time(a.parse("Der H\xC3\x9Cnd bellt.", first).json()));
  // No byte is unreadable.
  EXPECT_EQ(a.parse_bytes("Der \xFF bellt.").outcome(), mirask::outcome::unknown_word);
  EXPECT_EQ(a.parse_bytes("Der \xFF bellt.").text(), "Der \xC3\xBF bellt.");
}

// The error a load throws, or none.
std::optional<mirask::error> load_error(const std::function<void()>& load) {
  try {
    load();
  } catch (const mirask::error& e) {
    return e;
  }
  return std::nullopt;
}

TEST(Library, FilesThatCannotBeLoadedThrowWithTheirPlace) {
  scratch_directory dir;
  dir.write("m.cfg", "msg\n32\n46\nrules\nlexicon\nmissing\n");
  dir.write("msg", "1 x\n");
  dir.write("rules", "A+B=C;.\n");
  dir.write("lexicon", "A=AAAA\n");
  std::optional<mirask::error> e = load_error([] { mirask::grammar::load("m.cfg"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->message(), "error endings file (not found)");
  EXPECT_EQ(e->file(), "missing");
  EXPECT_STREQ(e->what(), "missing: error endings file (not found)");

  e = load_error([] { mirask::grammar::load("nothing.cfg"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->file(), "nothing.cfg");

  dir.write("rules", "A+B=C;.\nD = \xC3(E;.\n");
  mirask::load_options utf8;
  utf8.utf8 = true;
  e = load_error([&] { mirask::grammar::load("m.cfg", utf8); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->file(), "rules");
  EXPECT_EQ(e->line(), 2);
  EXPECT_EQ(e->column(), 5);
  EXPECT_EQ(std::string(e->what()), "rules:2:5: " + e->message());
  EXPECT_EQ(e->message().find("rules:"), std::string::npos);
}

TEST(Library, SkippedLinesAndRulesAreListedWithTheirPlace) {
  mirask::grammar_texts t = small_texts();
  t.rules = "DETA + NOMN = NPHR;.\n  NPHR + = SATZ;.\nNPHR + VERB = SATZ;.\n";
  t.lexicon = "BELLT=VERB\nDER\nHUND=NOMN\n";
  const mirask::grammar g = mirask::grammar::from_texts(t);
  ASSERT_EQ(g.problems().size(), 2u);
  EXPECT_EQ(g.problems()[0].to_string(), "rules:2:3: error: rule 2 skipped (malformed)");
  EXPECT_EQ(g.problems()[1].to_string(),
            "lexicon:2:1: error: line skipped (no word, \"=\" or category)");
  EXPECT_EQ(g.rule_count(), 2);
  EXPECT_EQ(g.entry_count(), 2);
}
}  // namespace

// Sentences of "A" with "SATZ + SATZ = SATZ": the Catalan numbers of
// bracketings, far too many to make in a millisecond from 40 words on.
mirask::grammar catalan_grammar() {
  mirask::grammar_texts t;
  t.rules = "NOMN = SATZ;.\nSATZ + SATZ = SATZ;.\n";
  t.lexicon = "A=NOMN\n";
  return mirask::grammar::from_texts(t);
}

std::string words_of_a(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "a ";
  return s + ".";
}

TEST(Library, TheTimeLimitEndsTheCountOrTheParseWithItsOwnOutcome) {
  mirask::analyser a(catalan_grammar());
  mirask::parse_options quick;
  quick.timeout = std::chrono::milliseconds(1);
  quick.all = true;
  const mirask::result parsed = a.parse(words_of_a(60), quick);
  EXPECT_EQ(parsed.outcome(), mirask::outcome::timeout);
  EXPECT_FALSE(parsed.count().has_value());
  // The same sentence without a limit is counted exactly; a short one
  // finishes within the limit.
  mirask::parse_options counted;
  counted.timeout = std::chrono::seconds(30);
  EXPECT_EQ(a.parse(words_of_a(60), counted).count()->digits, "405944995127576985730643443367112");
  EXPECT_EQ(a.parse(words_of_a(3), quick).outcome(), mirask::outcome::analysed);
}

namespace {
// The sentence of `n` words "A A ... A".
std::string words_a(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += i == 0 ? "A" : " A";
  return s;
}
}  // namespace

// A count leaves a sentence as a parse that stops at its first analysis
// leaves it (the same nodes, tree and outcome), whether the count comes from
// making every node or, for a larger forest or under a node limit, from the
// packed chart.
TEST(Library, ACountLeavesTheSentenceAsTheParseThatStopsAtTheFirstAnalysis) {
  mirask::grammar_texts t;
  t.rules = "XXXX + XXXX = XXXX;.\nYYYY = XXXX;.\n";
  t.lexicon = "A=XXXX\nA=YYYY\n";
  t.endings = "";
  const mirask::grammar g = mirask::grammar::from_texts(t);
  mirask::analyser a(g);
  // C(n-1) times 2^n: every word makes an X in two ways.
  const char* const counts[] = {"2", "4", "16", "80", "448", "2688", "16896", "109824"};
  for (int n = 1; n <= 8; ++n) {
    for (long limit : {10'000'000L, 3L * n, 60L}) {
      mirask::parse_options counted;
      counted.start = "XXXX";
      counted.node_limit = limit;
      mirask::parse_options plain = counted;
      plain.count = false;
      const mirask::result with = a.parse(words_a(n), counted);
      const mirask::result without = a.parse(words_a(n), plain);
      const std::string where = std::to_string(n) + " words, limit " + std::to_string(limit);
      ASSERT_EQ(with.outcome(), without.outcome()) << where;
      EXPECT_EQ(with.node_count(), without.node_count()) << where;
      EXPECT_EQ(with.brackets(true), without.brackets(true)) << where;
      ASSERT_TRUE(with.count().has_value()) << where;
      EXPECT_EQ(with.count()->digits, counts[n - 1]) << where;
    }
  }
}
