#include "analyser/output/printout.hpp"

#include <gtest/gtest.h>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

// The printout of analyses built by hand over the sentence "C D E".
class Printout : public ::testing::Test {
 protected:
  Printout() : output(state) {
    add_message(messages, 6, "Wort nicht gefunden:");
    add_message(messages, 9, "Analyse:");
    add_message(messages, 10, "keine Analyse\\n");
  }

  // The worked example: SATZ over B and the word E, B over the words C and D.
  parse_node* worked_example() {
    parse_node* c = word_node(state, "C", "(1)", 1, 1);
    parse_node* d = word_node(state, "D", "", 2, 2);
    parse_node* e = word_node(state, "E", "(2,3)", 3, 3);
    parse_node* b = rule_node(state, "B", c, d);
    word_count = 3;
    return rule_node(state, "SATZ", b, e);
  }

  // Prints the results of the nodes made so far, the first complete one
  // being the analysis.
  void print(int output_flags = 0) {
    sentence_analysis analysis;
    analysis.text = byte_data(sentence);
    analysis.nodes = &state.nodes;
    analysis.axiom = find_axiom_node(state.nodes.head, {byte_data("SATZ"), 4, word_count});
    analysis.outcome =
        analysis.axiom != nullptr ? sentence_outcome::analysed : sentence_outcome::no_analysis;
    printout_writer(messages, state.log(), {output_flags}).sentence_analysed(analysis);
  }

  grammar_fixture state;
  fixture_output output;
  message_table messages;
  int word_count = 0;
  std::string sentence = "C D E ";
};

TEST_F(Printout, PrintResultsOneWord) {
  word_node(state, "SATZ", "", 1, 1);
  word_count = 1;
  print();
  EXPECT_EQ(output.text(), "Analyse: <SATZ>\n");
}

TEST_F(Printout, PrintResultsOneWordWithSubcat) {
  word_node(state, "SATZ", "(4)", 1, 1);
  word_count = 1;
  print(OUT_SUBCAT);
  EXPECT_EQ(output.text(), "Analyse: <SATZ:1>\n:1  (4)\n");
}

TEST_F(Printout, PrintResultsInTheOrderListingTreeTable) {
  worked_example();
  print(OUT_SUBCAT | OUT_TREE | OUT_LIST);
  std::string text = without_identities(output.text());
  const std::string expected_start =
      "Analyse: <SATZ:1(B:2(C:3 D:4)E:5)>\n"
      ":1 \n:2 \n:3  (1)\n:4 \n:5  (3,2)\n"
      "SATZ_____________       \n"
      "|               |       \n"
      "|               |       \n"
      "B:2 _____       E:5     \n"
      "|       |               \n"
      "|       |               \n"
      "C:3     D:4             \n"
      "C D E \n";
  EXPECT_EQ(text.substr(0, expected_start.size()), expected_start);
  const std::string last_row = "PTR SATZ PTR PTR   -1      1 -  3 # \n";
  EXPECT_EQ(text.substr(text.size() - last_row.size()), last_row);
}

TEST_F(Printout, NoAnalysisPrintsMessageTenAndTheTable) {
  word_node(state, "SATZ", "", 1, 2);
  word_count = 3;
  print();
  EXPECT_EQ(without_identities(output.text()),
            "keine Analyse\nC D E \n"
            "      Kat.                 Rnu.  LK   RK #   UKW\n"
            "-------------------------------------------------\n"
            "PTR SATZ PTR PTR   -1      1 -  2 # \n");
}

TEST_F(Printout, WhyPrintsTheTableThatMessageTenAnnouncesThenTheDiagnosis) {
  add_rule(state, "C + D = SATZ");
  word_node(state, "C", "", 1, 1);
  word_count = 1;
  sentence_analysis analysis;
  analysis.text = byte_data(sentence);
  analysis.nodes = &state.nodes;
  analysis.words.word_count = 1;
  analysis.outcome = sentence_outcome::no_analysis;
  printout_settings why;
  why.why = true;
  printout_writer(messages, state.log(), why, {&state.grammar, &state.lexicon})
      .sentence_analysed(analysis);
  EXPECT_EQ(without_identities(output.text()),
            "keine Analyse\nC D E \n"
            "      Kat.                 Rnu.  LK   RK #   UKW\n"
            "-------------------------------------------------\n"
            "PTR C    PTR PTR   -1      1 -  1 # \n"
            "fragments:\n  1-1 <C>\nblocked: none\nmissing:\n"
            "  1-1 C: rule 1 C + D = SATZ: no D starts at word 2, the sentence ends at word 1\n");
}

