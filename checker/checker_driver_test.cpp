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
      {"5", 5},
      {"7abc", 7},
      {" 12", 12},
      {"+6", 6},
      {"-2", -2},
      {"0", 0},
      {"x", {}},
      {"", {}},
      {"abc5", {}},
      {"-", {}},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
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

  // Runs the checker on `state`, its output captured and dropped.
  static int run(CheckerState& state, const std::vector<std::string>& arguments) {
    CapturedOutput captured;
    state.out = captured.file();
    const std::vector<const char*> argv = command_line(arguments);
    const int status = run_checker(state, static_cast<int>(argv.size()), argv.data());
    state.out = stdout;
    return status;
  }

  std::string directory;
};

TEST_F(RunChecker, StartsEachRunWithAnEmptyFrameTable) {
  const std::string lexicon = write_file("lexikon.txt", "A=NOMN GEN(1)\n");
  CheckerState stale;
  stale.frame_table = std::string("\x04NOMN\0", 6);  // would refuse GEN
  EXPECT_EQ(run(stale, {"-lexicon", "-i", lexicon}), 0);
  EXPECT_EQ(stale.frame_table, std::string("\x07NOMNGEN\0", 9));
}

TEST_F(RunChecker, OpensFileNamesOfAnyLength) {
  for (std::size_t length : {127u, 128u, 250u}) {
    const std::size_t prefix = directory.size() + 1;
    const std::string path = write_file(std::string(length - prefix - 4, 'n') + ".txt", "A=NOMN\n");
    ASSERT_EQ(path.size(), length);
    CheckerState state;
    EXPECT_EQ(run(state, {"-lexicon", "-i", path}), 0) << length;
    EXPECT_EQ(state.file_name, path);
  }
}

}  // namespace
