#include "analyser/grammar/parser.hpp"

#include <gtest/gtest.h>

#include <map>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

class ParseSentence : public ::testing::Test {
 protected:
  ParseSentence() : output(state) {}

  // Word nodes at positions 1, 2, ...: "AAAA BBBB(1)" makes two words; a word
  // with several readings is written "BBBB(1)/BBBB(2)".
  void words(const std::string& sentence) {
    int position = 0;
    std::size_t at = 0;
    while (at < sentence.size()) {
      std::size_t end = sentence.find(' ', at);
      if (end == std::string::npos) end = sentence.size();
      ++position;
      std::string word = sentence.substr(at, end - at);
      for (std::size_t r = 0; r <= word.size();) {
        std::size_t slash = word.find('/', r);
        if (slash == std::string::npos) slash = word.size();
        std::string reading = word.substr(r, slash - r);
        word_node(state, reading.substr(0, 4), reading.substr(4), position, position);
        r = slash + 1;
      }
      at = end + 1;
    }
    word_count = position;
  }

  // Parses the words, stopping at the first analysis when `stop_early`.
  parse_end parse(bool stop_early = false) {
    target = {byte_data("SSSS"), 4, word_count};
    parse_work work{state.grammar, state.nodes, state.log()};
    if (stop_early) work.stop_at = &target;
    return parse_sentence(work);
  }

  // The nodes in list order as "n:CATE s-e" for word nodes and
  // "n:CATE s-e r<rule> <left>+<right>" for rule nodes, n counting from 1.
  std::string nodes() const {
    std::map<const parse_node*, int> number;
    std::string text;
    for (const parse_node* n = state.nodes.head; n != nullptr; n = n->next) {
      number[n] = static_cast<int>(number.size()) + 1;
      text += text.empty() ? "" : " | ";
      text += std::to_string(number[n]) + ":" +
              std::string(reinterpret_cast<const char*>(n->category->name), 4) + " " +
              std::to_string(n->seg_start) + "-" + std::to_string(n->seg_end);
      if (n->rule != nullptr) {
        text += " r" + std::to_string(n->rule->rule_number) + " " +
                std::to_string(number[n->left_comp]) + "+" +
                (n->right_comp ? std::to_string(number[n->right_comp]) : "-");
      }
    }
    return text;
  }

  // How often the first node was tried with the first rule: one per pass.
  int passes() {
    std::string trace = output.text();
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "ka,ra,rnu= %p %p  1\n",
                  static_cast<void*>(state.nodes.head), static_cast<void*>(state.grammar.rule_list));
    int count = 0;
    for (std::size_t at = trace.find(wanted); at != std::string::npos;
         at = trace.find(wanted, at + 1)) {
      ++count;
    }
    return count;
  }

  // The number of the first complete analysis in list order, 0 for none.
  int axiom() const {
    int n = 1;
    const parse_node* found = find_axiom_node(state.nodes.head, target);
    for (const parse_node* node = state.nodes.head; node != found; node = node->next) ++n;
    return found != nullptr ? n : 0;
  }

  grammar_fixture state;
  fixture_output output;
  int word_count = 0;
  analysis_target target{};
};

TEST_F(ParseSentence, WorkedExampleNeedsThreePasses) {
  add_rule(state, "AAAA + YYYY = SSSS");
  add_rule(state, "BBBB + CCCC = YYYY");
  words("AAAA BBBB CCCC");
  state.trace = true;
  EXPECT_EQ(parse(), parse_end::complete);
  EXPECT_EQ(nodes(),
            "1:AAAA 1-1 | 2:BBBB 2-2 | 3:CCCC 3-3 | 4:YYYY 2-3 r2 2+3 | 5:SSSS 1-3 r1 1+4");
  EXPECT_EQ(passes(), 3);
  EXPECT_EQ(axiom(), 5);
}

TEST_F(ParseSentence, NodeMadeInAPassIsTriedInTheSamePass) {
  add_rule(state, "AAAA + BBBB = XXXX");
  add_rule(state, "XXXX + CCCC = SSSS");
  words("AAAA BBBB CCCC");
  state.trace = true;
  EXPECT_EQ(parse(), parse_end::complete);
  EXPECT_EQ(nodes(),
            "1:AAAA 1-1 | 2:BBBB 2-2 | 3:CCCC 3-3 | 4:XXXX 1-2 r1 1+2 | 5:SSSS 1-3 r2 4+3");
  EXPECT_EQ(passes(), 2);
}

TEST_F(ParseSentence, OrderByFirstComponentThenRuleThenSecondComponent) {
  add_rule(state, "AAAA + BBBB = XXXX");
  add_rule(state, "AAAA = QQQQ");
  add_rule(state, "AAAA + BBBB = YYYY");
  add_rule(state, "XXXX = SSSS");
  words("AAAA BBBB(1)/BBBB(2)");
  parse();
  EXPECT_EQ(nodes(),
            "1:AAAA 1-1 | 2:BBBB 2-2 | 3:BBBB 2-2 | 4:XXXX 1-2 r1 1+2 | 5:XXXX 1-2 r1 1+3 | "
            "6:QQQQ 1-1 r2 1+- | 7:YYYY 1-2 r3 1+2 | 8:YYYY 1-2 r3 1+3 | "
            "9:SSSS 1-2 r4 4+- | 10:SSSS 1-2 r4 5+-");
  // Two complete analyses: the one made first comes first.
  EXPECT_EQ(axiom(), 9);
}

