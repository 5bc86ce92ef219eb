#include "analyser/grammar/parser.hpp"

#include <gtest/gtest.h>

#include <map>

#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

class ParseSentence : public ::testing::Test {
 protected:
  ParseSentence() : output(state) {
    prepare_result_output(state);
    state.start_category = "SSSS";
  }

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
    state.word_count = position;
  }

  // The nodes in list order as "n:CATE s-e" for word nodes and
  // "n:CATE s-e r<rule> <left>+<right>" for rule nodes, n counting from 1.
  std::string nodes() const {
    std::map<const parse_node*, int> number;
    std::string text;
    for (const parse_node* n = state.node_list; n != nullptr; n = n->next) {
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
                  static_cast<void*>(state.node_list), static_cast<void*>(state.rule_list));
    int count = 0;
    for (std::size_t at = trace.find(wanted); at != std::string::npos;
         at = trace.find(wanted, at + 1)) {
      ++count;
    }
    return count;
  }

  // The printed bracket line (the text after "Analyse: "), or "" when none.
  std::string printed_analysis() {
    std::string text = output.text();
    std::size_t at = text.find("Analyse: <");
    if (at == std::string::npos) return "";
    return text.substr(at + 9, text.find('\n', at) - at - 9);
  }

  AnalyserState state;
  captured_output output;
};

TEST_F(ParseSentence, WorkedExampleNeedsThreePasses) {
  add_rule(state, "AAAA + YYYY = SSSS");
  add_rule(state, "BBBB + CCCC = YYYY");
  words("AAAA BBBB CCCC");
  state.trace_flag = 1;
  parse_sentence(state);
  EXPECT_EQ(nodes(),
            "1:AAAA 1-1 | 2:BBBB 2-2 | 3:CCCC 3-3 | 4:YYYY 2-3 r2 2+3 | 5:SSSS 1-3 r1 1+4");
  EXPECT_EQ(passes(), 3);
  EXPECT_EQ(printed_analysis(), "<SSSS(AAAA YYYY(BBBB CCCC))>");
}

TEST_F(ParseSentence, NodeMadeInAPassIsTriedInTheSamePass) {
  add_rule(state, "AAAA + BBBB = XXXX");
  add_rule(state, "XXXX + CCCC = SSSS");
  words("AAAA BBBB CCCC");
  state.trace_flag = 1;
  parse_sentence(state);
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
  parse_sentence(state);
  EXPECT_EQ(nodes(),
            "1:AAAA 1-1 | 2:BBBB 2-2 | 3:BBBB 2-2 | 4:XXXX 1-2 r1 1+2 | 5:XXXX 1-2 r1 1+3 | "
            "6:QQQQ 1-1 r2 1+- | 7:YYYY 1-2 r3 1+2 | 8:YYYY 1-2 r3 1+3 | "
            "9:SSSS 1-2 r4 4+- | 10:SSSS 1-2 r4 5+-");
  // Two complete analyses: the one made first is printed.
  EXPECT_EQ(printed_analysis(), "<SSSS(XXXX(AAAA BBBB))>");
}

TEST_F(ParseSentence, FailedConditionMakesNoNode) {
  add_rule(state, "AAAA + BBBB = SSSS (); 1 1 1");
  words("AAAA(1) BBBB(2)/BBBB(1,2)");
  parse_sentence(state);
  EXPECT_EQ(nodes(), "1:AAAA 1-1 | 2:BBBB 2-2 | 3:BBBB 2-2 | 4:SSSS 1-2 r1 1+3");
  EXPECT_EQ(state.node_tail->subcat_values[1], 0x01);
}

TEST_F(ParseSentence, RuleBehindAGreaterInitialLetterIsNeverTried) {
  add_rule(state, "AAAA + BBBB = XXXX");
  add_rule(state, "CCCC = ZZZZ");
  add_rule(state, "AAAA = SSSS");
  words("AAAA BBBB");
  parse_sentence(state);
  EXPECT_EQ(nodes(), "1:AAAA 1-1 | 2:BBBB 2-2 | 3:XXXX 1-2 r1 1+2");
  EXPECT_NE(output.text().find("keine Analyse\n"), std::string::npos);
}

TEST_F(ParseSentence, CategoryWithoutIndexSlotBeginsNoRule) {
  add_rule(state, "AAAA + BBBB = SSSS");
  words(
      "!AAA \xC4"
      "BBB aaaa");
  parse_sentence(state);
  EXPECT_EQ(nodes(),
            "1:!AAA 1-1 | 2:\xC4"
            "BBB 2-2 | 3:aaaa 3-3");
}

TEST_F(ParseSentence, TraceLines) {
  add_rule(state, "AAAA + BBBB = SSSS");
  words("AAAA BBBB");
  state.trace_flag = 1;
  parse_sentence(state);
  const std::string pass =
      "ka,ra,rnu= PTR PTR  1\n"
      "\tleft_comp,seg_start,seg_end=PTR    1    1\n"
      "\t\tla,right_comp=PTR PTR\n";
  EXPECT_EQ(without_identities(output.text()),
            pass + "\n\t\t\tmake_node:hkr3=PTR SSSS" + pass +
                "in draw_brackets()\nin draw_brackets()\n"
                "in draw_brackets()\nAnalyse: <SSSS(AAAA BBBB)>\n");
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
    state.node_limit = limit;
    parse_sentence(state);
  }
};

TEST_F(NodeLimit, AtTheLimitTheSentenceIsAnalysed) {
  parse_with_limit(7);
  EXPECT_FALSE(state.node_limit_reached);
  EXPECT_EQ(state.node_count, 7);
  EXPECT_EQ(printed_analysis(), "<SSSS(XXXX(XXXX(AAAA BBBB)CCCC))>");
}

TEST_F(NodeLimit, OnePastTheLimitAbandonsTheSentence) {
  parse_with_limit(6);
  EXPECT_TRUE(state.node_limit_reached);
  EXPECT_EQ(output.text(), "\nNode limit of 6 nodes reached: sentence abandoned\n");
}

TEST_F(ParseSentence, UnaryCycleStopsAtTheNodeLimit) {
  add_rule(state, "AAAA = BBBB");
  add_rule(state, "BBBB = AAAA");
  words("AAAA");
  state.node_limit = 20000;
  parse_sentence(state);
  EXPECT_EQ(state.node_count, 20000);
  EXPECT_EQ(output.text(), "\nNode limit of 20000 nodes reached: sentence abandoned\n");
}

}  // namespace
