#include "analyser/driver/startup.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/driver/message_file.hpp"

namespace {
constexpr long kByteMask = 0xFF;
// The start-up's own text when memory runs out outside the loaders.
constexpr const char* kNoMemory = "initialize_everything: malloc Fehler";

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

void read_delimiters(analyser_state& state, unsigned char (&set)[kDelimiterSetSize],
                     const char* failure) {
  std::string line;
  if (!read_line(state.config_file.get(), line)) fatal_error(failure);
  read_char_list(line.c_str(), set);
}

// Loads the lexicon or the endings file named by the next configuration
// line into `index`; returns its first entry.
dict_entry* load_dictionary(analyser_state& state, letter_index& index, const char* open_failure,
                            std::string& name) {
  if (!read_line(state.config_file.get(), name)) fatal_error("Konf.Fehler");
  remove_line_end(name);
  unique_file file = open_text_file(name, state.added.utf8);
  if (file == nullptr) fatal_error(open_failure);
  clear_letter_index(index);
  lexicon_tables& lexicon = state.lexicon;
  return read_dict(lexicon.storage, lexicon.categories, file.get(), index, state.log());
}
}  // namespace

int next_list_item(const char* text, std::string& item) {
  item.clear();
  int count = 0;
  for (; text[count] != '\0' && text[count] != ',' && text[count] != '\r' && text[count] != '\n';
       ++count) {
    item += text[count];
  }
  return text[count] == ',' ? count + 1 : count;
}

void read_char_list(const char* line, unsigned char (&set)[kDelimiterSetSize]) {
  int size = 0;
  set[0] = 0;
  std::string item;
  const char* p = line;
  do {
    p += next_list_item(p, item);
    long code = 0;
    if (!leading_integer(item.c_str(), code)) continue;
    const auto c = static_cast<unsigned char>(code & kByteMask);
    if (c == 0) return;
    if (in_char_set(set, c) || size + 1 >= kDelimiterSetSize) continue;
    set[size++] = c;
    set[size] = 0;
  } while (*p != '\0' && *p != '\r' && *p != '\n');
}

namespace {
// The configuration file and the files it names, in their order.
void load_everything(analyser_state& state) {
  trace(state, "in initialize_everything()\n");
  ask_config_name(state);
  cut_at_control_char(state.config_file_name);
  open_config_file(state);
  if (!read_messages(state)) fatal_error("Message file");
  trace(state, "in initialize_everything(): messages read\n");
  read_delimiters(state, state.word_end_chars, "Error config. file: word end chars");
  trace(state, "in initialize_everything(): word delimiters read\n");
  read_delimiters(state, state.sentence_end_chars, "Error config.file: sentence delimiter chars");
  trace(state, "in initialize_everything(): sentence delimiters read\n");
  read_grammar(state.grammar, state.lexicon.categories, state.config_file.get(), state.log());
  show_message(state.messages, state.out, kMessageRulesLoaded, state.added.utf8);
  trace(state, "in initialize_everything(): grammar read\n");
  lexicon_tables& lexicon = state.lexicon;
  load_dictionary(state, lexicon.lexicon_index, "lexicon file error (not found)",
                  state.lexicon_file_name);
  build_lexicon_table(lexicon.lexicon_table, lexicon.lexicon_index);
  show_message(state.messages, state.out, kMessageLexiconLoaded, state.added.utf8);
  lexicon.endings_list = load_dictionary(state, lexicon.endings_index,
                                         "error endings file (not found)", state.endings_file_name);
  show_message(state.messages, state.out, kMessageEndingsLoaded, state.added.utf8);
}
}  // namespace

void initialize_everything(analyser_state& state) {
  needing_memory(kNoMemory, [&] { load_everything(state); });
}
