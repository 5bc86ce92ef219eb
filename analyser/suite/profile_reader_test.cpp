#include "analyser/suite/profile_reader.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "test_support/streams.hpp"

namespace {
item_result sample_item(long line, const std::string& text, item_verdict verdict) {
  item_result item;
  item.line = line;
  item.text = text;
  item.verdict = verdict;
  item.expected.grammatical = verdict != item_verdict::fail;
  item.found.outcome = "analysed";
  item.found.count = {false, big_count(2)};
  item.found.analysis = "<SATZ(NPHR(DETA NOMN)VPHR(VERB))>";
  item.found.nodes = 17;
  item.found.time_us = 42;
  return item;
}

std::string header(const std::string& suite, const std::string& checksum = "fnv1a64:00",
                   const std::optional<coverage_universe>& coverage = std::nullopt) {
  return header_record({"Mirask 09-2002",
                        "2024-05-01T12:00:00Z",
                        "mirask.cfg",
                        "SATZ",
                        false,
                        suite,
                        {{"rules", "regeln.txt", checksum}},
                        coverage}) +
         "\n";
}

std::string items_record(const item_result& item) {
  return item_record(item, "{\"version\":1,\"number\":1}") + "\n";
}

struct ProfileReader : ::testing::Test {
  captured_output messages;
  std::vector<item_result> items;
  profile_reader reader{messages.file(), [this](const item_result& i) { items.push_back(i); }};

