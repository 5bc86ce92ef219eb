#include "analyser/lexicon/lex_analysis.hpp"

#include <gtest/gtest.h>

#include "analyser/lexicon/test_support.hpp"

using namespace test_support;

namespace {

// Blank and comma as word delimiters, and a small lexicon and endings file.
class LexAnalysis : public ::testing::Test {
 protected:
  void SetUp() override {
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

  int analyse(const std::string& sentence) {
    sentence_text = sentence;
    result = lex_analysis(state, delimiters, byte_data(sentence_text));
    return result.word_count;
  }

  // The readings as "CATEGORY position label", separated by " | ".
  std::string readings() const {
    std::string text;
    for (const word_reading& r : result.readings) {
      const category_entry& c = *r.entry->category;
      if (!text.empty()) text += " | ";
      text += std::string(reinterpret_cast<const char*>(c.name), c.name_length) + " " +
              std::to_string(r.position) + " " + std::string(r.label);
    }
    return text;
  }

  // The words as "TEXT@position", a split word as "STEM+ENDING@position".
  std::string words() const {
    std::string text;
    for (const sentence_word& w : result.words) {
      std::string word(reinterpret_cast<const char*>(w.text), w.length);
      if (w.stem_length > 0) word.insert(w.stem_length, "+");
      text += (text.empty() ? "" : " ") + word + "@" + std::to_string(w.position);
    }
    return text;
  }

  std::string unknown() const {
    return std::string(reinterpret_cast<const char*>(result.unknown.text), result.unknown.length);
  }

  lexicon_tables state;
  dict_entry* lexicon_list = nullptr;
  const unsigned char delimiters[3] = {' ', ',', 0};
  std::string sentence_text;
  sentence_words result;
};

TEST_F(LexAnalysis, WordsPositionsAndReadings) {
  struct row {
    const char* sentence;
    int result;
    const char* readings;
  } rows[] = {
      {"", 0, ""},
      {" ", 0, ""},
      {" , ,  ", 0, ""},
      {"HAUS ", 1, "NOUN 1 haus"},
      {",,HAUS,, HUND  ", 2, "NOUN 1 haus | NOUN 2 "},
      {"DER HAUS ", 2, "DETX 1 der-m | DETX 1 der-f | PRON 1 der-p | NOUN 2 haus"},
      // A word not closed by a delimiter is not analysed.
      {"HAUS HUND", 1, "NOUN 1 haus"},
      // Numbers: the first NULL entry, the number's text as label.
      {"42 ", 1, "ZAHL 1 42"},
      {"3D HAUS ", 2, "ZAHL 1 3D | NOUN 2 haus"},
      {"123456789012345678901234567890 ", 1, "ZAHL 1 123456789012345678901234567890"},
      // Found whole: never split, although HUND + E would do.
      {"HUNDE ", 1, "NOUN 1 "},
      // Stem and ending: two positions, the next word two further on.
      {"KATZE HAUS ", 3, "NOUN 1  | ENDG 2  | NOUN 3 haus"},
      // SEHE + N fails, SEH + EN is found.
      {"SEHEN ", 2, "VERB 1  | ENDG 2 "},
      // All readings of the ending, in lexicon order.
      {"HAUSS ", 2, "NOUN 1  | ENDG 2  | ENDX 2 "},
      // A word of four characters only as three plus one; three or fewer never.
      {"SEHN ", 2, "VERB 1  | ENDG 2 "},
      {"DAEN ", -1, ""},
      {"DAS ", -1, ""},
  };
  for (const row& r : rows) {
    EXPECT_EQ(analyse(r.sentence), r.result) << r.sentence;
    if (r.result >= 0) {
      EXPECT_EQ(readings(), r.readings) << r.sentence;
    }
  }
}

TEST_F(LexAnalysis, WordsKeepTheirTextPositionAndSplit) {
  EXPECT_EQ(analyse("DER KATZEN SEHEN 42 "), 6);
  EXPECT_EQ(words(), "DER@1 KATZ+EN@2 SEH+EN@4 42@6");
}

TEST_F(LexAnalysis, ShortestEndingFirst) {
  lexicon("SEHE", "VERB (8)");
  // Now SEHE + N is found before SEH + EN is tried.
  EXPECT_EQ(analyse("SEHEN "), 2);
  EXPECT_EQ(result.readings.front().entry->subcat_values[1], 0x80);
  EXPECT_EQ(result.readings.back().entry->subcat_values[1], 0x04);
  // TRABE is no stem, so TRAB + EN.
  lexicon("TRAB", "VERB (1)");
  EXPECT_EQ(analyse("TRABEN "), 2);
  EXPECT_EQ(words(), "TRAB+EN@1");
}

TEST_F(LexAnalysis, EndingMissingFromTheLexiconGivesNoSplit) {
  lexicon("WAR", "VERB");
  EXPECT_EQ(analyse("WART "), -1);  // T is an ending but no lexicon word
}

TEST_F(LexAnalysis, WordNotFoundEndsTheSentence) {
  EXPECT_EQ(analyse("HAUS XYZZY HUND "), -1);
  EXPECT_EQ(unknown(), "XYZZY");
  EXPECT_EQ(readings(), "NOUN 1 haus");  // nothing for HUND
  EXPECT_EQ(words(), "HAUS@1");
}

TEST_F(LexAnalysis, WordWithoutIndexSlotIsNotFound) {
  lexicon("!BANG", "NOUN");  // stored, but no slot can lead to it
  for (const char* word : {"!BANG", "\xC4RGER", "@", "`"}) {
    EXPECT_EQ(analyse(std::string(word) + " "), -1) << word;
    EXPECT_EQ(unknown(), word);
  }
}

// Every split tried, as "STEM+ENDING stem-found ending-found".
TEST_F(LexAnalysis, SplitAttemptsListEveryFittingEndingShortestFirst) {
  const auto attempts = [](const lexicon_tables& lexicon, const std::string& word) {
    std::string text;
    for (const split_attempt& a : split_attempts(lexicon, byte_data(word), byte_count(word))) {
      text += (text.empty() ? "" : " ") + word.substr(0, a.stem_length) + "+" +
              std::string(text_view(a.ending->word, a.ending->word_length)) +
              " " + std::to_string(a.stem_found) + std::to_string(a.ending_found);
    }
    return text;
  };
  // KATZE is no word, N is; KATZ and EN both are. Found or not, each is listed.
  EXPECT_EQ(attempts(state, "KATZEN"), "KATZE+N 01 KATZ+EN 11");
  EXPECT_EQ(attempts(state, "WART"), "WAR+T 00");
  EXPECT_EQ(attempts(state, "DAS"), "");     // no stem of three bytes is left
  EXPECT_EQ(attempts(state, "HAUSX"), "");  // no ending fits
}

TEST_F(LexAnalysis, NumberWithoutNullEntryStopsTheSentence) {
  lexicon_tables bare;
  const unsigned char blank[] = {' ', 0};
  const sentence_words words = lex_analysis(bare, blank, byte_data("7 X "));
  EXPECT_TRUE(words.number_without_entry);
  EXPECT_EQ(words.word_count, -1);
  EXPECT_EQ(text_view(words.unknown.text, words.unknown.length), "7");
  EXPECT_TRUE(words.readings.empty());
}

TEST(DictLookup, ScansTheRunOfTheFirstLetter) {
  lexicon_tables state;
  letter_index index = {};
  dict_entry* list = nullptr;
  dict_entry* ab = add_entry(state, index, list, "AB", "XXXX");
  dict_entry* abc1 = add_entry(state, index, list, "ABC", "XXXX");
  dict_entry* abc2 = add_entry(state, index, list, "ABC", "YYYY");
  add_entry(state, index, list, "B", "XXXX");
  add_entry(state, index, list, "AZ", "XXXX");  // out of order: behind a later letter
  EXPECT_EQ(dict_lookup(index, byte_data("AB"), 2), ab);
  EXPECT_EQ(dict_lookup(index, byte_data("ABC"), 3), abc1);
  EXPECT_EQ(dict_lookup(index, byte_data("ABCD"), 4), nullptr);
  EXPECT_EQ(dict_lookup(index, byte_data("A"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, byte_data("AZ"), 2), nullptr);
  EXPECT_EQ(dict_lookup(index, byte_data("C"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, byte_data("@"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, byte_data("a"), 1), nullptr);
  EXPECT_EQ(dict_lookup(index, byte_data(""), 0), nullptr);
  EXPECT_EQ(next_homograph(abc1, byte_data("ABC"), 3), abc2);
  EXPECT_EQ(next_homograph(abc2, byte_data("ABC"), 3), nullptr);
  EXPECT_EQ(next_homograph(ab, byte_data("AB"), 2), nullptr);
  EXPECT_EQ(next_homograph(abc1, byte_data(""), 0), nullptr);  // an empty word has none
  EXPECT_EQ(entry_matches(ab, byte_data("ABC"), 2), ab);
  EXPECT_EQ(entry_matches(ab, byte_data("ABC"), 3), nullptr);
}

TEST(DictLookup, HomographsMustStandTogether) {
  lexicon_tables state;
  letter_index index = {};
  dict_entry* list = nullptr;
  dict_entry* first = add_entry(state, index, list, "OB", "XXXX");
  add_entry(state, index, list, "OBST", "XXXX");
  add_entry(state, index, list, "OB", "YYYY");
  EXPECT_EQ(dict_lookup(index, byte_data("OB"), 2), first);
  EXPECT_EQ(next_homograph(first, byte_data("OB"), 2), nullptr);
}

}  // namespace
