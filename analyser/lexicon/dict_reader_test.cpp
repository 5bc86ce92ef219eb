#include "analyser/lexicon/dict_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/lexicon/lexicon.hpp"
#include "analyser/lexicon/test_support.hpp"
#include "test_support/streams.hpp"

namespace {
// One stored entry as text: word, category, value set bytes, label.
struct entry_image {
  std::string word;
  std::string category;
  std::vector<int> values;  // {-1} for no set
  std::string label;
  bool operator==(const entry_image&) const = default;
};

std::ostream& operator<<(std::ostream& os, const entry_image& e) {
  os << "{" << e.word << "|" << e.category << "|";
  for (int v : e.values) os << v << ",";
  return os << "|" << e.label << "}";
}

entry_image entry_of(const dict_entry* e) {
  entry_image result;
  result.word.assign(reinterpret_cast<const char*>(e->word), e->word_length);
  result.category.assign(reinterpret_cast<const char*>(e->category->name),
                         e->category->name_length);
  if (e->subcat_values == nullptr) {
    result.values = {-1};
  } else {
    result.values.assign(e->subcat_values, e->subcat_values + 1 + e->subcat_values[0]);
  }
  result.label = e->label;
  return result;
}

struct DictReader : ::testing::Test {
  captured_output out;
  lexicon_tables state;
  log_output log{out.file(), false};
  dict_entry* first = nullptr;

