#include "checker/grammar_run.hpp"

#include <gtest/gtest.h>

#include <string>

#include "test_support/streams.hpp"

namespace {

class RunGrammarCheck : public ::testing::Test {
 protected:
  // Writes the configuration "g.cfg" and the files it names.
  void write_grammar(const std::string& rules, const std::string& lexicon,
                     const std::string& endings) {
    directory.write("g.cfg", "m.txt\n32\n46\nr.txt\nl.txt\ne.txt\n");
    directory.write("m.txt", "");
    directory.write("r.txt", rules);
    directory.write("l.txt", lexicon);
    directory.write("e.txt", endings);
  }

  // The output of a run on "g.cfg"; its status in `status`.
  std::string run(checker_state settings, int& status) {
    captured_output output;
    settings.out = output.file();
    settings.config_name = "g.cfg";
    status = run_grammar_check(settings);
    return output.text();
  }

  scratch_directory directory;
};

TEST_F(RunGrammarCheck, ReportsEachFileThenTheGrammarThenTheTally) {
  write_grammar("AAAA + BBBB = SATZ;.\nAA = SATZ;.\n", "A=AAAA\nB=BBB\nx=BBBB\n", "A=ENDG\nZ=ENDG\n");
  int status = 0;
  EXPECT_EQ(run(checker_state(), status),
            "r.txt:2:3: error: length of main category\n"
            "l.txt:2:6: error: length main category\n"
            "r.txt:2:1: error: no lexicon entry has the category AA and no rule makes it: rule 2 "
            "can never apply\n"
            "l.txt:2:3: warning: no rule uses the category BBB and it is not the start category "
            "SATZ: its words never join a complete analysis\n"
            "e.txt:2:1: warning: the ending Z is no word of the lexicon, which gives an ending its "
            "readings: it is never cut off\n"
            "3 errors, 2 warnings\n");
  EXPECT_EQ(status, kStatusSyntaxError);
}

TEST_F(RunGrammarCheck, PassesWithWarningsUnlessTheyCountAsErrors) {
  write_grammar("AAAA = SATZ;.\n", "A=AAAA\n", "E=ENDG\n");
  const std::string warning =
      "e.txt:1:1: %s: the ending E is no word of the lexicon, which gives an ending its readings: "
      "it is never cut off\n";
  const auto with = [&](const char* level) {
    std::string line = warning;
    return line.replace(line.find("%s"), 2, level);
  };
  checker_state settings;
  int status = -9;
  EXPECT_EQ(run(settings, status), with("warning") + "0 errors, 1 warning\n");
  EXPECT_EQ(status, kStatusCorrect);
  settings.warnings_as_errors = true;
  EXPECT_EQ(run(settings, status), with("error") + "1 error, 0 warnings\n");
  EXPECT_EQ(status, kStatusSyntaxError);
}

TEST_F(RunGrammarCheck, LimitsTheReportsOfEachCheckAndCountsThemAll) {
  write_grammar("A = SATZ;.\nB = SATZ;.\nC = SATZ;.\n", "A=A\n", "X=ENDG\nY=ENDG\nZ=ENDG\n");
  checker_state settings;
  settings.max_errors = 1;
  int status = 0;
  const std::string output = run(settings, status);
  EXPECT_EQ(output.substr(0, output.find('\n') + 1), "r.txt:1:2: error: length of main category\n");
  EXPECT_NE(output.find("\n... 2 more errors in r.txt\nl.txt:1:4: error: length main category\n"),
            std::string::npos);
  EXPECT_NE(output.find("\n... 4 more findings across the files\n6 errors, 3 warnings\n"),
            std::string::npos)
      << output;
}

TEST_F(RunGrammarCheck, ReportsEveryFindingWithoutALimit) {
  write_grammar("A = SATZ;.\nB = SATZ;.\n", "A=A\n", "X=ENDG\nY=ENDG\n");
  checker_state settings;
  settings.max_errors = 0;
  int status = 0;
  const std::string output = run(settings, status);
  EXPECT_EQ(output.find("... "), std::string::npos) << output;
  EXPECT_NE(output.find("r.txt:2:2: error: length of main category\n"), std::string::npos);
  EXPECT_NE(output.find("e.txt:2:1: warning: the ending Y"), std::string::npos) << output;
  EXPECT_EQ(status, kStatusSyntaxError);
}

TEST_F(RunGrammarCheck, TakesTheNamesAsTheAnalyserReadsThem) {
  write_grammar("AAAA = SATZ;.\n", "A=AAAA\n", "");
  int status = -9;
  // CR LF line ends, an empty line where the delimiters would be, a last line without its end.
  directory.write("g.cfg", "m.txt\r\n\n46\r\nr.txt\r\nl.txt\ne.txt");
  EXPECT_EQ(run(checker_state(), status), "0 errors, 0 warnings\n");
  EXPECT_EQ(status, kStatusCorrect);
  // The message file is opened too, though nothing here reads it.
  directory.write("g.cfg", "missing.txt\n32\n46\nr.txt\nl.txt\ne.txt\n");
  EXPECT_EQ(run(checker_state(), status),
            "ERROR: cannot open the message file missing.txt (g.cfg:1)\n");
  EXPECT_EQ(status, kStatusCannotOpen);
}

// A name may hold any byte of its file; a report shows control bytes, so a
// NUL does not cut it short.
TEST_F(RunGrammarCheck, ShowsTheControlBytesOfANameInAReport) {
  write_grammar("AAAA = SATZ;.\n", std::string("A=AAAA\nB=\x01\0\tB\n", 14), "");
  int status = 0;
  const std::string output = run(checker_state(), status);
  EXPECT_NE(output.find("l.txt:2:3: warning: no rule uses the category \\x01\\x00\tB and"),
            std::string::npos)
      << output;
}

TEST_F(RunGrammarCheck, ReadsUtf8FilesAndPassesOverTheirFaults) {
  write_grammar("ÄHRE = SATZ;.\n", "Ä\xff=ÄHRE\n", "");
  checker_state settings;
  settings.utf8_text = true;
  int status = 0;
  EXPECT_EQ(run(settings, status),
            "l.txt:1:2: error: invalid UTF-8 (byte never used in UTF-8): bytes FF\n"
            "1 error, 0 warnings\n");
}

}  // namespace
