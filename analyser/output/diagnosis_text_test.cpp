#include "analyser/output/diagnosis_text.hpp"

#include <gtest/gtest.h>

#include "analyser/output/test_support.hpp"

using namespace test_support;

namespace {

// The diagnosis of "ALPHA BETA GAMMA" over the nodes built by hand.
class DiagnosisText : public ::testing::Test {
 protected:
  DiagnosisText() : output(f) {}

  std::string diagnosis(bool words) {
    sentence_analysis analysis = hand_analysis(f, sentence, 3);
    const unsigned char* text = byte_data(sentence);
    analysis.words.words = {{text, 5, 1, 0}, {text + 6, 4, 2, 0}, {text + 11, 5, 3, 0}};
    print_diagnosis(f.log(), f.grammar, analysis, words);
    return output.text();
  }

  grammar_fixture f;
  fixture_output output;
  std::string sentence = "ALPHA BETA GAMMA ";
};

// A position no node covers is a fragment of its own; a rule whose part has
// more groups than the fragment is blocked by the group counts.
TEST_F(DiagnosisText, AWordWithoutConstituentAndGroupCountsThatDiffer) {
  add_rule(f, "AAAA (1)(2) + BBBB = SATZ");
  word_node(f, "AAAA", "(1)", 1, 1);
  word_node(f, "BBBB", "", 2, 2);
  EXPECT_EQ(diagnosis(true),
            "fragments:\n"
            "  1-1 <AAAA=ALPHA>\n"
            "  2-2 <BBBB=BETA>\n"
            "  word 3: no constituent\n"
            "blocked:\n"
            "  1-1 AAAA + 2-2 BBBB: rule 1 AAAA + BBBB = SATZ, first part: 2 groups against 1\n"
            "missing: none\n");
}

// A condition that fails at group 0 of the first component (all values, as
// the table writes them, against the empty group) names its groups; only a
// rule part's value set gives the group counts instead.
TEST_F(DiagnosisText, ConditionFailingAtGroupZero) {
  add_rule(f, "AAAA + BBBB = SATZ; 0 1 1");
  word_node(f, "AAAA", "(1)", 1, 1);
  word_node(f, "BBBB", "(0)", 2, 2);
  EXPECT_EQ(diagnosis(false),
            "fragments:\n"
            "  1-1 <AAAA>\n"
            "  2-2 <BBBB>\n"
            "  word 3: no constituent\n"
            "blocked:\n"
            "  1-1 AAAA + 2-2 BBBB: rule 1 AAAA + BBBB = SATZ, condition group 0/1: () against ()\n"
            "missing: none\n");
}

TEST_F(DiagnosisText, RulesAsTextWithOneOrTwoParts) {
  EXPECT_EQ(rule_text(*add_rule(f, "NPHR + VPHR = SATZ")), "NPHR + VPHR = SATZ");
  EXPECT_EQ(rule_text(*add_rule(f, "PRON = NPHR")), "PRON = NPHR");
}

}  // namespace