  void read(const std::string& text, const std::string& name = "p.profile") {
    memory_input file(text);
    reader.read(file.file(), name);
  }
};

TEST_F(ProfileReader, ReadsBackWhatTheWriterWrote) {
  item_result item = sample_item(3, "M{dchen \"\\\" ~^[", item_verdict::pass);
  item.expected.count = 2;
  item.expected.analysis = "<SATZ(NPHR(DETA NOMN)VPHR(VERB))>";
  item_result unknown = sample_item(5, "Der Dackel bellt.", item_verdict::pass);
  unknown.expected.grammatical = false;
  unknown.found = {"unknown_word", "DACKEL", {}, std::nullopt, 3, 0, std::nullopt};
  item_result bad{"", 7, "", {}, item_verdict::malformed, {}, "expectation not understood"};
  item_result many = sample_item(8, "viele", item_verdict::pass);
  ASSERT_TRUE(count_of_text("9007199254740993", many.found.count));  // 2^53 + 1: a text
  item_result cycle = sample_item(9, "kreis", item_verdict::pass);
  cycle.found.count.unbounded = true;
  read(header("saetze.suite") + items_record(item) + items_record(unknown) + item_record(bad, "") +
       "\n" + items_record(many) + items_record(cycle) + end_record(9, 5) + "\n");
  reader.finish();
  EXPECT_EQ(messages.text(), "");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(count_text(items[3].found.count), "9007199254740993");
  EXPECT_TRUE(items[4].found.count.unbounded);
  const item_result& got = items[0];
  EXPECT_EQ(got.suite, "saetze.suite");
  EXPECT_EQ(got.line, 3);
  EXPECT_EQ(got.text, item.text);
  EXPECT_EQ(got.expected.count, 2u);
  EXPECT_EQ(got.expected.analysis, item.expected.analysis);
  EXPECT_EQ(found_text(got.found), found_text(item.found));
  EXPECT_EQ(got.found.nodes, 17);
  EXPECT_EQ(got.found.time_us, 42);
  EXPECT_EQ(found_text(items[1].found), "unknown_word DACKEL, 0 analyses");
  EXPECT_FALSE(items[1].expected.grammatical);
  EXPECT_EQ(items[2].verdict, item_verdict::malformed);
  EXPECT_EQ(items[2].problem, "expectation not understood");
  EXPECT_EQ(reader.parts(), 1);
  EXPECT_FALSE(reader.mixed_files());
}

TEST_F(ProfileReader, PartsOfStandardInputCountTheirLinesOn) {
  // Three parts of one suite, as GNU parallel --pipe -N 4 cuts it, then a
  // profile of a named suite, whose lines count from 1 again.
  read(header("-") + items_record(sample_item(2, "a", item_verdict::pass)) + end_record(4, 1) +
       "\n" + header("-") + items_record(sample_item(1, "b", item_verdict::pass)) +
       items_record(sample_item(4, "c", item_verdict::pass)) + end_record(4, 2) + "\n");
  read(header("-") + items_record(sample_item(3, "d", item_verdict::pass)) + end_record(3, 1) +
           "\n" + header("x.suite", "fnv1a64:11") +
           items_record(sample_item(3, "e", item_verdict::pass)) + end_record(3, 1) + "\n",
       "q.profile");
  reader.finish();
  EXPECT_EQ(messages.text(), "");
  std::vector<long> lines;
  for (const item_result& i : items) lines.push_back(i.line);
  EXPECT_EQ(lines, (std::vector<long>{2, 5, 8, 11, 3}));
  EXPECT_EQ(reader.parts(), 4);
  EXPECT_TRUE(reader.mixed_files());
}

TEST_F(ProfileReader, CoverageOfPartsThatAllRecordTheSameGrammar) {
  const coverage_universe universe{"r.txt",
                                   {{1, 3, "", "A + B = C"}, {2, 5, "M{rz", "C = D"}},
                                   "l.txt",
                                   {{1, "ABER", "KONJ"}, {4, "GR~N", "X"}}};
  item_result used = sample_item(1, "a", item_verdict::pass);
  used.found.coverage = item_coverage{{2}, {1, 4}};
  const std::string part = header("-", "fnv1a64:00", universe) + items_record(used) +
                           end_record(1, 1) + "\n";
  read(part + part);
  reader.finish();
  EXPECT_EQ(messages.text(), "");
  ASSERT_NE(reader.coverage(), nullptr);
  EXPECT_EQ(*reader.coverage(), universe);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].found.coverage, used.found.coverage);

  // A part without coverage (an older profile), or with another grammar's.
  read(header("-") + items_record(sample_item(1, "b", item_verdict::pass)) + end_record(1, 1) +
       "\n");
  reader.finish();
  EXPECT_EQ(reader.coverage(), nullptr);
  EXPECT_TRUE(reader.coverage_left_out());
  EXPECT_FALSE(items.back().found.coverage);
  profile_reader other{messages.file(), [](const item_result&) {}};
  coverage_universe changed = universe;
  changed.rules.pop_back();
  memory_input file(part + header("-", "fnv1a64:00", changed) + end_record(0, 0) + "\n");
  other.read(file.file(), "o.profile");
  EXPECT_TRUE(other.coverage_left_out());
  // Old profiles alone have none, and say nothing of it.
  profile_reader old{messages.file(), [](const item_result&) {}};
  memory_input old_file(header("-") + end_record(0, 0) + "\n");
  old.read(old_file.file(), "old.profile");
  EXPECT_EQ(old.coverage(), nullptr);
  EXPECT_FALSE(old.coverage_left_out());
}

TEST_F(ProfileReader, FaultyCoverageIsNamed) {
  const std::string start = "{\"profile\":1,\"suite\":\"s\",\"files\":[],";
  read(start + "\"coverage\":{\"rules_file\":\"r\",\"rules\":{}}}\n" + start +
       "\"coverage\":{\"rules_file\":\"r\",\"rules\":[{\"number\":-1}]}}\n" + header("s") +
       "{\"item\":{\"line\":1,\"text\":\"a\",\"grammatical\":true},\"verdict\":\"pass\","
       "\"found\":{\"outcome\":\"analysed\",\"count\":1,\"analysis\":null,\"nodes\":1,"
       "\"time_us\":1,\"rules\":[1,\"2\"],\"entries\":[]}}\n" +
       end_record(1, 0) + "\n");
  reader.finish();
  EXPECT_EQ(messages.text(),
            "p.profile:1: field \"coverage.rules\" is not a list\n"
            "p.profile:2: field \"coverage.rules.number\" is not a whole number\n"
            "p.profile:4: field \"found.rules\" is not a list of whole numbers\n");
}

