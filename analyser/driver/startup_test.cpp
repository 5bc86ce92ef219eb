#include "analyser/driver/startup.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/base/fatal_error.hpp"
#include "analyser/grammar/test_support.hpp"
#include "test_support/streams.hpp"

using namespace test_support;

namespace {
std::string item_of(const char* text, int* advance) {
  std::string item = "old";
  *advance = next_list_item(text, item);
  return item;
}

TEST(NextListItem, StopsAtCommaCrLfOrEnd) {
  int advance = 0;
  EXPECT_EQ(item_of("32,44", &advance), "32");
  EXPECT_EQ(advance, 3);
  EXPECT_EQ(item_of("44\n", &advance), "44");
  EXPECT_EQ(advance, 2);
  EXPECT_EQ(item_of("7\r\n", &advance), "7");
  EXPECT_EQ(advance, 1);
  EXPECT_EQ(item_of(",x", &advance), "");
  EXPECT_EQ(advance, 1);
  EXPECT_EQ(item_of("", &advance), "");
  EXPECT_EQ(advance, 0);
  const std::string long_item(100, '1');
  EXPECT_EQ(item_of(long_item.c_str(), &advance), long_item);
  EXPECT_EQ(advance, 100);
}

std::vector<int> codes_of(const std::string& line) {
  unsigned char set[kDelimiterSetSize];
  std::fill(std::begin(set), std::end(set), 0xAA);
  read_char_list(line.c_str(), set);
  std::vector<int> codes;
  for (int i = 0; i < kDelimiterSetSize && set[i] != 0; ++i) codes.push_back(set[i]);
  return codes;
}

TEST(ReadCharList, DecodesTheDelimiterLine) {
  struct row {
    const char* line;
    std::vector<int> codes;
  };
  const std::vector<row> rows = {
      {"32,44,46\n", {32, 44, 46}},
      {"32,44,\n", {32, 44}},  // a comma before the line end adds nothing
      {"32,44,\r\n", {32, 44}},
      {"32", {32}},  // no line end at all
      {" 32, 44x,+46\n", {32, 44, 46}},
      {"32,0,44\n", {32}},      // the code 0 ends the set
      {"288,-1\n", {32, 255}},  // the low 8 bits
      {"32,,44\n", {32, 44}},   // an empty item adds nothing
      {"x,32\n", {32}},         // so does an item without a number
      {"\n", {}},
      {"", {}},
      {"32,32,44,32\n", {32, 44}},  // repeated codes are members once
  };
  for (const row& row : rows) EXPECT_EQ(codes_of(row.line), row.codes) << row.line;
}

TEST(ReadCharList, EveryCodeFitsAndAllRepeatsAreHarmless) {
  std::string line;
  std::vector<int> all;
  for (int round = 0; round < 3; ++round) {
    for (int code = 1; code < 256; ++code) line += std::to_string(code) + ",";
  }
  for (int code = 1; code < 256; ++code) all.push_back(code);
  EXPECT_EQ(codes_of(line + "\n"), all);
}

// A scratch directory holding a complete, valid set of start-up files.
struct Startup : ::testing::Test {
  scratch_directory dir;
  captured_output out;
  analyser_state state;

  Startup() {
    state.out = out.file();
    state.config_file_name = "conf";
    dir.write("conf", "msg\n32,44\n46\nrules\nlex\nend\n");
    dir.write("msg", "3 R\n4 L\n5 E\n");
    dir.write("rules", "ABCD+EFGH=IJKL;.\n");
    dir.write("lex", "HAUS=NOMN\n");
    dir.write("end", "EN=ENDG\n");
  }

