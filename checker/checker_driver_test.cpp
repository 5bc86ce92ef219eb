#include "checker/checker_driver.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

checker_state scanned(const std::vector<std::string>& arguments) {
  checker_state state;
  const std::vector<const char*> argv = command_line(arguments);
  scan_command_line(state, static_cast<int>(argv.size()), argv.data());
  return state;
}

// ---- the command line

TEST(ScanCommandLine, ComparesEveryArgumentValuesIncluded) {
  checker_state state = scanned({"-i", "-rules"});
  EXPECT_EQ(state.file_name, "-rules");
  EXPECT_EQ(state.check_mode, file_kind::rules);

  state = scanned({"-lexicon", "-rules", "-i", "regeln.txt"});
  EXPECT_EQ(state.check_mode, file_kind::rules);
  EXPECT_EQ(state.file_name, "regeln.txt");

  state = scanned({"-rules", "-lexicon"});
  EXPECT_EQ(state.check_mode, file_kind::lexicon);

  state = scanned({"-h", "-lexicon"});  // not a number, but an option
  EXPECT_EQ(state.expected_category_length, 4);
  EXPECT_EQ(state.check_mode, file_kind::lexicon);
}

TEST(ScanCommandLine, IgnoresWhatItDoesNotKnow) {
  const checker_state state = scanned({"-Rules", "-LEXICON", "lexikon.txt", "-x", "-"});
  EXPECT_EQ(state.check_mode, file_kind::none);
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
  const checker_state state = scanned({"-i", "a.txt", "-h", "5", "-i", "b.txt", "-h", "6"});
  EXPECT_EQ(state.file_name, "b.txt");
  EXPECT_EQ(state.expected_category_length, 6);
}

TEST(ScanCommandLine, AnOptionStandingLastChangesNothing) {
  EXPECT_EQ(scanned({"-i", "a.txt", "-i"}).file_name, "a.txt");
  EXPECT_EQ(scanned({"-h", "5", "-h"}).expected_category_length, 5);
  EXPECT_EQ(scanned({"-u"}).expected_group_name_length, 3);
}

// ---- the options added to the first five

TEST(ScanCommandLine, TakesTheAddedOptionsAnywhereButAsAValue) {
  checker_state state = scanned({"-all", "-lexicon", "-gnu", "-utf8", "-max-errors", "7"});
  EXPECT_TRUE(state.all_errors && state.gnu_form && state.utf8_text);
  EXPECT_EQ(state.max_errors, 7);
  EXPECT_FALSE(state.max_errors_unreadable);

  // Behind an option that takes a value they stay what they were before:
  // a file name, or a value that is not a number.
  state = scanned({"-i", "-gnu", "-h", "-all", "-u", "-utf8", "-max-errors", "-all"});
  EXPECT_EQ(state.file_name, "-gnu");
  EXPECT_FALSE(state.gnu_form || state.all_errors || state.utf8_text);
  EXPECT_TRUE(state.max_errors_unreadable);
  state = scanned({"-i", "-max-errors", "5"});
  EXPECT_EQ(state.file_name, "-max-errors");
  EXPECT_EQ(state.max_errors, kDefaultMaxErrors);
}

TEST(ScanCommandLine, TakesTheGrammarOptionsWithTheirValues) {
  checker_state state = scanned({"-c", "-all", "-a", "-gnu", "-Werror", "--help"});
  EXPECT_TRUE(state.grammar_mode && state.warnings_as_errors && state.help);
  EXPECT_EQ(state.config_name, "-all");
  EXPECT_EQ(state.start_category, "-gnu");
  EXPECT_FALSE(state.all_errors || state.gnu_form);

  // Behind an option that takes a value they are that value; the first five
  // options are compared even there.
  state = scanned({"-i", "-c", "-rules", "-c", "-lexicon"});
  EXPECT_EQ(state.file_name, "-c");
  EXPECT_EQ(state.config_name, "-lexicon");
  EXPECT_EQ(state.check_mode, file_kind::lexicon);

  state = scanned({"-a"});  // no value: the default stays
  EXPECT_EQ(state.start_category, "SATZ");
  state = scanned({"-c"});
  EXPECT_TRUE(state.grammar_mode);
  EXPECT_EQ(state.config_name, "");
}

TEST(ScanCommandLine, TakesOnlyDigitsAsTheNumberOfReports) {
  const std::pair<std::vector<std::string>, long long> readable[] = {
      {{"-max-errors", "0"}, 0},
      {{"-max-errors", "007"}, 7},
      {{"-max-errors", "99999999999999999999999"}, LLONG_MAX},
      {{"-max-errors", "x", "-max-errors", "3"}, 3},  // the last value counts
  };
  for (const auto& [arguments, number] : readable) {
    const checker_state state = scanned(arguments);
    EXPECT_FALSE(state.max_errors_unreadable) << arguments.back();
    EXPECT_EQ(state.max_errors, number) << arguments.back();
  }
  for (const char* value : {"", "x", "-1", "+1", " 5", "5x", "1e3"}) {
    EXPECT_TRUE(scanned({"-max-errors", value}).max_errors_unreadable) << value;
  }
  EXPECT_TRUE(scanned({"-max-errors"}).max_errors_unreadable);
}

