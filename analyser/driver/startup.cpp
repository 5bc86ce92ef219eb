#include "analyser/driver/startup.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/text_utils.hpp"

namespace {
void trace(analyser_state& state, const char* line) {
  if (!state.trace_flag) return;
  std::fputs(line, state.out);
  std::fflush(state.out);
}

// Asks on the console for the configuration file name when none was given.
void ask_config_name(analyser_state& state) {
  if (!state.config_file_name.empty()) return;
  std::fputs("\nName configuration file:", state.out);
  std::fflush(state.out);
  if (!read_line(state.console, state.config_file_name)) fatal_error("No configuration file");
}

// The name ends at its first control character (the line end among them).
void cut_at_control_char(std::string& name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (static_cast<unsigned char>(name[i]) < kFirstVisible) {
      name.resize(i);
      return;
    }
  }
}

void open_config_file(analyser_state& state) {
  state.config_file = open_text_file(state.config_file_name);
  if (state.config_file == nullptr) fatal_error("Konfig.: Dateifehler");
  if (state.trace_flag) {
    std::fprintf(state.out, "in initialize_everything(): config.file %s read\n",
                 state.config_file_name.c_str());
    std::fflush(state.out);
  }
}

void open_configuration(analyser_state& state) {
  trace(state, "in initialize_everything()\n");
  ask_config_name(state);
  cut_at_control_char(state.config_file_name);
  open_config_file(state);
}
}  // namespace

void initialize_everything(analyser_state& state) {
  needing_memory("initialize_everything: malloc Fehler", [&] { open_configuration(state); });
  load_configuration(state.loaded, state.config_file.get(), text_opener(), state.log());
}
