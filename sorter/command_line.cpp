#include "sorter/command_line.hpp"

#include <string_view>

#include "sorter/sorter_state.hpp"

void scan_command_line(sorter_state& state, int argc, const char* const* argv) {
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-c") state.capitals_mode = true;
    if (argument == "-utf8") state.utf8_input = true;
    if (argument != "-f") continue;
    if (i + 1 < argc) {
      state.filter_file_name = argv[i + 1];
      state.filter_named = true;
    } else {
      std::fputs("\n--- Filter File name missing after -f ---\n", state.out);
    }
  }
}

namespace {

// An option of the script form that stands alone.
struct switch_option {
  std::string_view name;
  bool script_command::*field;
  // Whether the dialogue still runs with it beside an input: the options
  // its command line has always had, and --help, which wins anyway.
  bool keeps_dialogue;
};

constexpr switch_option kSwitches[] = {
    {"-c", &script_command::capitals, true},
    {"-utf8", &script_command::utf8, false},
    {"--counts", &script_command::counts, false},
    {"--by-frequency", &script_command::by_frequency, false},
    {"--help", &script_command::help, true},
};

void note_fault(script_command& command, const std::string& fault) {
  if (command.fault.empty()) command.fault = fault;
}

// Takes the value of "-f" or "-o" at argv[i + 1], if there is one, and
// moves i onto it.
void take_value(script_command& command, int argc, const char* const* argv, int& i) {
  const std::string_view option = argv[i];
  const bool output = option == "-o";
  command.script_option = command.script_option || output;
  if (i + 1 == argc) {
    note_fault(command,
               output ? "output file name missing after -o" : "Filter File name missing after -f");
    return;
  }
  (output ? command.output_named : command.filter_named) = true;
  (output ? command.output_file_name : command.filter_file_name) = argv[++i];
}

// Takes the option argv[i], and its value.
void take_option(script_command& command, int argc, const char* const* argv, int& i) {
  const std::string_view option = argv[i];
  for (const switch_option& known : kSwitches) {
    if (option != known.name) continue;
    command.*known.field = true;
    command.script_option = command.script_option || !known.keeps_dialogue;
    return;
  }
  if (option == "-f" || option == "-o") {
    take_value(command, argc, argv, i);
    return;
  }
  note_fault(command, "unknown option " + std::string(option));
}

}  // namespace

script_command read_script_command(int argc, const char* const* argv) {
  script_command command;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (options_ended || argument == "-" || !argument.starts_with('-')) {
      command.inputs.emplace_back(argument);
    } else if (argument == "--") {
      options_ended = true;
    } else {
      take_option(command, argc, argv, i);
    }
  }
  return command;
}

command_form form_of(const script_command& command) {
  if (command.help) return command_form::help;
  if (command.inputs.empty() || !command.script_option) return command_form::dialogue;
  if (!command.fault.empty() || !command.output_named) return command_form::misuse;
  return command_form::script;
}

void write_misuse(const script_command& command, std::FILE* file) {
  const std::string fault = command.fault.empty() ? "no output file: -o missing" : command.fault;
  std::fprintf(file, "\n--- %s ---\n", fault.c_str());
  write_usage(file);
}

void write_usage(std::FILE* file) {
  std::fputs(
      "Zandoret [-c(apitals)] [-f filterfile] [-utf8]\n"
      "    asks on the console for the input files, the two questions and the output file\n"
      "Zandoret [-c] [-f filterfile] [-utf8] [--counts] [--by-frequency] -o output input...\n"
      "    sorts the input files into the output file without asking;\n"
      "    \"-\" stands for standard input or standard output\n"
      "  -c              capitals: letters and umlauts in upper case\n"
      "  -f filterfile   bytes translated through the filter file first\n"
      "  -utf8           the input files are UTF-8, sorted in the 7-bit umlaut codes,\n"
      "                  and the list is written in UTF-8\n"
      "  --counts        each entry followed by its frequency\n"
      "  --by-frequency  entries ordered by falling frequency\n",
      file);
}
