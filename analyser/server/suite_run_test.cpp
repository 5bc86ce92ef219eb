#include "analyser/server/suite_run.hpp"

#include "analyser/server/answers.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {
using json = nlohmann::json;
const std::string kExamples = MIRASK_EXAMPLES_DIR;

std::string file_text(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

json run(mirask::analyser& a, const std::string& body) {
  return json::parse(suite_answer(a, decode_suite_request(body, {})));
}

// The profile of an answer, as -profile writes it: JSON Lines.
std::string profile_of(const json& answer) {
  std::string text = answer["header"].dump() + "\n";
  for (const json& record : answer["records"]) text += record.dump() + "\n";
  return text + answer["end"].dump() + "\n";
}

TEST(SuiteRun, TheExampleSuitePassesAsWithTest) {
  const mirask::grammar g = mirask::grammar::load(kExamples + "/mirask.cfg");
  mirask::analyser a(g);
  const json answer = run(a, json{{"suite", file_text(kExamples + "/saetze.suite")},
                                  {"name", "saetze.suite"}}.dump());
  EXPECT_EQ(answer["summary"]["items"], 80);
  EXPECT_EQ(answer["summary"]["passed"], 80);
  ASSERT_EQ(answer["records"].size(), 80u);
  EXPECT_EQ(answer["records"][0]["item"]["line"], 9);
  EXPECT_EQ(answer["records"][0]["record"]["number"], 1);
  EXPECT_EQ(answer["records"][79]["record"]["number"], 80);
  EXPECT_EQ(answer["header"]["suite"], "saetze.suite");
  EXPECT_EQ(answer["header"]["files"], json::parse(grammar_answer(g))["files"]);
  EXPECT_EQ(answer["end"]["end"]["items"], 80);
  const std::string report = answer["report"];
  EXPECT_NE(report.find("result:                       80 passed, 0 failed"), std::string::npos);
  EXPECT_FALSE(answer.contains("changes"));
}

TEST(SuiteRun, MalformedLinesFailuresAndTheComparison) {
  mirask::grammar_texts t;
  t.rules = "DETA + NOMN = NPHR;.\nNPHR + VERB = SATZ;.\n";
  t.lexicon = "BELLT=VERB\nDER=DETA\nHUND=NOMN\n";
  mirask::analyser before(mirask::grammar::from_texts(t));
  const std::string suite = "Der Hund bellt.\n*Der Hund.\n*Der Hund bellt.\tx\tx\nDer Hund bellt.\t2\n";
  const json first = run(before, json{{"suite", suite}}.dump());
  ASSERT_EQ(first["records"].size(), 4u);
  EXPECT_EQ(first["records"][2]["verdict"], "malformed");
  EXPECT_EQ(first["records"][3]["verdict"], "fail");
  EXPECT_EQ(first["summary"]["passed"], 2);
  EXPECT_EQ(first["summary"]["failed"], 1) << first["report"].get<std::string>();
  EXPECT_EQ(first["summary"]["malformed"], 1);
  const std::string report = first["report"];
  EXPECT_EQ(report.rfind("suite:3: malformed: ", 0), 0u) << report;
  EXPECT_NE(report.find("suite:4: fail: Der Hund bellt. | expected: 2 analyses"), std::string::npos);

  // A grammar without the sentence rule: the first item is now worse, the
  // second stays rejected, the fourth fails with another count.
  t.rules = "DETA + NOMN = NPHR;.\n";
  mirask::analyser after(mirask::grammar::from_texts(t));
  json earlier = first;
  for (json& record : earlier["records"]) record.erase("record");  // as the page keeps them
  const json second = run(after, json{{"suite", suite}, {"compare", profile_of(earlier)}}.dump());
  EXPECT_EQ(second["compare_problems"], "");
  ASSERT_EQ(second["changes"].size(), 2u);
  EXPECT_EQ(second["changes"][0], json::parse("{\"change\":\"worse\",\"line\":1,\"text\":\"Der Hund bellt.\","
                                              "\"before\":\"pass\",\"now\":\"fail\"}"));
  EXPECT_EQ(second["changes"][1]["change"], "different");
  EXPECT_EQ(second["changes"][1]["line"], 4);
  EXPECT_NE(second["report"].get<std::string>().find(
                "Changes against the earlier run: 1 worse, 0 better, 1 different, 0 new, 0 gone; 1 unchanged"),
            std::string::npos);

  // An item left out is gone, one added is new: each has one side only.
  const json third = run(
      after,
      json{{"suite", "Der Hund bellt.\n*Hund Der.\n"}, {"compare", profile_of(earlier)}}.dump());
  ASSERT_EQ(third["changes"].size(), 4u);
  EXPECT_EQ(third["changes"][1],
            json::parse("{\"change\":\"new\",\"line\":2,\"text\":\"Hund Der.\","
                        "\"before\":null,\"now\":\"pass\"}"));
  EXPECT_EQ(third["changes"][2],
            json::parse("{\"change\":\"gone\",\"line\":2,\"text\":\"Der Hund.\","
                        "\"before\":\"pass\",\"now\":null}"));

  const json broken = run(after, json{{"suite", ""}, {"compare", "{\"nonsense\": 1}\n"}}.dump());
  EXPECT_TRUE(broken["records"].empty());
  EXPECT_NE(broken["compare_problems"].get<std::string>().find("compare:1"), std::string::npos);
}
}  // namespace