TEST_F(ParseSentence, FailedConditionMakesNoNode) {
  add_rule(state, "AAAA + BBBB = SSSS (); 1 1 1");
  words("AAAA(1) BBBB(2)/BBBB(1,2)");
  parse();
  EXPECT_EQ(nodes(), "1:AAAA 1-1 | 2:BBBB 2-2 | 3:BBBB 2-2 | 4:SSSS 1-2 r1 1+3");
  EXPECT_EQ(state.nodes.tail->subcat_values[1], 0x01);
}

TEST_F(ParseSentence, RuleBehindAGreaterInitialLetterIsNeverTried) {
  add_rule(state, "AAAA + BBBB = XXXX");
  add_rule(state, "CCCC = ZZZZ");
  add_rule(state, "AAAA = SSSS");
  words("AAAA BBBB");
  parse();
  EXPECT_EQ(nodes(), "1:AAAA 1-1 | 2:BBBB 2-2 | 3:XXXX 1-2 r1 1+2");
  EXPECT_EQ(axiom(), 0);
}

TEST_F(ParseSentence, CategoryWithoutIndexSlotBeginsNoRule) {
  add_rule(state, "AAAA + BBBB = SSSS");
  words(
      "!AAA \xC4"
      "BBB aaaa");
  parse();
  EXPECT_EQ(nodes(),
            "1:!AAA 1-1 | 2:\xC4"
            "BBB 2-2 | 3:aaaa 3-3");
}

TEST_F(ParseSentence, TraceLines) {
  add_rule(state, "AAAA + BBBB = SSSS");
  words("AAAA BBBB");
  state.trace = true;
  EXPECT_EQ(parse(), parse_end::complete);
  const std::string pass =
      "ka,ra,rnu= PTR PTR  1\n"
      "\tleft_comp,seg_start,seg_end=PTR    1    1\n"
      "\t\tla,right_comp=PTR PTR\n";
  EXPECT_EQ(without_identities(output.text()), pass + "\n\t\t\tmake_node:hkr3=PTR SSSS" + pass);
}

// A grammar that makes exactly seven nodes: three words, X over A + B and over
// X + C, and S over each X.
class NodeLimit : public ParseSentence {
 protected:
  void parse_with_limit(long limit) {
    add_rule(state, "AAAA + BBBB = XXXX");
    add_rule(state, "XXXX + CCCC = XXXX");
    add_rule(state, "XXXX = SSSS");
    words("AAAA BBBB CCCC");
    state.nodes.limit = limit;
    end = parse();
  }
  parse_end end = parse_end::complete;
};

TEST_F(NodeLimit, AtTheLimitTheSentenceIsAnalysed) {
  parse_with_limit(7);
  EXPECT_EQ(end, parse_end::complete);
  EXPECT_EQ(state.nodes.count, 7);
  EXPECT_EQ(nodes().substr(nodes().rfind('|') + 2), "7:SSSS 1-3 r3 5+-");
  EXPECT_EQ(axiom(), 7);
}

TEST_F(NodeLimit, OnePastTheLimitAbandonsTheSentence) {
  parse_with_limit(6);
  EXPECT_EQ(end, parse_end::node_limit);
  EXPECT_EQ(state.nodes.count, 6);
}

TEST_F(ParseSentence, UnaryCycleStopsAtTheNodeLimit) {
  add_rule(state, "AAAA = BBBB");
  add_rule(state, "BBBB = AAAA");
  words("AAAA");
  state.nodes.limit = 20000;
  EXPECT_EQ(parse(), parse_end::node_limit);
  EXPECT_EQ(state.nodes.count, 20000);
}

TEST_F(ParseSentence, EarlyStopKeepsTheNodesUpToTheFirstAnalysis) {
  add_rule(state, "AAAA + AAAA = AAAA");
  add_rule(state, "AAAA = SSSS");
  words("AAAA AAAA AAAA AAAA");
  EXPECT_EQ(parse(true), parse_end::first_analysis);
  const std::string early = nodes();
  const int first = axiom();
  EXPECT_EQ(first, list_length(state));  // the analysis is the last node made
  state.nodes.clear();
  words("AAAA AAAA AAAA AAAA");
  EXPECT_EQ(parse(), parse_end::complete);
  EXPECT_EQ(axiom(), first);
  EXPECT_EQ(nodes().substr(0, early.size()), early);
  EXPECT_GT(list_length(state), first);
}

TEST_F(ParseSentence, EarlyStopWithAWordThatIsTheAnalysis) {
  add_rule(state, "SSSS = SSSS");  // a unary cycle that never has to run
  words("SSSS");
  EXPECT_EQ(parse(true), parse_end::first_analysis);
  EXPECT_EQ(nodes(), "1:SSSS 1-1");
}

}  // namespace