TEST_F(ProfileReader, FaultyLinesAreNamedAndLeftOut) {
  const std::string good = items_record(sample_item(1, "a", item_verdict::pass));
  read(items_record(sample_item(1, "z", item_verdict::pass)) +  // before any header
       header("s") + "{\"profile\":2,\"suite\":\"s\",\"files\":[]}\n" + "[1,2\n" + "\n" +
       "{\"x\":1}\n" + "{\"item\":{\"line\":0},\"verdict\":\"pass\"}\n" +
       "{\"item\":{\"line\":1},\"verdict\":\"maybe\"}\n" +
       "{\"item\":{\"line\":1,\"text\":\"a\",\"grammatical\":1},\"verdict\":\"pass\"}\n" +
       "{\"item\":{\"line\":1,\"text\":\"\\u20ac\",\"grammatical\":true},\"verdict\":\"pass\"}\n" +
       "{\"item\":{\"line\":1,\"text\":\"a\",\"grammatical\":true},\"verdict\":\"pass\"}\n" +
       "{\"item\":{\"line\":1,\"text\":\"a\",\"grammatical\":true},\"verdict\":\"pass\","
       "\"found\":{\"outcome\":\"great\"}}\n" +
       good + end_record(1, 2) + "\n" + end_record(1, 0) + "\n" + header("s") + good);
  reader.finish();
  EXPECT_EQ(messages.text(),
            "p.profile:1: item record outside a profile part\n"
            "p.profile:3: profile version 2 is not known (this Mirask reads 1)\n"
            "p.profile:4:5: syntax error while parsing array - unexpected end of input; "
            "expected ']'\n"
            "p.profile:6: not a record of a profile\n"
            "p.profile:7: field \"item.line\" is not a line number\n"
            "p.profile:8: field \"verdict\" is not pass, fail or malformed\n"
            "p.profile:9: field \"item.grammatical\" is not true or false\n"
            "p.profile:10: field \"item.text\" holds a character the analyser's letters cannot "
            "hold\n"
            "p.profile:11: \"found\" is not an object\n"
            "p.profile:12: field \"found.outcome\" is not an outcome\n"
            "p.profile:14: the part holds 1 items, its end record says 2\n"
            "p.profile:15: end record without its profile record\n"
            "p.profile:16: profile part without its end record (was its run cut short?)\n");
  EXPECT_EQ(reader.problems(), 13);
  EXPECT_EQ(items.size(), 2u);
}
// An item record of line 1 whose "found" object holds `found`.
std::string item_found_as(const std::string& found) {
  return "{\"item\":{\"line\":1,\"text\":\"a\",\"grammatical\":true},\"verdict\":\"pass\","
         "\"found\":{\"outcome\":\"analysed\",\"analysis\":null,\"nodes\":1,\"time_us\":1" +
         found + "}}\n";
}