  std::vector<entry_image> read(const std::string& text) {
    memory_input file(text);
    clear_letter_index(state.lexicon_index);
    first = read_dict(state.storage, state.categories, file.file(), state.lexicon_index, log);
    std::vector<entry_image> entries;
    for (const dict_entry* e = first; e != nullptr; e = e->next) entries.push_back(entry_of(e));
    return entries;
  }
};

using entry_images = std::vector<entry_image>;

TEST_F(DictReader, FieldsOfALine) {
  EXPECT_EQ(read("HAUS=NOMN GEN(3)NUM(1,2)\n"), (entry_images{{"HAUS", "NOMN", {2, 0x04, 0x03}, ""}}));
  EXPECT_EQ(read("DER=DETX GEN(1):  best. Artikel\n"),
            (entry_images{{"DER", "DETX", {1, 0x01}, "best. Artikel"}}));
}

TEST_F(DictReader, ValueSetPresentOnlyWithSubcategoryText) {
  EXPECT_EQ(read("A=NOMN\nB=NOMN \n"), (entry_images{{"A", "NOMN", {-1}, ""}, {"B", "NOMN", {0}, ""}}));
}

TEST_F(DictReader, WordIsUpcasedCategoryAndLabelAreNot) {
  EXPECT_EQ(read("haus=Nomn:Klein\n{|}~=UMLT\n"),
            (entry_images{{"HAUS", "Nomn", {-1}, "Klein"}, {"[\\]^", "UMLT", {-1}, ""}}));
}

TEST_F(DictReader, ReadFromUtf8TheLettersOfIso88591AreUpcasedToo) {
  // The file as its UTF-8 reader hands it on: "café" with é as 0xE9.
  const std::string line = "caf\xE9 \xFF\xF7=NOMN:\xE9\n";
  EXPECT_EQ(read(line), (entry_images{{"CAF\xE9 \xFF\xF7", "NOMN", {-1}, "\xE9"}}));
  log.utf8 = true;
  EXPECT_EQ(read(line), (entry_images{{"CAF\xC9 \xFF\xF7", "NOMN", {-1}, "\xE9"}}));
}

TEST_F(DictReader, CategoryIsTheFourCharactersAfterTheEquals) {
  EXPECT_EQ(
      read("X=AB CD(1)\nY=AB:l\nZ=A B(2)\n"),
      (entry_images{{"X", "AB C", {1, 0x01}, ""}, {"Y", "AB", {-1}, "l"}, {"Z", "A B(", {0}, ""}}));
}

TEST_F(DictReader, BlankBeforeTheEqualsBelongsToTheWord) {
  EXPECT_EQ(read("HAUS =NOMN\n"), (entry_images{{"HAUS ", "NOMN", {-1}, ""}}));
  EXPECT_EQ(read("A:B=NOMN\n"), (entry_images{{"A:B", "NOMN", {-1}, ""}}));
}

TEST_F(DictReader, LabelLimit) {
  const std::string at_limit(kDictLabelLength, 'l');
  EXPECT_EQ(read("A=NOMN:" + at_limit + "\n")[0].label, at_limit);
  EXPECT_EQ(read("A=NOMN:" + at_limit + "m\n")[0].label, at_limit);
  EXPECT_EQ(read("A=NOMN: a b c d e f g h i j k l m\n")[0].label, "a b c d e f g h i ");
  EXPECT_EQ(read("A=NOMN:a$b=c:d\n")[0].label, "a$b=c:d");  // "$" and ":" are label text
}

TEST_F(DictReader, CrIsIgnoredEverywhere) {
  EXPECT_EQ(read("HA\rUS=NO\rMN (1)\r\n"), (entry_images{{"HAUS", "NOMN", {1, 0x01}, ""}}));
}

TEST_F(DictReader, LastLineWithoutLineEndIsStored) {
  EXPECT_EQ(read("A=NOMN\nZWEI=VERB (2)"),
            (entry_images{{"A", "NOMN", {-1}, ""}, {"ZWEI", "VERB", {1, 0x02}, ""}}));
  EXPECT_EQ(read("ZWEI=VERB:l\r"), (entry_images{{"ZWEI", "VERB", {-1}, "l"}}));
}

TEST_F(DictReader, CommentLinesVanish) {
  EXPECT_EQ(read("$ Kopf\nA=NOMN\n$\n$ Fuss"), (entry_images{{"A", "NOMN", {-1}, ""}}));
  EXPECT_EQ(read("$ nur\n$ Kommentare\n"), entry_images{});
  EXPECT_EQ(first, nullptr);
  for (dict_entry* slot : state.lexicon_index) EXPECT_EQ(slot, nullptr);
}

TEST_F(DictReader, LongCommentEndsAtItsLineEnd) {
  const std::string comment(99, 'x');
  EXPECT_EQ(read("$" + comment + "\nA=NOMN\n"), (entry_images{{"A", "NOMN", {-1}, ""}}));
  const std::string long_comment = std::string(99, 'x') + "WORT=NOMN";
  EXPECT_EQ(read("$" + long_comment + "\nA=NOMN\n"), (entry_images{{"A", "NOMN", {-1}, ""}}));
  EXPECT_EQ(read("B=NOMN $" + std::string(5000, 'y') + "=VERB\nA=NOMN\n"),
            (entry_images{{"B", "NOMN", {0}, ""}, {"A", "NOMN", {-1}, ""}}));
}

TEST_F(DictReader, CommentBehindAnEntryEndsItAtTheLineEnd) {
  EXPECT_EQ(read("HAUS=NOMN GEN(3) $ das Haus\nHUND=NOMN GEN(1)\n"),
            (entry_images{{"HAUS", "NOMN", {1, 0x04}, ""}, {"HUND", "NOMN", {1, 0x01}, ""}}));
  EXPECT_EQ(read("HAUS=NOMN$x"), (entry_images{{"HAUS", "NOMN", {-1}, ""}}));
}

TEST_F(DictReader, MalformedLinesAreSkippedWithAWarning) {
  EXPECT_EQ(read("A=NOMN\nohne gleich\n=NOMN\nB=\nC=:label\nD=VERB\n"),
            (entry_images{{"A", "NOMN", {-1}, ""}, {"D", "VERB", {-1}, ""}}));
  EXPECT_EQ(out.text(),
            "read_dict: line 2 skipped (no word, \"=\" or category)\n"
            "read_dict: line 3 skipped (no word, \"=\" or category)\n"
            "read_dict: line 4 skipped (no word, \"=\" or category)\n"
            "read_dict: line 5 skipped (no word, \"=\" or category)\n");
}

TEST_F(DictReader, EmptyAndBlankLinesAreSkippedSilently) {
  EXPECT_EQ(read("\nA=NOMN\n\r\n   \n  $ c\nB=NOMN\n\n"),
            (entry_images{{"A", "NOMN", {-1}, ""}, {"B", "NOMN", {-1}, ""}}));
  EXPECT_EQ(out.text(), "");
}

TEST_F(DictReader, WarningsCountPhysicalLines) {
  read("$ c\nA=NOMN $ c\nkaputt\n");
  EXPECT_EQ(out.text(), "read_dict: line 3 skipped (no word, \"=\" or category)\n");
}

TEST_F(DictReader, EveryEntryKnowsItsLine) {
  read("$ comment\nA=B\n\n  \nno equals\nC=D $ note\n\r\nE=F");
  std::vector<int> lines;
  for (const dict_entry* e = first; e != nullptr; e = e->next) lines.push_back(e->line);
  EXPECT_EQ(lines, (std::vector<int>{2, 6, 8}));
}

TEST_F(DictReader, SecondEqualsIsOrdinaryText) {
  EXPECT_EQ(read("A=B=CD(1)=\n"), (entry_images{{"A", "B=CD", {1, 0x01}, ""}}));
  EXPECT_EQ(read("A=NOMN:x=y\n")[0].label, "x=y");
}

TEST_F(DictReader, LongWordsAndSubcategoryTextsAreKeptWhole) {
  const std::string word(300, 'W');
  std::string groups;
  for (int i = 0; i < 30; ++i) groups += "GRP(1)";
  const entry_images got = read(word + "=NOMN " + groups + "\n");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].word, word);
  EXPECT_EQ(got[0].values.size(), 31u);
  EXPECT_EQ(got[0].values[0], 30);
}

