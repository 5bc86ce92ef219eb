#include "analyser/server/answers.hpp"

#include <gtest/gtest.h>

#include <set>

namespace {
using json = nlohmann::json;
const std::string kExamples = MIRASK_EXAMPLES_DIR;
const char* const kAmbiguous = "Der Mann sieht die Frau mit dem Fernglas.";

const mirask::grammar& example() {
  static const mirask::grammar g = mirask::grammar::load(kExamples + "/mirask.cfg");
  return g;
}

parse_request request_of(const std::string& body) { return decode_parse_request(body, {}); }

long tree_size(const mirask::tree_node& t) {
  long n = 1;
  for (const mirask::tree_node& c : t.children) n += tree_size(c);
  return n;
}

TEST(Answers, TheNodesOfAnAnalysisAreFoundInTheNodeTable) {
  mirask::analyser a(example());
  mirask::parse_options options;
  options.nodes = true;
  const mirask::result r = a.parse(kAmbiguous, options);
  const std::vector<mirask::node_row> rows = r.nodes();
  ASSERT_EQ(r.complete_analyses(), 2);
  std::set<long> seen[2];
  for (long k = 0; k < 2; ++k) {
    const mirask::tree_node tree = r.complete_analysis(k);
    const std::vector<long> ids = node_ids_of(tree, rows);
    ASSERT_EQ(static_cast<long>(ids.size()), tree_size(tree)) << k;
    seen[k].insert(ids.begin(), ids.end());
    EXPECT_EQ(seen[k].size(), ids.size());
    // The first id is the root; every other is a component of one before it.
    const mirask::node_row& root = rows[ids[0] - 1];
    EXPECT_EQ(root.category, "SATZ");
    EXPECT_EQ(root.start, 1);
    EXPECT_EQ(root.end, 8);
    for (std::size_t i = 1; i < ids.size(); ++i) {
      bool component = false;
      for (std::size_t j = 0; j < i; ++j) {
        const mirask::node_row& parent = rows[ids[j] - 1];
        component = component || parent.left == ids[i] || parent.right == ids[i];
      }
      EXPECT_TRUE(component) << ids[i];
    }
  }
  EXPECT_NE(seen[0], seen[1]);
  mirask::tree_node other = r.complete_analysis(0);
  other.children[0].category = "VPHR";
  EXPECT_TRUE(node_ids_of(other, rows).empty());
}

TEST(Answers, ParseAnswersAreTheLibrarysRecordsWithWhatThePageNeeds) {
  mirask::analyser a(example());
  mirask::analyser fresh(example());
  const json batch = json::parse(
      parse_answer(a, request_of("{\"sentences\": [\"Der Hund bellt.\", \"Das Haus.\", \"\"]}")));
  ASSERT_EQ(batch["records"].size(), 3u);
  for (int i = 0; i < 3; ++i) {
    json record = batch["records"][i];
    EXPECT_EQ(record["number"], i + 1);
    mirask::parse_options options;
    options.number = i + 1;
    json expected = json::parse(fresh.parse(record["text"].get<std::string>(), options).json());
    record.erase("time_us");
    expected.erase("time_us");
    EXPECT_EQ(record, expected);
  }
  EXPECT_EQ(batch["records"][2]["outcome"], "no_words");

  const json first = json::parse(parse_answer(a, request_of(std::string("{\"sentence\": \"") +
                                                            kAmbiguous + "\", \"svg\": true}")));
  EXPECT_EQ(first["number"], 1);
  EXPECT_EQ(first["analysis_index"], 0);
  EXPECT_FALSE(first.contains("complete_analyses"));
  const mirask::result r = fresh.parse(kAmbiguous);
  EXPECT_EQ(first["svg"], r.svg());

  const json second = json::parse(parse_answer(
      a, request_of(std::string("{\"sentence\": \"") + kAmbiguous +
                    "\", \"svg\": true, \"nodes\": true, \"analysis_index\": 1}")));
  EXPECT_EQ(second["complete_analyses"], 2);
  EXPECT_EQ(second["svg"], r.svg(1));
  EXPECT_EQ(second["analysis_nodes"].size(), static_cast<std::size_t>(tree_size(r.complete_analysis(1))));
  EXPECT_EQ(second["nodes"].size(), second["node_count"]);

  // Each addition alone: the count of analyses, or the nodes of the first one.
  const json counted = json::parse(parse_answer(
      a, request_of(std::string("{\"sentence\": \"") + kAmbiguous + "\", \"analysis_index\": 1}")));
  EXPECT_EQ(counted["complete_analyses"], 2);
  EXPECT_FALSE(counted.contains("svg") || counted.contains("analysis_nodes"));
  const json listed = json::parse(parse_answer(
      a, request_of(std::string("{\"sentence\": \"") + kAmbiguous + "\", \"nodes\": true}")));
  EXPECT_FALSE(listed.contains("svg") || listed.contains("complete_analyses"));
  EXPECT_EQ(listed["analysis_nodes"].size(), static_cast<std::size_t>(tree_size(*r.analysis())));

  const json beyond = json::parse(parse_answer(
      a, request_of(std::string("{\"sentence\": \"") + kAmbiguous + "\", \"svg\": true, \"analysis_index\": 2}")));
  EXPECT_TRUE(beyond["svg"].is_null());
  const json failing = json::parse(parse_answer(
      a, request_of("{\"sentence\": \"Der Hund bellen.\", \"svg\": true, \"why\": true, \"nodes\": true}")));
  EXPECT_EQ(failing["outcome"], "no_analysis");
  EXPECT_TRUE(failing["svg"].is_null());
  EXPECT_TRUE(failing["analysis_nodes"].empty());
  EXPECT_FALSE(failing["fragments"].empty());
}

TEST(Answers, GrammarReloadAndErrors) {
  const json g = json::parse(grammar_answer(example()));
  EXPECT_EQ(g["rules"], 34);
  EXPECT_EQ(g["start_category"], "SATZ");
  EXPECT_EQ(g["files"].size(), 5u);
  EXPECT_EQ(g["files"][2]["role"], "rules");
  EXPECT_EQ(g["files"][2]["checksum"].get<std::string>().rfind("fnv1a64:", 0), 0u);

  reload_outcome failed;
  failed.problems = {"regeln.txt:3:1: error: rule 2 skipped (malformed)"};
  const json refused = json::parse(reload_answer(failed, example()));
  EXPECT_EQ(refused["reloaded"], false);
  EXPECT_EQ(refused["problems"], failed.problems);
  EXPECT_EQ(refused["error"], "the grammar was not reloaded (1 problem); the one in service stays");
  EXPECT_EQ(refused["grammar"], g);
  const json done = json::parse(reload_answer({true, {}}, example()));
  EXPECT_EQ(done["reloaded"], true);
  EXPECT_FALSE(done.contains("error"));

  EXPECT_EQ(error_answer("bad \"x\" \xFF"), "{\"error\":\"bad \\\"x\\\" \xEF\xBF\xBD\"}");
}
}  // namespace