  // Runs the start-up; returns the fatal text, or "" when it returned.
  std::string run() {
    try {
      initialize_everything(state);
    } catch (const fatal_end& end) {
      return end.text;
    }
    return "";
  }
};

TEST_F(Startup, LoadsEverythingInOrder) {
  ASSERT_EQ(run(), "");
  EXPECT_EQ(out.text(), "RLE");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(state.word_end_chars)), " ,");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(state.sentence_end_chars)), ".");
  ASSERT_NE(state.grammar.rule_list, nullptr);
  EXPECT_EQ(state.grammar.rule_index['A' - 'A'], state.grammar.rule_list);
  ASSERT_NE(state.lexicon.lexicon_index['H' - 'A'], nullptr);
  ASSERT_NE(state.lexicon.endings_list, nullptr);
  EXPECT_EQ(state.lexicon.endings_index['E' - 'A'], state.lexicon.endings_list);
  // Categories in order of first use: rules, lexicon, endings.
  const char* expected[] = {"ABCD", "EFGH", "IJKL", "NOMN", "ENDG"};
  category_entry* c = state.lexicon.categories.head;
  for (const char* name : expected) {
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(c->name), c->name_length), name);
    c = c->next;
  }
  EXPECT_EQ(c, nullptr);
}

TEST_F(Startup, TraceLinesInTheirOrder) {
  state.trace_flag = 1;
  ASSERT_EQ(run(), "");
  EXPECT_EQ(without_identities(out.text()),
            "in initialize_everything()\n"
            "in initialize_everything(): config.file conf read\n"
            "3 R\n4 L\n5 E\n"
            "in initialize_everything(): messages read\n"
            "in initialize_everything(): word delimiters read\n"
            "in initialize_everything(): sentence delimiters read\n"
            "read_grammar(): file=rules\n\n"
            "\n"
            "\n   1 ABCD+\n\tEFGH=\n\tIJKL;\n\t. --- PTR"
            "R"
            "in initialize_everything(): grammar read\n"
            "HAUS=NOMN\nL"
            "EN=ENDG\nE");
}

TEST_F(Startup, EachFailureStopsWithItsOwnText) {
  struct row {
    const char* config;
    const char* text;
  };
  const row rows[] = {
      {"", "Message file"},
      {"nomsg\n", "Message file"},
      {"msg\n", "Error config. file: word end chars"},
      {"msg\n32\n", "Error config.file: sentence delimiter chars"},
      {"msg\n32\n46\n", "no entry for grammar file in the confi.file"},
      {"msg\n32\n46\nnorules\n", "Regeln: Dateifehler"},
      {"msg\n32\n46\nrules\n", "Konf.Fehler"},
      {"msg\n32\n46\nrules\nnolex\n", "lexicon file error (not found)"},
      {"msg\n32\n46\nrules\nlex\n", "Konf.Fehler"},
      {"msg\n32\n46\nrules\nlex\nnoend\n", "error endings file (not found)"},
  };
  for (const row& row : rows) {
    dir.write("conf", row.config);
    analyser_state fresh;
    captured_output captured;
    fresh.out = captured.file();
    fresh.config_file_name = "conf";
    std::string text;
    try {
      initialize_everything(fresh);
    } catch (const fatal_end& end) {
      text = end.text;
    }
    EXPECT_EQ(text, row.text) << row.config;
  }
}

TEST_F(Startup, NameEndsAtItsFirstControlCharacter) {
  state.config_file_name = "conf\tignored";
  EXPECT_EQ(run(), "");
}

TEST_F(Startup, NameIsAskedForOnTheConsole) {
  state.config_file_name.clear();
  memory_input console("conf\r\n");
  state.console = console.file();
  EXPECT_EQ(run(), "");
  EXPECT_EQ(out.text(), "\nName configuration file:RLE");
}

TEST_F(Startup, NameLinesInCrLfFilesAndLongNames) {
  const std::string long_name(200, 'l');  // longer than any fixed name buffer
  dir.write(long_name, "HAUS=NOMN\n");
  dir.write("conf", "msg\r\n32\r\n46\r\nrules\r\n" + long_name + "\r\nend");
  ASSERT_EQ(run(), "");
  EXPECT_NE(state.lexicon.lexicon_index['H' - 'A'], nullptr);
  ASSERT_NE(state.lexicon.endings_list, nullptr);  // the last line keeps its last character
}
}  // namespace
