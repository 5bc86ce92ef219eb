#include "analyser/suite/test_suite.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "analyser/suite/profile_reader.hpp"
#include "test_support/streams.hpp"

namespace {
// Opens the names of the bundled example's configuration in its folder.
class examples_opener : public text_opener {
 public:
  unique_file open(const std::string& name, bool utf8) const override {
    return open_text_file(std::string(MIRASK_EXAMPLES_DIR) + "/" + name, utf8);
  }
};

struct SuiteText : ::testing::Test {
  loaded_grammar grammar;
  SuiteText() {
    const unique_file config = open_text_file(std::string(MIRASK_EXAMPLES_DIR) + "/mirask.cfg");
    load_configuration(grammar, config.get(), examples_opener{}, log_output{nullptr});
  }
};

TEST_F(SuiteText, ReportsAndRecordsEveryLineWithoutFiles) {
  suite_options options;
  options.suite_file_name = "web.suite";
  const suite_text_run run = run_suite_text(grammar,
                                            "$ a comment\n"
                                            "Der Hund bellt.\t<SATZ(NPHR(DETA NOMN)VPHR(VERB(VSTM VEND)))>\n"
                                            "*Der Hund bellt.\n"
                                            "Der Hund\t2\t3\n",
                                            options);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.report.find("web.suite:3: fail: *Der Hund bellt. | expected: no analysis | "
                            "found: analysed, 1 analysis, <SATZ("),
            std::string::npos)
      << run.report;
  EXPECT_NE(run.report.find("web.suite:4: malformed: two expected counts\n"), std::string::npos);
  EXPECT_NE(run.report.find("  result:                       1 passed, 1 failed, 1 line not "
                            "understood\n"),
            std::string::npos)
      << run.report;
  ASSERT_EQ(run.profile.size(), 5u);
  EXPECT_EQ(run.profile.front().rfind("{\"profile\":1,", 0), 0u);
  EXPECT_EQ(run.profile.back(), "{\"end\":{\"lines\":4,\"items\":3}}");

  // The records read back give the items that were reported.
  std::string text;
  for (const std::string& record : run.profile) text += record + "\n";
  memory_input file(text);
  captured_output messages;
  std::vector<item_result> items;
  profile_reader reader(messages.file(), [&](const item_result& i) { items.push_back(i); });
  reader.read(file.file(), "web.profile");
  reader.finish();
  EXPECT_EQ(messages.text(), "");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].verdict, item_verdict::pass);
  EXPECT_EQ(items[1].verdict, item_verdict::fail);
  EXPECT_EQ(items[2].verdict, item_verdict::malformed);
  EXPECT_EQ(items[2].line, 4);
}

TEST_F(SuiteText, EmptyTextIsAnEmptySuite) {
  const suite_text_run run = run_suite_text(grammar, "", suite_options{});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.report.find("result:                       0 passed, 0 failed\n"),
            std::string::npos);
  ASSERT_EQ(run.profile.size(), 2u);
  EXPECT_NE(run.profile.front().find("\"suite\":\"-\""), std::string::npos);
}

// The report and the records of a run, their times and date left out.
std::string without_times(const suite_text_run& run) {
  static const std::regex times("\"time_us\":[0-9]+|\"date\":\"[^\"]*\"|  time: .*");
  std::string text = run.report;
  for (const std::string& record : run.profile) text += record + "\n";
  return std::regex_replace(text, times, "TIME");
}

TEST_F(SuiteText, RunsOnThreadsAsOnOne) {
  std::ifstream file(std::string(MIRASK_EXAMPLES_DIR) + "/saetze.suite");
  std::stringstream suite;
  suite << file.rdbuf() << "Der Hund\t2\t3\n*Der Katze bellt.\n";
  suite_options options;
  options.verbose = true;
  const std::string one = without_times(run_suite_text(grammar, suite.str(), options));
  EXPECT_NE(one.find("\"number\":80,"), std::string::npos);  // the sentences' own numbers
  for (const int threads : {2, 3, 7}) {
    options.threads = threads;
    const suite_text_run run = run_suite_text(grammar, suite.str(), options);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(without_times(run), one) << threads << " threads";
  }
}
}  // namespace
