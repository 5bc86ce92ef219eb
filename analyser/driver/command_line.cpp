#include "analyser/driver/command_line.hpp"

#include <cstring>

#include "analyser/driver/added_options.hpp"
#include "analyser/output/printout.hpp"

void show_usage(analyser_state& state) {
  std::fputs("\nMirask 09-2002", state.out);
  std::fputs("\nusage: Mirask [-c configfile] [-tree] [-list]", state.out);
  std::fputs("\n              [-subcat] [-i inptext] [-a axiom] [-v]\n", state.out);
}

static bool is_option(const char* argument, const char* option) {
  return std::strcmp(argument, option) == 0;
}

void scan_command_line(analyser_state& state, int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const int last_taken = scan_added_option(state.added, i, argc, argv);
    if (last_taken >= 0) {
      i = last_taken;
      continue;
    }
    const bool has_value = i + 1 < argc;
    if (is_option(argv[i], "-c") && has_value) state.config_file_name = argv[i + 1];
    if (is_option(argv[i], "-t")) state.trace_flag = 1;
    if (is_option(argv[i], "-v")) state.trace_flag = 1;
    if (is_option(argv[i], "-a") && has_value) state.start_category = argv[++i];
    if (is_option(argv[i], "-tree")) state.output_flags |= OUT_TREE;
    if (is_option(argv[i], "-list")) state.output_flags |= OUT_LIST;
    if (is_option(argv[i], "-subcat")) state.output_flags |= OUT_SUBCAT;
    if (is_option(argv[i], "-i") && i + 1 < argc) state.input_file_name = argv[i + 1];
  }
  check_added_options(state.added);
}
