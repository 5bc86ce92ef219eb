#include "analyser/lexicon/lex_analysis.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "analyser/driver/fatal_error.hpp"
#include "analyser/grammar/test_support.hpp"

using namespace test_support;

namespace {

// A state with blank and comma as word delimiters, the messages 6 and 11, and
// a small lexicon and endings file.
class LexAnalysis : public ::testing::Test {
 protected:
  void SetUp() override {
    std::strcpy(reinterpret_cast<char*>(state.word_end_chars), " ,");
    add_message(state, 6, "Wort nicht gefunden:");
    add_message(state, 11, "<weiter>");
    state.console_input = 0;
    lexicon("DA", "ADVB");
    lexicon("DER", "DETX (1)", "der-m");
    lexicon("DER", "DETX (2)", "der-f");
    lexicon("DER", "PRON (3)", "der-p");
    lexicon("DIE", "DETX (2)");
    lexicon("E", "ENDG (1)");
    lexicon("EN", "ENDG (2)");
    lexicon("HAUS", "NOUN (3)", "haus");
    lexicon("HUND", "NOUN (1)");
    lexicon("HUNDE", "NOUN (4)");
    lexicon("KATZ", "NOUN (2)");
    lexicon("N", "ENDG (3)");
    lexicon("NULL", "ZAHL (5)", "zahl");
    lexicon("NULL", "ZAHX (6)");
    lexicon("S", "ENDG (4)");
    lexicon("S", "ENDX (4)");
    lexicon("SEH", "VERB");
    ending("EN");
    ending("N");
    ending("E");
    ending("S");
    ending("T");
  }

  void lexicon(const std::string& word, const std::string& category_and_values,
               const std::string& label = "") {
    add_entry(state, state.lexicon_index, lexicon_list, word, category_and_values, label);
  }
  void ending(const std::string& word) {
    add_entry(state, state.endings_index, state.endings_list, word, "ENDG");
  }

  int analyse(const std::string& sentence) { return lex_analysis(state, bytes(sentence)); }

  // The nodes as "CATEGORY start-end label", separated by " | ".
  std::string nodes() const {
    std::string text;
    for (const parse_node* n = state.node_list; n != nullptr; n = n->next) {
      if (!text.empty()) text += " | ";
      text +=
          std::string(reinterpret_cast<const char*>(n->category->name), n->category->name_length) +
          " " + std::to_string(n->seg_start) + "-" + std::to_string(n->seg_end) + " " + n->label;
      EXPECT_EQ(n->left_comp, nullptr);
      EXPECT_EQ(n->right_comp, nullptr);
      EXPECT_EQ(n->rule, nullptr);
    }
    return text;
  }

