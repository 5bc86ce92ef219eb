#include "analyser/output/json_writer.hpp"

#include <gtest/gtest.h>

#include "analyser/output/test_support.hpp"

using namespace test_support;

namespace {

constexpr const char* kAllValuesJson = "[1,2,3,4,5,6,7,8]";

// -why alone: a position no node covers is a null fragment; a rule blocked
// by its part's group count has group 0 and all values on both sides.
TEST(JsonDiagnosis, UncoveredWordAndGroupCountsThatDiffer) {
  grammar_fixture f;
  add_rule(f, "AAAA (1)(2) + BBBB = SATZ");
  word_node(f, "AAAA", "(1)", 1, 1);
  word_node(f, "BBBB", "", 2, 2);
  const std::string sentence = "ALPHA BETA GAMMA ";
  const sentence_analysis analysis = hand_analysis(f, sentence, 3);
  record_settings settings;
  settings.why = true;
  settings.grammar = &f.grammar;
  EXPECT_EQ(json_diagnosis(analysis, settings),
            std::string("{\"fragments\":[") +
                "{\"category\":\"AAAA\",\"start\":1,\"end\":1,\"values\":[[1]],\"rule\":null,"
                "\"label\":\"\",\"word\":\"\"},"
                "{\"category\":\"BBBB\",\"start\":2,\"end\":2,\"values\":null,\"rule\":null,"
                "\"label\":\"\",\"word\":\"\"},null],"
                "\"blocked\":[{\"rule\":1,\"label\":\"\",\"reason\":\"first_part\",\"fragment\":1,"
                "\"first_category\":\"AAAA\",\"second_category\":\"BBBB\",\"group\":0,\"first\":" +
                kAllValuesJson + ",\"second\":" + kAllValuesJson + "}],\"missing\":[]}");
  // Without the tables there is nothing to look at.
  EXPECT_EQ(json_diagnosis(analysis, {}), "{}");
  sentence_analysis unknown_word = analysis;
  unknown_word.outcome = sentence_outcome::unknown_word;
  EXPECT_EQ(json_diagnosis(unknown_word, {}), "{}");
}

// A record of a line that made no nodes: no node count, no node list.
TEST(JsonRecord, WithoutNodesTheCountIsZeroAndTheListLeftOut) {
  record_settings settings;
  settings.nodes = true;
  settings.why = true;
  const std::string record = json_record(sentence_analysis{}, settings);
  EXPECT_NE(record.find("\"node_count\":0,"), std::string::npos) << record;
  EXPECT_EQ(record.find("\"nodes\""), std::string::npos) << record;
}

}  // namespace