TEST_F(ProfileReader, EveryFaultyFieldIsNamed) {
  struct row {
    std::string line;
    const char* message;  // "" for a record taken
  };
  const std::vector<row> rows = {
      {"{\"item\":{\"line\":1,\"grammatical\":true},\"verdict\":\"pass\"}\n",
       "field \"item.text\" missing"},
      {"{\"item\":{\"text\":\"a\"},\"verdict\":\"pass\"}\n", "field \"item.line\" missing"},
      {item_found_as(""), "field \"found.count\" is not a count of analyses"},
      {item_found_as(",\"count\":true"), "field \"found.count\" is not a count of analyses"},
      {item_found_as(",\"count\":\"12a\""), "field \"found.count\" is not a count of analyses"},
      {item_found_as(",\"count\":\"12\",\"rules\":true"), "field \"found.rules\" is not a list"},
      {item_found_as(",\"count\":1,\"rules\":[],\"entries\":[-1]"),
       "field \"found.entries\" is not a list of whole numbers"},
      {item_found_as(",\"count\":1,\"entries\":[3]"), "field \"found.rules\" missing"},
      {item_found_as(",\"count\":1,\"rules\":[],\"entries\":[3]"), ""},
      {" \t\r\n", ""},
      {"[1]\n", "not a record of a profile"},
      {"5\n", "not a record of a profile"},
      {"{\"end\":{\"lines\":\"9\",\"items\":1}}\n", "field \"end.lines\" is not a whole number"},
      {"{\"profile\":\"1\",\"suite\":\"s\",\"files\":[]}\n",
       "field \"record.profile\" is not a whole number"},
      {"{\"profile\":1,\"files\":[]}\n", "field \"record.suite\" missing"},
      {"{\"profile\":1,\"suite\":\"s\"}\n", "field \"files\" is not a list"},
      {"{\"profile\":1,\"suite\":\"s\",\"files\":{}}\n", "field \"files\" is not a list"},
  };
  std::string profile = header("s");
  std::string expected;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    profile += rows[i].line;
    if (*rows[i].message != '\0') {
      expected += "p.profile:" + std::to_string(i + 2) + ": " + rows[i].message + "\n";
    }
  }
  read(profile + end_record(1, 1) + "\n");
  reader.finish();
  EXPECT_EQ(messages.text(), expected);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].found.coverage, (item_coverage{{}, {3}}));
}

TEST_F(ProfileReader, ChecksumsMayBeNull) {
  const std::string files = "{\"profile\":1,\"suite\":\"s\",\"files\":[{\"role\":\"rules\","
                            "\"name\":\"r\",\"checksum\":";
  read(files + "null}]}\n" + end_record(0, 0) + "\n" + files + "\"fnv1a64:00\"}]}\n" +
       end_record(0, 0) + "\n");
  reader.finish();
  EXPECT_EQ(messages.text(), "");
  EXPECT_EQ(reader.parts(), 2);
  EXPECT_TRUE(reader.mixed_files());
}

TEST_F(ProfileReader, LinesOfAPartAgainstItsEndRecord) {
  const auto at = [](long line) {
    return items_record(sample_item(line, "a", item_verdict::pass));
  };
  // Items out of order; an end record with fewer lines than its items.
  read(header("s") + at(5) + at(3) + end_record(9, 2) + "\n" + header("s") + at(5) +
       end_record(3, 1) + "\n");
  reader.finish();
  EXPECT_EQ(messages.text(), "p.profile:7: the part has items beyond its 3 lines\n");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].line, 3);
}

TEST_F(ProfileReader, LineNumbersOfStandardInputSaturate) {
  const std::string one = items_record(sample_item(1, "a", item_verdict::pass));
  read(header("-") + end_record(LONG_MAX, 0) + "\n" + header("-") + one + end_record(1, 1) +
       "\n" + header("-") + one + end_record(1, 1) + "\n");
  reader.finish();
  EXPECT_EQ(messages.text(),
            "p.profile:4: line number too large\n"
            "p.profile:5: the part holds 0 items, its end record says 1\n"
            "p.profile:7: line number too large\n"
            "p.profile:8: the part holds 0 items, its end record says 1\n");
  EXPECT_TRUE(items.empty());
}

TEST_F(ProfileReader, ReadsPastABatchOfLinesAndNamesAReadError) {
  read(std::string(1030, '\n') + "x\n");
  std::FILE* folder = std::fopen(".", "r");
  ASSERT_NE(folder, nullptr);
  reader.read(folder, "folder");
  std::fclose(folder);
  EXPECT_EQ(messages.text(),
            "p.profile:1031:1: syntax error while parsing value - invalid literal\n"
            "folder:0: read error\n");
  EXPECT_EQ(reader.problems(), 2);
}
}  // namespace