TEST_F(DictReader, ZeroBytesAreStoredAsBytes) {
  const entry_images got = read(std::string("A\0B=NO\0N\n", 9));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].word, std::string("A\0B", 3));
  EXPECT_EQ(got[0].category, std::string("NO\0N", 4));
}

TEST_F(DictReader, IndexRefersToTheFirstLineOfEachLetter) {
  read("ABER=KONJ\nAUTO=NOMN\nAUTO=VERB\nhaus=NOMN\n{ber=PRAE\n1A=ZAHL\n");
  ASSERT_NE(state.lexicon_index['A' - 'A'], nullptr);
  EXPECT_EQ(state.lexicon_index['A' - 'A'], first);
  EXPECT_EQ(entry_of(state.lexicon_index['H' - 'A']).word, "HAUS");
  EXPECT_EQ(entry_of(state.lexicon_index['[' - 'A']).word, "[BER");
  EXPECT_EQ(state.lexicon_index['B' - 'A'], nullptr);
  // Two lines of one word follow each other in the list.
  EXPECT_EQ(entry_of(first->next).category, "NOMN");
  EXPECT_EQ(entry_of(first->next->next).category, "VERB");
}

TEST_F(DictReader, IndexSlotIsNeverMovedByALaterLine) {
  read("BAUM=NOMN\nAST=NOMN\nBAUM=VERB\n");
  EXPECT_EQ(state.lexicon_index['B' - 'A'], first);
}

TEST_F(DictReader, CategoriesAreInternedInOrderOfFirstUse) {
  put_category(state.categories, reinterpret_cast<const unsigned char*>("NOMN"), 4);
  const entry_images got = read("A=VERB\nB=NOMN\nC=VERB\n");
  std::vector<std::string> names;
  for (category_entry* c = state.categories.head; c != nullptr; c = c->next) {
    names.emplace_back(reinterpret_cast<const char*>(c->name), c->name_length);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"NOMN", "VERB"}));
  EXPECT_EQ(first->category, first->next->next->category);
}

TEST_F(DictReader, TraceEchoesAllButCrsAndComments) {
  log.trace = true;
  read("$ Kopf\nHAUS=NOMN\r\nDER=DETX $ Artikel\nX=Y:$l");
  EXPECT_EQ(out.text(), "HAUS=NOMN\nDER=DETX \nX=Y:$l");
}

TEST_F(DictReader, OutOfMemory) {
  state.storage.set_limit(1);
  EXPECT_EQ(test_support::fatal_text_of([&] { read("A=NOMN\n"); }), "read_dict: malloc Fehler");
}
}  // namespace
