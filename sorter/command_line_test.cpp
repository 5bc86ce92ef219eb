#include "sorter/command_line.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sorter/sorter_state.hpp"
#include "test_support/streams.hpp"

namespace {

using arguments = std::vector<const char*>;

TEST(scan_command_line, ComparesEveryArgumentValuesIncluded) {
  struct table_row {
    arguments args;
    bool capitals;
    bool utf8;
    bool named;
    std::string name;
    std::string message;
  };
  const std::string missing = "\n--- Filter File name missing after -f ---\n";
  const table_row rows[] = {
      {{"Zandoret"}, false, false, false, "", ""},
      {{"Zandoret", "-c"}, true, false, false, "", ""},
      {{"-c"}, true, false, false, "", ""},  // the program name is scanned too
      {{"Zandoret", "-f", "table"}, false, false, true, "table", ""},
      {{"Zandoret", "-f", "-c"}, true, false, true, "-c", ""},  // the value is scanned as well
      {{"Zandoret", "-f", "a", "-f", "b"}, false, false, true, "b", ""},
      {{"Zandoret", "-f"}, false, false, false, "", missing},
      {{"Zandoret", "-f", "a", "-f"}, false, false, true, "a", missing},
      {{"Zandoret", "-C", "-cc", "c", "-F", "f"}, false, false, false, "", ""},
      {{"Zandoret", "-utf8", "-c", "words.txt"}, true, true, false, "", ""},
      {{"Zandoret", "-f", "-utf8"}, false, true, true, "-utf8", ""},
      {{"Zandoret", "-u", "-UTF8", "--utf8"}, false, false, false, "", ""},
  };
  for (const table_row& row : rows) {
    captured_output out;
    sorter_state state;
    state.out = out.file();
    scan_command_line(state, static_cast<int>(row.args.size()), row.args.data());
    EXPECT_EQ(state.capitals_mode, row.capitals) << row.args.size();
    EXPECT_EQ(state.utf8_input, row.utf8) << row.args.size();
    EXPECT_EQ(state.filter_named, row.named) << row.args.size();
    EXPECT_EQ(state.filter_file_name, row.name);
    EXPECT_EQ(out.text(), row.message);
  }
}

script_command command_of(const arguments& args) {
  return read_script_command(static_cast<int>(args.size()), args.data());
}

TEST(form_of, KeepsTheDialogueForEveryCommandLineWithoutAnInputOrAScriptOption) {
  struct table_row {
    arguments args;
    command_form form;
    std::string fault;
  };
  constexpr command_form kDialogue = command_form::dialogue;
  constexpr command_form kScript = command_form::script;
  constexpr command_form kMisuse = command_form::misuse;
  const table_row rows[] = {
      {{"Zandoret"}, kDialogue, ""},
      {{"Zandoret", "-c", "words.txt"}, kDialogue, ""},  // a stray word, ignored as ever
      {{"Zandoret", "-f", "filter", "-x", "words.txt"}, kDialogue, "unknown option -x"},
      {{"Zandoret", "-o", "out.txt"}, kDialogue, ""},
      {{"Zandoret", "--counts", "--by-frequency", "-utf8", "-c"}, kDialogue, ""},
      {{"Zandoret", "-f", "-o", "out.txt", "in.txt"}, kDialogue, ""},  // "-o" names the filter
      {{"Zandoret", "--help"}, command_form::help, ""},
      {{"Zandoret", "-o", "out.txt", "in.txt", "--help"}, command_form::help, ""},
      {{"Zandoret", "-o", "out.txt", "in.txt"}, kScript, ""},
      {{"Zandoret", "-o", "-", "-"}, kScript, ""},
      {{"Zandoret", "in.txt", "-o", "out.txt", "--", "-c"}, kScript, ""},
      {{"Zandoret", "--counts", "in.txt"}, kMisuse, ""},
      {{"Zandoret", "-utf8", "in.txt"}, kMisuse, ""},
      {{"Zandoret", "-o", "out.txt", "-x", "in.txt", "-y"}, kMisuse, "unknown option -x"},
      {{"Zandoret", "in.txt", "-o"}, kMisuse, "output file name missing after -o"},
      {{"Zandoret", "-o", "out.txt", "in.txt", "-f"}, kMisuse, "Filter File name missing after -f"},
  };
  for (const table_row& row : rows) {
    const script_command command = command_of(row.args);
    EXPECT_EQ(form_of(command), row.form) << row.args.size() << " " << row.args.back();
    EXPECT_EQ(command.fault, row.fault) << row.args.size() << " " << row.args.back();
  }
}

TEST(read_script_command, TakesEveryOptionAndTheInputsInOrder) {
  const script_command command =
      command_of({"Zandoret", "a", "-c", "-utf8", "--counts", "--by-frequency", "-f", "-o", "-o",
                  "first", "-", "-o", "out.txt", "--", "-f", "--help"});
  EXPECT_TRUE(command.capitals && command.utf8 && command.counts && command.by_frequency);
  EXPECT_FALSE(command.help);
  EXPECT_EQ(command.filter_file_name, "-o");
  EXPECT_EQ(command.output_file_name, "out.txt");  // the last one
  EXPECT_EQ(command.inputs, (std::vector<std::string>{"a", "-", "-f", "--help"}));
  EXPECT_EQ(form_of(command), command_form::script);
}

TEST(write_misuse, NamesTheFaultThenShowsTheUsage) {
  captured_output err;
  write_misuse(command_of({"Zandoret", "--counts", "in.txt"}), err.file());
  const std::string shown = err.text();
  EXPECT_TRUE(shown.starts_with("\n--- no output file: -o missing ---\nZandoret [-c(apitals)]"))
      << shown;
  EXPECT_NE(shown.find("-o output input..."), std::string::npos);
}

}  // namespace
