#include "analyser/suite/profile_writer.hpp"

#include <gtest/gtest.h>

#include "analyser/suite/json_reader.hpp"
#include "test_support/streams.hpp"

namespace {
TEST(ProfileWriter, DateIsUtcIso8601) {
  const std::string date = utc_date_now();
  ASSERT_EQ(date.size(), 20u) << date;
  EXPECT_EQ(date[4], '-');
  EXPECT_EQ(date[10], 'T');
  EXPECT_EQ(date[19], 'Z');
}

TEST(ProfileWriter, RecordsAreJsonWhateverTheBytesOfTheirTexts) {
  profile_header header{
      "Mirask 09-2002",         "2024-05-01T12:00:00Z", "a\"b\\c\x01\xE4.cfg", "SATZ", false, "-",
      {{"rules", "r{.txt", ""}},
      coverage_universe{"r{.txt", {{7, 12, "\"}", "A + B = C"}}, "l.txt", {{3, "\x01\xFF", "X"}}}};
  item_result item;
  item.line = 3;
  item.text = "M{dchen \"x\" \x01\xFF";
  item.expected.count = 2;
  item.verdict = item_verdict::fail;
  item.found.outcome = "no_analysis";
  item.found.coverage = item_coverage{{1, 7}, {3}};
  const std::string records[] = {
      header_record(header), item_record(item, "{}"),
      item_record({"s", 7, "", {}, item_verdict::malformed, {}, "why"}, "ignored"),
      end_record(45, 44)};
  for (const std::string& record : records) {
    json_value value;
    json_error error;
    EXPECT_TRUE(parse_json(record, value, error)) << record << ": " << error.reason;
    EXPECT_EQ(record.find('\n'), std::string::npos);
  }
  // A file name keeps its letters; a sentence text is read in the convention.
  EXPECT_NE(records[0].find("\"name\":\"r{.txt\",\"checksum\":null"), std::string::npos);
  EXPECT_NE(records[1].find("\"text\":\"M\xC3\xA4"
                            "dchen"),
            std::string::npos);
  EXPECT_NE(records[0].find("\"coverage\":{\"rules_file\":\"r{.txt\",\"rules\":[{\"number\":7,"
                            "\"line\":12,\"label\":\"\\\"\xC3\xBC\",\"parts\":\"A + B = C\"}],"
                            "\"lexicon_file\":\"l.txt\",\"entries\":[{\"line\":3,\"word\":"
                            "\"\\u0001\xC3\xBF\",\"category\":\"X\"}]}}"),
            std::string::npos)
      << records[0];
  EXPECT_NE(records[1].find("\"time_us\":0,\"rules\":[1,7],\"entries\":[3]}"), std::string::npos)
      << records[1];
  EXPECT_EQ(records[2], "{\"item\":{\"line\":7},\"verdict\":\"malformed\",\"problem\":\"why\"}");
  EXPECT_EQ(records[3], "{\"end\":{\"lines\":45,\"items\":44}}");
}
}  // namespace