TEST_F(Printout, AllTellsWhereAnalysesWithTheSameBracketsDiffer) {
  parse_node* c = word_node(state, "C", "(1)", 1, 1);
  parse_node* d = word_node(state, "D", "", 2, 2);
  parse_node* other_d = word_node(state, "D", "(2,3)", 2, 2);
  word_count = 2;
  rule_node(state, "SATZ", c, d);
  rule_node(state, "SATZ", c, other_d);
  rule_node(state, "SATZ", c, d);
  sentence_analysis analysis;
  analysis.text = byte_data(sentence);
  analysis.nodes = &state.nodes;
  analysis.target = {byte_data("SATZ"), 4, word_count};
  analysis.axiom = find_axiom_node(state.nodes.head, analysis.target);
  analysis.outcome = sentence_outcome::analysed;
  const std::string words = "C D";
  analysis.words.words = {{byte_data(words), 1, 1, 0}, {byte_data(words) + 2, 1, 2, 0}};
  printout_settings all;
  all.all = true;
  all.words = true;
  printout_writer(messages, state.log(), all).sentence_analysed(analysis);
  EXPECT_EQ(output.text(),
            "[1] Analyse: <SATZ(C=C D=D)>\n"
            "[2] Analyse: <SATZ(C=C D=D)>\n"
            "    same brackets as [1]; they differ first at node 3, D 2-2: values (3,2) against"
            " none in [1]\n"
            "[3] Analyse: <SATZ(C=C D=D)>\n"
            "    same brackets as [1]; no constituent differs in values, rule or label\n"
            "analyses: 3\n");
}

TEST_F(Printout, EchoUnknownWordAndNodeLimit) {
  sentence_analysis analysis;
  analysis.nodes = &state.nodes;
  state.nodes.limit = 7;
  const std::string word = "XYZZY";
  analysis.words.unknown = {byte_data(word), 5, 2, 0};
  printout_writer echoing(messages, state.log(), {0, true});
  echoing.sentence_read(1, byte_data(sentence));
  analysis.outcome = sentence_outcome::unknown_word;
  echoing.sentence_analysed(analysis);
  analysis.outcome = sentence_outcome::node_limit;
  echoing.sentence_analysed(analysis);
  analysis.outcome = sentence_outcome::no_words;
  echoing.sentence_analysed(analysis);
  printout_writer(messages, state.log(), {}).sentence_read(2, byte_data(sentence));
  EXPECT_EQ(output.text(),
            "Satz: C D E \n"
            "Wort nicht gefunden: XYZZY\n"
            "\nNode limit of 7 nodes reached: sentence abandoned\n");
}

// -why without the tables adds nothing; the outcomes that the reader and the
// driver tell print nothing; a sentence out of time says so.
TEST_F(Printout, WhyWithoutTablesAndOutcomesWithoutAnalysis) {
  sentence_analysis analysis;
  analysis.text = byte_data(sentence);
  analysis.nodes = &state.nodes;
  const std::string word = "XYZZY";
  analysis.words.unknown = {byte_data(word), 5, 1, 0};
  printout_settings why;
  why.why = true;
  printout_writer writer(messages, state.log(), why);
  for (sentence_outcome outcome :
       {sentence_outcome::unreadable, sentence_outcome::no_number_reading,
        sentence_outcome::unknown_word, sentence_outcome::no_analysis, sentence_outcome::timeout}) {
    analysis.outcome = outcome;
    writer.sentence_analysed(analysis);
  }
  EXPECT_EQ(output.text(),
            "Wort nicht gefunden: XYZZY\n"
            "keine Analyse\nC D E \n"
            "      Kat.                 Rnu.  LK   RK #   UKW\n"
            "-------------------------------------------------\n"
            "\nTime limit reached: sentence abandoned\n");
}

}  // namespace
