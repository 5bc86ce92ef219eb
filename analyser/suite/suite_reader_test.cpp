#include "analyser/suite/suite_reader.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/streams.hpp"

namespace {
// The sentence delimiters of the bundled example: ".", "!" and "?".
constexpr unsigned char kEnds[] = ".!?";
constexpr auto kItem = suite_line_kind::item;
constexpr auto kSkipped = suite_line_kind::skipped;
constexpr auto kMalformed = suite_line_kind::malformed;

struct row {
  const char* line;
  suite_line_kind kind;
  const char* text;  // the item's sentence, or the problem of a malformed line
  bool grammatical = true;
  long count = -1;  // -1: none expected
  const char* analysis = nullptr;
};

void expect_line(const row& r, const suite_line& got) {
  ASSERT_EQ(got.kind, r.kind) << r.line;
  if (r.kind == kSkipped) return;
  if (r.kind == kMalformed) {
    EXPECT_EQ(got.problem, r.text) << r.line;
    return;
  }
  EXPECT_EQ(got.text, r.text) << r.line;
  EXPECT_EQ(got.expected.grammatical, r.grammatical) << r.line;
  EXPECT_EQ(got.expected.count ? static_cast<long>(*got.expected.count) : -1, r.count) << r.line;
  EXPECT_EQ(got.expected.analysis.value_or("-"), r.analysis ? r.analysis : "-") << r.line;
}

TEST(SuiteLine, ItemsExpectationsAndFaults) {
  const std::vector<row> rows = {
      {"Der Hund bellt.", kItem, "Der Hund bellt."},
      {"*Der Hund bellen.", kItem, "Der Hund bellen.", false},
      {"*Der Hund bellen.\t0", kItem, "Der Hund bellen.", false, 0},
      {"Ich sehe sie.\t2", kItem, "Ich sehe sie.", true, 2},
      {"Ich sehe sie.\t <A(B C)> \t 2 ", kItem, "Ich sehe sie.", true, 2, "<A(B C)>"},
      {"Ich sehe sie.\t\t\t2\t", kItem, "Ich sehe sie.", true, 2},  // empty fields are ignored
      {"a\tb", kMalformed, "expectation not understood: \"b\""},
      {"a\t2\t3", kMalformed, "two expected counts"},
      {"a\t<A>\t<B>", kMalformed, "two expected analyses"},
      {"a\t<A", kMalformed, "expected analysis without its closing \">\""},
      {"a\t-1", kMalformed, "expectation not understood: \"-1\""},
      {"a\t1234567890123456789", kMalformed, "expected count too large: 1234567890123456789"},
      {"a\t123456789012345678", kItem, "a", true, 123456789012345678},
      {"a\t0", kMalformed,
       "an item without \"*\" expects an analysis: mark it with \"*\" to expect none"},
      {"*a\t1", kMalformed, "an item marked \"*\" cannot expect an analysis"},
      {"*a\t<A>", kMalformed, "an item marked \"*\" cannot expect an analysis"},
      {"*", kMalformed, "no sentence before the expectation"},
      {"\t2", kMalformed, "no sentence before the expectation"},
      {" *a", kItem, " *a"},  // only a first "*" marks the item
      {"$ a comment\t2", kSkipped, ""},
      {"", kSkipped, ""},
      {" \t \r", kSkipped, ""},
      {"a$b", kItem, "a$b"},
  };
  for (const row& r : rows) expect_line(r, parse_suite_line(r.line, false, kEnds));
}

TEST(SuiteLine, WhatFollowsTheSentenceIsItsExpectation) {
  const std::vector<row> rows = {
      {"Der Hund lacht.    2", kItem, "Der Hund lacht.", true, 2},
      {"Ich sehe sie. <A(B C)> 2", kItem, "Ich sehe sie.", true, 2, "<A(B C)>"},
      {"Ich sehe sie.2 <A(B C)>", kItem, "Ich sehe sie.", true, 2, "<A(B C)>"},
      {"Was?!  1", kItem, "Was?!", true, 1},            // the delimiters right behind it
      {"Er kommt... 1", kItem, "Er kommt...", true, 1},
      {"Ich sehe sie.  \t2", kItem, "Ich sehe sie.  ", true, 2},  // up to the tab, as it was
      {"Der Hund lacht.  ", kItem, "Der Hund lacht.  "},
      {"Der Hund lacht 2", kItem, "Der Hund lacht 2"},  // no delimiter: all of it is sentence
      {"*Der Hund bellen. 0", kItem, "Der Hund bellen.", false, 0},
      {"Der Hund lacht. Die Katze schl{ft.", kMalformed,
       "expectation not understood: \"Die Katze schl{ft.\""},
      {"Der Hund lacht. 2 und\t<A>", kMalformed, "expectation not understood: \"und\""},
      {"Der Hund lacht. 2 und so  \t<A>", kMalformed, "expectation not understood: \"und so\""},
      {"Der Hund lacht. 2x", kMalformed, "expectation not understood: \"2x\""},
      {"Der Hund lacht. \"", kMalformed, "expectation not understood: \"\"\""},
      {"a. 2 3", kMalformed, "two expected counts"},
      {"a. <A> <B>", kMalformed, "two expected analyses"},
      {"a. <A(B C)>x", kMalformed, "expected analysis without its closing \">\""},
      {"*a. 1", kMalformed, "an item marked \"*\" cannot expect an analysis"},
      {". 2", kItem, ".", true, 2},
  };
  for (const row& r : rows) expect_line(r, parse_suite_line(r.line, false, kEnds));
  // The delimiters are the grammar's.
  constexpr unsigned char semicolon[] = ";";
  expect_line({"Der Hund. lacht; 2", kItem, "Der Hund. lacht;", true, 2},
              parse_suite_line("Der Hund. lacht; 2", false, semicolon));
}

TEST(SuiteLine, SentenceOfTheReadersLengthAtMost) {
  const std::string longest(kItemSentenceLimit, 'a');
  EXPECT_EQ(parse_suite_line(longest + "\t1", false, kEnds).kind, kItem);
  EXPECT_EQ(parse_suite_line("*" + longest, false, kEnds).kind, kItem);
  const suite_line too_long = parse_suite_line(longest + "a", false, kEnds);
  EXPECT_EQ(too_long.kind, kMalformed);
  EXPECT_EQ(too_long.problem,
            "sentence longer than 399 characters: it would be read as several sentences");
}

TEST(SuiteLine, Utf8IsDecodedToTheConvention) {
  const suite_line line = parse_suite_line(
      "*M\xC3\xA4"
      "dchen\t0",
      true, kEnds);
  ASSERT_EQ(line.kind, kItem);
  EXPECT_EQ(line.text, "M{dchen");
  EXPECT_FALSE(line.expected.grammatical);
  // The expectation is decoded too.
  EXPECT_EQ(parse_suite_line("M\xC3\xA4\t<N\xC3\x84>", true, kEnds).expected.analysis, "<N[>");
  // 399 letters of two bytes each are still one sentence.
  std::string umlauts;
  for (std::size_t i = 0; i < kItemSentenceLimit; ++i) umlauts += "\xC3\xBC";
  EXPECT_EQ(parse_suite_line(umlauts, true, kEnds).kind, kItem);
  const suite_line bad = parse_suite_line("ab\xE2\x82", true, kEnds);
  EXPECT_EQ(bad.kind, kMalformed);
  EXPECT_EQ(bad.problem.rfind("column 3: ", 0), 0u) << bad.problem;
  EXPECT_NE(bad.problem.find("bytes E2 82"), std::string::npos) << bad.problem;
  // Without -utf8 the same bytes are letters of their own.
  EXPECT_EQ(parse_suite_line("ab\xE2\x82", false, kEnds).kind, kItem);
}

TEST(SuiteReader, NumbersEveryLineAndSkipsCommentsAndEmptyLines) {
  memory_input file("$ comment\r\nerstens\r\n\n\n*zweitens\t1\ndrittens");
  suite_reader reader(file.file(), false, kEnds);
  suite_line line;
  long number = 0;
  std::vector<std::pair<long, suite_line_kind>> got;
  while (reader.next(line, number)) got.emplace_back(number, line.kind);
  const std::vector<std::pair<long, suite_line_kind>> expected = {
      {2, kItem}, {5, kMalformed}, {6, kItem}};
  EXPECT_EQ(got, expected);
  EXPECT_EQ(reader.lines_read(), 6);
  EXPECT_EQ(line.text, "drittens");  // the last line needs no line end
  EXPECT_FALSE(reader.failed());
}
}  // namespace