  AnalyserState state;
  dict_entry* lexicon_list = nullptr;
};

TEST_F(LexAnalysis, WordsPositionsAndReadings) {
  struct row {
    const char* sentence;
    int result;
    const char* nodes;
  } rows[] = {
      {"", 0, ""},
      {" ", 0, ""},
      {" , ,  ", 0, ""},
      {"HAUS ", 1, "NOUN 1-1 haus"},
      {",,HAUS,, HUND  ", 2, "NOUN 1-1 haus | NOUN 2-2 "},
      {"DER HAUS ", 2, "DETX 1-1 der-m | DETX 1-1 der-f | PRON 1-1 der-p | NOUN 2-2 haus"},
      // A word not closed by a delimiter is not analysed.
      {"HAUS HUND", 1, "NOUN 1-1 haus"},
      // Numbers: the first NULL entry, the number's text as label.
      {"42 ", 1, "ZAHL 1-1 42"},
      {"3D HAUS ", 2, "ZAHL 1-1 3D | NOUN 2-2 haus"},
      {"123456789012345678901234567890 ", 1, "ZAHL 1-1 123456789012345678901234567890"},
      // Found whole: never split, although HUND + E would do.
      {"HUNDE ", 1, "NOUN 1-1 "},
      // Stem and ending: two positions, the next word two further on.
      {"KATZE HAUS ", 3, "NOUN 1-1  | ENDG 2-2  | NOUN 3-3 haus"},
      // SEHE + N fails, SEH + EN is found.
      {"SEHEN ", 2, "VERB 1-1  | ENDG 2-2 "},
      // All readings of the ending, in lexicon order.
      {"HAUSS ", 2, "NOUN 1-1  | ENDG 2-2  | ENDX 2-2 "},
      // A word of four characters only as three plus one; three or fewer never.
      {"SEHN ", 2, "VERB 1-1  | ENDG 2-2 "},
      {"DAEN ", -1, ""},
      {"DAS ", -1, ""},
  };
  captured_output output(state);
  for (const row& r : rows) {
    state.node_list = state.node_tail = nullptr;
    EXPECT_EQ(analyse(r.sentence), r.result) << r.sentence;
    if (r.result >= 0) {
      EXPECT_EQ(nodes(), r.nodes) << r.sentence;
    }
  }
}

TEST_F(LexAnalysis, ShortestEndingFirst) {
  lexicon("SEHE", "VERB (8)");
  // Now SEHE + N is found before SEH + EN is tried.
  EXPECT_EQ(analyse("SEHEN "), 2);
  EXPECT_EQ(state.node_list->subcat_values[1], 0x80);
  EXPECT_EQ(state.node_tail->subcat_values[1], 0x04);
  // TRABE is no stem, so TRAB + EN.
  state.node_list = state.node_tail = nullptr;
  lexicon("TRAB", "VERB (1)");
  EXPECT_EQ(analyse("TRABEN "), 2);
  EXPECT_EQ(state.node_list->subcat_values[1], 0x01);
  EXPECT_EQ(state.node_tail->subcat_values[1], 0x02);
}

TEST_F(LexAnalysis, EndingMissingFromTheLexiconGivesNoSplit) {
  captured_output output(state);
  lexicon("WAR", "VERB");
  EXPECT_EQ(analyse("WART "), -1);  // T is an ending but no lexicon word
}

TEST_F(LexAnalysis, WordNotFoundEndsTheSentence) {
  captured_output output(state);
  EXPECT_EQ(analyse("HAUS XYZZY HUND "), -1);
  EXPECT_EQ(output.text(), "Wort nicht gefunden: XYZZY\n");
  EXPECT_EQ(nodes(), "NOUN 1-1 haus");  // nothing for HUND
}

TEST_F(LexAnalysis, WordNotFoundWaitsInConsoleMode) {
  captured_output output(state, "\nnext\n");
  state.console_input = 1;
  EXPECT_EQ(analyse("QQQQ "), -1);
  EXPECT_EQ(output.text(), "Wort nicht gefunden: QQQQ\n<weiter>");
  EXPECT_EQ(output.console_left(), 5);
}

TEST_F(LexAnalysis, WordWithoutIndexSlotIsNotFound) {
  captured_output output(state);
  lexicon("!BANG", "NOUN");  // stored, but no slot can lead to it
  EXPECT_EQ(analyse("!BANG "), -1);
  EXPECT_EQ(analyse("\xC4RGER "), -1);
  EXPECT_EQ(analyse("@ "), -1);
  EXPECT_EQ(analyse("` "), -1);
  EXPECT_EQ(output.text(),
            "Wort nicht gefunden: !BANG\nWort nicht gefunden: \xC4RGER\n"
            "Wort nicht gefunden: @\nWort nicht gefunden: `\n");
}

TEST_F(LexAnalysis, NumberWithoutNullEntryEndsTheProgram) {
  AnalyserState bare;
  captured_output output(bare);
  std::strcpy(reinterpret_cast<char*>(bare.word_end_chars), " ");
  EXPECT_THROW(lex_analysis(bare, bytes("7 ")), AnalyserEnd);
  EXPECT_EQ(output.text(), "\n\t\t------  Kategorie NULL nicht definiert  ------\n");
}

TEST_F(LexAnalysis, NodeLimitAbandonsTheSentence) {
  captured_output output(state);
  state.node_limit = 4;
  EXPECT_EQ(analyse("DER DIE "), 2);  // exactly four nodes
  EXPECT_FALSE(state.node_limit_reached);
  state.node_list = state.node_tail = nullptr;
  EXPECT_EQ(analyse("DER DIE HAUS "), -1);  // the fifth is refused
  EXPECT_EQ(output.text(), "\nNode limit of 4 nodes reached: sentence abandoned\n");
  // The next sentence starts a new count.
  state.node_list = state.node_tail = nullptr;
  EXPECT_EQ(analyse("HAUS "), 1);
  EXPECT_FALSE(state.node_limit_reached);
}

TEST(DictLookup, ScansTheRunOfTheFirstLetter) {
  AnalyserState state;
  dict_entry* index[kLetterSlots] = {};
  dict_entry* list = nullptr;
  dict_entry* ab = add_entry(state, index, list, "AB", "XXXX");
  dict_entry* abc1 = add_entry(state, index, list, "ABC", "XXXX");
  dict_entry* abc2 = add_entry(state, index, list, "ABC", "YYYY");
  add_entry(state, index, list, "B", "XXXX");
  add_entry(state, index, list, "AZ", "XXXX");  // out of order: behind a later letter
  EXPECT_EQ(dict_lookup(index, bytes("AB"), 2), ab);
  EXPECT_EQ(dict_lookup(index, bytes("ABC"), 3), abc1);
  EXPECT_EQ(dict_lookup(index, bytes("ABCD"), 4), nullptr);
  EXPECT_EQ(dict_lookup(index, bytes("A"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, bytes("AZ"), 2), nullptr);
  EXPECT_EQ(dict_lookup(index, bytes("C"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, bytes("@"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, bytes("a"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, bytes(""), 0), nullptr);
  EXPECT_EQ(next_homograph(abc1, bytes("ABC"), 3), abc2);
  EXPECT_EQ(next_homograph(abc2, bytes("ABC"), 3), nullptr);
  EXPECT_EQ(next_homograph(ab, bytes("AB"), 2), nullptr);
  EXPECT_EQ(entry_matches(ab, bytes("ABC"), 2), ab);
  EXPECT_EQ(entry_matches(ab, bytes("ABC"), 3), nullptr);
}

TEST(DictLookup, HomographsMustStandTogether) {
  AnalyserState state;
  dict_entry* index[kLetterSlots] = {};
  dict_entry* list = nullptr;
  dict_entry* first = add_entry(state, index, list, "OB", "XXXX");
  add_entry(state, index, list, "OBST", "XXXX");
  add_entry(state, index, list, "OB", "YYYY");
  EXPECT_EQ(dict_lookup(index, bytes("OB"), 2), first);
  EXPECT_EQ(next_homograph(first, bytes("OB"), 2), nullptr);
}

}  // namespace
