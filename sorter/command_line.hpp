// The sorter's two command lines. The dialogue's, "Zandoret [-c] [-f
// filterfile] [-utf8]", asks for everything else on the console; the script
// form's,
//   Zandoret [-c] [-f filterfile] [-utf8] [--counts] [--by-frequency] -o output input...
// takes the answers from the command line instead. A command line is in the
// script form only when it names an input and holds one of the options the
// dialogue does not know (-o, --counts, --by-frequency, -utf8), so every
// command line of the dialogue's own options and stray words, such as
// "Zandoret -c words.txt", still runs the dialogue.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct sorter_state;

// Scans the dialogue's command line, the program name included: "-c" turns
// capitals_mode on, "-utf8" utf8_input, "-f" names the filter file with the
// argument behind it. That argument is itself scanned as well. A "-f" with
// nothing behind it is reported and leaves the filter file as it was. Other
// arguments are ignored.
void scan_command_line(sorter_state& state, int argc, const char* const* argv);

// The command line read as the script form reads it: options up to "--",
// "-f" and "-o" each taking the argument behind it whatever it is, every
// other argument an input ("-" too: standard input).
struct script_command {
  bool capitals = false;
  bool utf8 = false;
  bool counts = false;
  bool by_frequency = false;
  bool help = false;
  bool filter_named = false;
  std::string filter_file_name;
  bool output_named = false;
  std::string output_file_name;  // "-": standard output
  std::vector<std::string> inputs;
  bool script_option = false;  // -o, --counts, --by-frequency or -utf8
  std::string fault;           // the first thing wrong with it, or empty
};

script_command read_script_command(int argc, const char* const* argv);

enum class command_form { dialogue, script, help, misuse };

// --help anywhere asks for the usage; without an input, or without an
// option of the script form's own, the dialogue runs; otherwise the command
// is in the script form, and misused when it has a fault or no "-o".
command_form form_of(const script_command& command);

// Exit status of a misused script form.
constexpr int kMisuseStatus = 2;

// Writes what is wrong with the misused `command` and the usage to `file`.
void write_misuse(const script_command& command, std::FILE* file);

void write_usage(std::FILE* file);