// ---- whole runs

class RunChecker : public ::testing::Test {
 protected:
  struct run_result {
    std::string output;
    int status;
  };

  // Runs the checker in the scratch directory on `state`; its output.
  static std::string run(checker_state& state, const std::vector<std::string>& arguments,
                         int* status = nullptr) {
    captured_output captured;
    state.out = captured.file();
    const std::vector<const char*> argv = command_line(arguments);
    const int result = run_checker(state, static_cast<int>(argv.size()), argv.data());
    if (status != nullptr) *status = result;
    state.out = stdout;
    return captured.text();
  }
  // The same on a fresh state.
  static run_result run_fresh(const std::vector<std::string>& arguments) {
    checker_state state;
    run_result result;
    result.output = run(state, arguments, &result.status);
    return result;
  }

  scratch_directory directory;
};

TEST_F(RunChecker, StartsEachRunWithAnEmptyFrameTable) {
  directory.write("lexikon.txt", "A=NOMN GEN(1)\n");
  checker_state stale;
  stale.frame_table = std::string("\x04NOMN\0", 6);  // would refuse GEN
  int status = -9;
  run(stale, {"-lexicon", "-i", "lexikon.txt"}, &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(stale.frame_table, std::string("\x07NOMNGEN\0", 9));
}

TEST_F(RunChecker, OpensFileNamesOfAnyLength) {
  for (std::size_t length : {127u, 128u, 250u}) {
    const std::string name = std::string(length - 4, 'n') + ".txt";
    directory.write(name, "A=NOMN\n");
    const std::string path = (directory.path() / name).string();
    EXPECT_EQ(run_fresh({"-lexicon", "-i", name}).status, 0) << length;
    EXPECT_EQ(run_fresh({"-lexicon", "-i", path}).status, 0) << path.size();
  }
}

TEST_F(RunChecker, ClosesWithTheCountOfErrorsOrTheOkLine) {
  directory.write("two", "B=NOM\nA=NOMN\n");
  directory.write("empty", "");
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"-gnu", "-all", "-max-errors", "1", "-i", "two"},
       "two:1:6: error: length main category\n... 1 more error\n2 errors\n"},
      {{"-gnu", "-i", "empty"}, ""},
  };
  for (const auto& [arguments, output] : rows) {
    std::vector<std::string> lexicon = arguments;
    lexicon.insert(lexicon.begin(), "-lexicon");
    EXPECT_EQ(run_fresh(lexicon).output, output) << arguments.back();
  }
  const std::string echo = run_fresh({"-lexicon", "-all", "-max-errors", "1", "-i", "two"}).output;
  EXPECT_EQ(echo.substr(echo.find("NOM\n")),
            "NOM\n" + error_report("length main category") + "\nA=NOMN\n\n\n... 1 more error\n2 errors\n");
}

// The convention's spellings as the letters they stand for: the bundled
// examples hold no other byte above 0x7F.
std::string as_utf8(std::string_view text) {
  static const std::pair<char, std::string_view> kLetters[] = {
      {'{', "ä"}, {'|', "ö"}, {'}', "ü"}, {'~', "ß"}, {'[', "Ä"}, {'\\', "Ö"}, {']', "Ü"}, {'^', "ẞ"},
  };
  std::string utf8;
  for (const char c : text) {
    const auto* letter = std::find_if(std::begin(kLetters), std::end(kLetters),
                                      [c](const auto& spelled) { return spelled.first == c; });
    if (letter == std::end(kLetters)) {
      utf8 += c;
    } else {
      utf8 += letter->second;
    }
  }
  return utf8;
}

const std::filesystem::path kSourceRoot = QUELVINT_SOURCE_ROOT;

// The text after the version and usage lines.
std::string after_usage(const std::string& output) {
  return output.substr(output.find('\n', output.find('\n') + 1) + 1);
}

TEST_F(RunChecker, ChecksTheBundledExamplesInUtf8AsInTheirSevenBitForm) {
  for (const auto& [name, mode] : {std::pair{"lexikon.txt", "-lexicon"},
                                   std::pair{"regeln.txt", "-rules"},
                                   std::pair{"endungen.txt", "-lexicon"}}) {
    const std::string text = file_content(kSourceRoot / "examples" / name);
    ASSERT_FALSE(text.empty()) << name;
    directory.write("7bit", text);
    directory.write("utf8", as_utf8(text));
    const run_result seven_bit = run_fresh({mode, "-i", "7bit"});
    const run_result utf8 = run_fresh({mode, "-utf8", "-i", "utf8"});
    EXPECT_EQ(seven_bit.status, 0) << name;
    EXPECT_EQ(utf8.status, 0) << name;
    EXPECT_NE(utf8.output.find("\nOK: "), std::string::npos) << name;
    // The echo shows the user's letters again, and the count is the same.
    EXPECT_EQ(after_usage(utf8.output), as_utf8(after_usage(seven_bit.output))) << name;
  }
}

