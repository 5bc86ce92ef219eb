#include "checker/checker_driver.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "checker/checker_test_support.hpp"

namespace {

const std::string kUsage =
    "Version 6 09-2002  -  Qx\nusage: Quelvint [-lexicon] [-rules] -i file\n";

// The argument vector of `arguments`; it points into them.
std::vector<const char*> command_line(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"Quelvint"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  return argv;
}

CheckerState scanned(const std::vector<std::string>& arguments) {
  CheckerState state;
  const std::vector<const char*> argv = command_line(arguments);
  scan_command_line(state, static_cast<int>(argv.size()), argv.data());
  return state;
}

// ---- the command line

TEST(ScanCommandLine, ComparesEveryArgumentValuesIncluded) {
  CheckerState state = scanned({"-i", "-rules"});
  EXPECT_EQ(state.file_name, "-rules");
  EXPECT_EQ(state.check_mode, CheckMode::rules);

  state = scanned({"-lexicon", "-rules", "-i", "regeln.txt"});
  EXPECT_EQ(state.check_mode, CheckMode::rules);
  EXPECT_EQ(state.file_name, "regeln.txt");

  state = scanned({"-rules", "-lexicon"});
  EXPECT_EQ(state.check_mode, CheckMode::lexicon);

  state = scanned({"-h", "-lexicon"});  // not a number, but an option
  EXPECT_EQ(state.expected_category_length, 4);
  EXPECT_EQ(state.check_mode, CheckMode::lexicon);
}

TEST(ScanCommandLine, IgnoresWhatItDoesNotKnow) {
  const CheckerState state = scanned({"-Rules", "-LEXICON", "lexikon.txt", "-x", "-"});
  EXPECT_EQ(state.check_mode, CheckMode::none);
  EXPECT_EQ(state.file_name, "");
  EXPECT_EQ(state.expected_category_length, 4);
  EXPECT_EQ(state.expected_group_name_length, 3);
}

TEST(ScanCommandLine, ReadsANumberFromTheFrontOfTheValue) {
  struct Row {
    std::string value;
    std::optional<int> number;  // none: the setting keeps its value
  };
  const Row rows[] = {
      {"5", 5},  {"7abc", 7},  {" 12", 12},     {"+6", 6},   {"-2", -2},
      {"0", 0},  {"x", {}},    {"", {}},        {"abc5", {}}, {"-", {}},
      {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(scanned({"-h", row.value}).expected_category_length, row.number.value_or(4))
        << row.value;
    EXPECT_EQ(scanned({"-u", row.value}).expected_group_name_length, row.number.value_or(3))
        << row.value;
  }
}

TEST(ScanCommandLine, TakesTheLastValueOfARepeatedOption) {
  const CheckerState state = scanned({"-i", "a.txt", "-h", "5", "-i", "b.txt", "-h", "6"});
  EXPECT_EQ(state.file_name, "b.txt");
  EXPECT_EQ(state.expected_category_length, 6);
}

TEST(ScanCommandLine, AnOptionStandingLastChangesNothing) {
  EXPECT_EQ(scanned({"-i", "a.txt", "-i"}).file_name, "a.txt");
  EXPECT_EQ(scanned({"-h", "5", "-h"}).expected_category_length, 5);
  EXPECT_EQ(scanned({"-u"}).expected_group_name_length, 3);
}

// ---- whole runs

class RunChecker : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quelvint-driver-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(directory); }

