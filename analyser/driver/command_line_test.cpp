#include "analyser/driver/command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "analyser/output/printout.hpp"
#include "test_support/streams.hpp"

namespace {
TEST(ShowUsage, BannerAndUsageText) {
  captured_output out;
  analyser_state state;
  state.out = out.file();
  show_usage(state);
  EXPECT_EQ(out.text(),
            "\nMirask 09-2002"
            "\nusage: Mirask [-c configfile] [-tree] [-list]"
            "\n              [-subcat] [-i inptext] [-a axiom] [-v]\n");
}

struct scanned_settings {
  int trace_flag;
  int output_flags;
  std::string start_category;
  std::string config_file_name;
  std::string input_file_name;
};

scanned_settings scanned(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "Mirask");
  analyser_state state;
  scan_command_line(state, static_cast<int>(arguments.size()), arguments.data());
  return {state.trace_flag, state.output_flags, state.start_category, state.config_file_name,
          state.input_file_name};
}

void expect_settings(const std::vector<const char*>& arguments, const scanned_settings& expected) {
  std::string shown;
  for (const char* a : arguments) shown += std::string(a) + " ";
  const scanned_settings got = scanned(arguments);
  EXPECT_EQ(got.trace_flag, expected.trace_flag) << shown;
  EXPECT_EQ(got.output_flags, expected.output_flags) << shown;
  EXPECT_EQ(got.start_category, expected.start_category) << shown;
  EXPECT_EQ(got.config_file_name, expected.config_file_name) << shown;
  EXPECT_EQ(got.input_file_name, expected.input_file_name) << shown;
}

TEST(ScanCommandLine, StartValuesWithoutArguments) { expect_settings({}, {0, 0, "SATZ", "", ""}); }

TEST(ScanCommandLine, SimpleOptions) {
  expect_settings({"-t"}, {1, 0, "SATZ", "", ""});
  expect_settings({"-v"}, {1, 0, "SATZ", "", ""});
  expect_settings({"-tree", "-list", "-subcat"},
                  {0, OUT_TREE | OUT_LIST | OUT_SUBCAT, "SATZ", "", ""});
  expect_settings({"-c", "conf", "-i", "text", "-a", "NPHR"}, {0, 0, "NPHR", "conf", "text"});
}

TEST(ScanCommandLine, OptionsAreComparedWholeAndCaseSensitively) {
  expect_settings({"-T", "-Tree", "-trees", "list", "-", "--t", "x"}, {0, 0, "SATZ", "", ""});
}

TEST(ScanCommandLine, ValueOfCAndIIsStillExaminedAsAnOption) {
  expect_settings({"-c", "-list"}, {0, OUT_LIST, "SATZ", "-list", ""});
  expect_settings({"-i", "-t"}, {1, 0, "SATZ", "", "-t"});
  // "-c -i name": "-i" is the configuration name and then takes "name".
  expect_settings({"-c", "-i", "name"}, {0, 0, "SATZ", "-i", "name"});
}

TEST(ScanCommandLine, ValueOfAIsTheCurrentArgumentForTheLaterComparisons) {
  expect_settings({"-a", "-tree"}, {0, OUT_TREE, "-tree", "", ""});
  expect_settings({"-a", "-subcat"}, {0, OUT_SUBCAT, "-subcat", "", ""});
  expect_settings({"-a", "-i", "text"}, {0, 0, "-i", "", "text"});
  // The comparisons before "-a" in the pass are not repeated for its value.
  expect_settings({"-a", "-t"}, {0, 0, "-t", "", ""});
  expect_settings({"-a", "-c", "conf"}, {0, 0, "-c", "", ""});
}

TEST(ScanCommandLine, LastValueWinsAndBitsAccumulate) {
  expect_settings({"-a", "NP", "-a", "VP", "-c", "one", "-c", "two", "-tree", "-tree"},
                  {0, OUT_TREE, "VP", "two", ""});
}

TEST(ScanCommandLine, ValueOptionStandingLastIsIgnored) {
  expect_settings({"-c"}, {0, 0, "SATZ", "", ""});
  expect_settings({"-i"}, {0, 0, "SATZ", "", ""});
  expect_settings({"-a"}, {0, 0, "SATZ", "", ""});
  expect_settings({"-t", "-a"}, {1, 0, "SATZ", "", ""});
}

TEST(ScanCommandLine, LongValuesAreKeptWhole) {
  const std::string name(300, 'n');
  const std::string axiom(40, 'A');
  expect_settings({"-c", name.c_str(), "-i", name.c_str(), "-a", axiom.c_str()},
                  {0, 0, axiom, name, name});
}

// Whether the command line holds an added option, which gives the normal
// end of the run status 0.
bool added_given(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "Mirask");
  analyser_state state;
  scan_command_line(state, static_cast<int>(arguments.size()), arguments.data());
  return state.added.given;
}

TEST(ScanCommandLine, AnyAddedOptionIsNoted) {
  EXPECT_FALSE(added_given({"-c", "conf", "-i", "text", "-tree", "-list", "-subcat", "-v"}));
  EXPECT_FALSE(added_given({"-a", "-status"}));  // the start category "-status"
  EXPECT_FALSE(added_given({"-json2", "status"}));
  for (const char* option : {"-status", "-words", "-json", "-utf8", "-why", "--help"}) {
    EXPECT_TRUE(added_given({"-c", "conf", option})) << option;
  }
  EXPECT_TRUE(added_given({"-max-analyses", "3"}));
  EXPECT_TRUE(added_given({"-max-analyses"}));  // misused: a fatal end, status 1
}
}  // namespace