// ---- the first error of every end-to-end case, in both forms

namespace fs = std::filesystem;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(text.substr(at, end - at));
  }
  if (at < text.size()) lines.push_back(text.substr(at));
  return lines;
}

// Puts the files of a case as it runs (its base's and its own) into `dest`,
// by the script that assembles the end-to-end cases.
void assemble_case(const fs::path& case_dir, const fs::path& dest) {
  fs::remove_all(dest);
  fs::create_directories(dest);
  const std::string command = "'" + (kSourceRoot / "tests/assemble_case.sh").string() + "' '" +
                              case_dir.string() + "' '" + dest.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The byte offset of the character at `line`:`column` (counted from 1, in
// characters when `utf8`); the size of the text for the place just past it.
std::size_t offset_of(const std::string& text, long long line, long long column, bool utf8) {
  long long at_line = 1, at_column = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (utf8 && (text[i] & 0xC0) == 0x80) continue;
    if (at_line == line && at_column == column) return i;
    if (text[i] == '\n') {
      ++at_line;
      at_column = 1;
    } else {
      ++at_column;
    }
  }
  EXPECT_TRUE(at_line == line && at_column == column) << line << ":" << column;
  return text.size();
}

// The length of the character at `offset`.
std::size_t char_length(const std::string& text, std::size_t offset, bool utf8) {
  std::size_t end = offset + 1;
  while (utf8 && end < text.size() && (text[end] & 0xC0) == 0x80) ++end;
  return end - offset;
}

// Where the -gnu form names the first error, the echo form must stop: the file
// cut just behind the named character, with anything after it, gives the
// same output as the whole file, cut just before it another; when the place
// named is the end of the file, a character added to it changes the output.
TEST_F(RunChecker, NamesWhereTheCheckStopsForTheFirstErrorOfEveryCase) {
  int cases = 0;
  const fs::path case_dir = directory.path() / "assembled-case";
  for (const fs::directory_entry& entry : fs::directory_iterator(kSourceRoot / "tests/quelvint")) {
    if (entry.path().filename() == "bases") continue;
    ASSERT_NO_FATAL_FAILURE(assemble_case(entry.path(), case_dir));
    if (!fs::exists(case_dir / "status") || lines_of(file_content(case_dir / "status"))[0] != "255") {
      continue;
    }
    const std::vector<std::string> arguments = lines_of(file_content(case_dir / "args"));
    const auto option = [&](const char* name) {
      return std::find(arguments.begin(), arguments.end(), name);
    };
    if (option("-gnu") != arguments.end() || option("-all") != arguments.end() ||
        option("-c") != arguments.end()) {
      continue;
    }
    const std::string name = *std::next(option("-i"));
    const std::string text = file_content(case_dir / name);
    const bool utf8 = option("-utf8") != arguments.end();
    SCOPED_TRACE(entry.path().filename().string());

    directory.write(name, text);
    std::vector<std::string> gnu_arguments = arguments;
    gnu_arguments.insert(gnu_arguments.begin(), "-gnu");
    const run_result gnu = run_fresh(gnu_arguments);
    EXPECT_EQ(gnu.status, kStatusSyntaxError);
    const std::vector<std::string> reports = lines_of(gnu.output);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], "1 error");
    gnu_arguments.insert(gnu_arguments.begin(), "-all");
    EXPECT_EQ(lines_of(run_fresh(gnu_arguments).output).at(0), reports[0]);

    long long line = 0, column = 0;
    ASSERT_EQ(std::sscanf(reports[0].c_str() + name.size(), ":%lld:%lld: error:", &line, &column), 2);
    const std::string whole = run_fresh(arguments).output;
    const std::size_t at = offset_of(text, line, column, utf8);
    if (at == text.size()) {
      directory.write(name, text + "Z");
      EXPECT_NE(run_fresh(arguments).output, whole) << reports[0];
    } else {
      directory.write(name, text.substr(0, at + char_length(text, at, utf8)) + "Z");
      EXPECT_EQ(run_fresh(arguments).output, whole) << reports[0];
      directory.write(name, text.substr(0, at));
      EXPECT_NE(run_fresh(arguments).output, whole) << reports[0];
    }
    ++cases;
  }
  EXPECT_GE(cases, 35);
}

}  // namespace