  std::string write_file(const std::string& name, const std::string& content) {
    const std::string path = directory + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  // Runs the checker; the status is -1 when a check ended the run.
  int run(const std::vector<std::string>& arguments) {
    CapturedOutput captured;
    state = state_writing_to(captured.file());
    const std::vector<const char*> argv = command_line(arguments);
    int status = 0;
    try {
      status = run_checker(state, static_cast<int>(argv.size()), argv.data());
    } catch (const CheckerEnd& end) {
      status = end.status;
    }
    output = captured.text();
    state.out = stdout;
    return status;
  }

  std::string directory;
  CheckerState state;
  std::string output;
};

TEST_F(RunChecker, TestsTheModeBeforeTheFileName) {
  EXPECT_EQ(run({}), 3);
  EXPECT_EQ(output, kUsage + "ERROR: no mode specified\n");
  EXPECT_EQ(run({"-i", "lexikon.txt"}), 3);
  EXPECT_EQ(output, kUsage + "ERROR: no mode specified\n");
}

TEST_F(RunChecker, NeedsAFileName) {
  EXPECT_EQ(run({"-lexicon"}), 1);
  EXPECT_EQ(output, kUsage + "ERROR: no filename specified\n");
  EXPECT_EQ(run({"-rules", "-i", ""}), 1);
  EXPECT_EQ(run({"-rules", "-i"}), 1);
}

TEST_F(RunChecker, ReportsAFileItCannotOpenOrRead) {
  EXPECT_EQ(run({"-rules", "-i", directory + "/missing.txt"}), 2);
  EXPECT_EQ(output, kUsage + "ERROR:cannot open the input file\n");
  EXPECT_EQ(run({"-lexicon", "-i", directory}), 2);  // a directory opens but cannot be read
  EXPECT_EQ(output, kUsage + "\n\tcheck lexicon...\n\nERROR:cannot open the input file\n");
}

TEST_F(RunChecker, ClosesACorrectFileWithItsCount) {
  const std::string lexicon = write_file("lexikon.txt", "A=NOMN\nB=NOMN\n");
  EXPECT_EQ(run({"-lexicon", "-i", lexicon}), 0);
  EXPECT_EQ(output, kUsage + "\n\tcheck lexicon...\n\nA=NOMN\n\nB=NOMN\n\n\nOK: 2 entries\n");
  const std::string rules = write_file("regeln.txt", "AAAA=BBBB;.");
  EXPECT_EQ(run({"-rules", "-i", rules}), 0);
  EXPECT_EQ(output, kUsage + "\n\tcheck rules...\n\n\nAAAA=\nBBBB;\n.\n\nOK: 1 rules\n");
}

TEST_F(RunChecker, WritesNoClosingLineForAFileWithoutEntries) {
  const std::string empty = write_file("leer.txt", "");
  EXPECT_EQ(run({"-lexicon", "-i", empty}), 0);
  EXPECT_EQ(output, kUsage + "\n\tcheck lexicon...\n\n");
  const std::string comments = write_file("kommentar.txt", "$ nothing yet\n");
  EXPECT_EQ(run({"-rules", "-i", comments}), 0);
  EXPECT_EQ(output, kUsage + "\n\tcheck rules...\n\n\n$ nothing yet\n");
}

TEST_F(RunChecker, EndsWithMinusOneAtTheFirstError) {
  const std::string lexicon = write_file("lexikon.txt", "A=NOM\nB=NOMN\n");
  EXPECT_EQ(run({"-lexicon", "-i", lexicon}), -1);
  EXPECT_EQ(output, kUsage + "\n\tcheck lexicon...\n\nA=NOM\n\n\n+++++ length main category ++++++\n");
}

TEST_F(RunChecker, StartsEachRunWithAnEmptyFrameTable) {
  const std::string lexicon = write_file("lexikon.txt", "A=NOMN GEN(1)\n");
  CapturedOutput captured;
  CheckerState stale = state_writing_to(captured.file());
  stale.frame_table = std::string("\x04NOMN\0", 6);  // would refuse GEN
  const std::vector<std::string> arguments{"-lexicon", "-i", lexicon};
  const std::vector<const char*> argv = command_line(arguments);
  EXPECT_EQ(run_checker(stale, static_cast<int>(argv.size()), argv.data()), 0);
  EXPECT_EQ(stale.frame_table, std::string("\x07NOMNGEN\0", 9));
}

TEST_F(RunChecker, OpensFileNamesOfAnyLength) {
  for (std::size_t length : {127u, 128u, 250u}) {
    const std::size_t prefix = directory.size() + 1;
    const std::string path = write_file(std::string(length - prefix - 4, 'n') + ".txt", "A=NOMN\n");
    ASSERT_EQ(path.size(), length);
    EXPECT_EQ(run({"-lexicon", "-i", path}), 0) << length;
    EXPECT_EQ(state.file_name, path);
  }
}

TEST_F(RunChecker, TakesTheLengthsFromTheCommandLine) {
  const std::string lexicon = write_file("lexikon.txt", "A=NOMNX GE(1)\n");
  EXPECT_EQ(run({"-h", "5", "-u", "2", "-lexicon", "-i", lexicon}), 0);
  EXPECT_EQ(run({"-h", "five", "-u", "2", "-lexicon", "-i", lexicon}), -1);
}

}  // namespace
