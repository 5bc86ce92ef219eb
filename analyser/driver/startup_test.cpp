#include "analyser/driver/startup.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/base/fatal_error.hpp"
#include "analyser/grammar/test_support.hpp"
#include "test_support/streams.hpp"

using namespace test_support;

namespace {
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
  EXPECT_EQ(std::string(reinterpret_cast<char*>(state.loaded.word_end_chars)), " ,");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(state.loaded.sentence_end_chars)), ".");
  ASSERT_NE(state.loaded.grammar.rule_list, nullptr);
  EXPECT_EQ(state.loaded.grammar.rule_index['A' - 'A'], state.loaded.grammar.rule_list);
  ASSERT_NE(state.loaded.lexicon.lexicon_index['H' - 'A'], nullptr);
  ASSERT_NE(state.loaded.lexicon.endings_list, nullptr);
  EXPECT_EQ(state.loaded.lexicon.endings_index['E' - 'A'], state.loaded.lexicon.endings_list);
  // Categories in order of first use: rules, lexicon, endings.
  const char* expected[] = {"ABCD", "EFGH", "IJKL", "NOMN", "ENDG"};
  category_entry* c = state.loaded.lexicon.categories.head;
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
  EXPECT_NE(state.loaded.lexicon.lexicon_index['H' - 'A'], nullptr);
  ASSERT_NE(state.loaded.lexicon.endings_list, nullptr);  // the last line keeps its last character
}
}  // namespace
