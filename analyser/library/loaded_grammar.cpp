#include "analyser/library/loaded_grammar.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/library/message_file.hpp"

namespace {
constexpr const char* kNoMemory = "initialize_everything: malloc Fehler";

// One load: where the lines come from, how files open, where output goes.
struct loader {
  loaded_grammar& loaded;
  FILE* config;
  const text_opener& opener;
  log_output log;

  void trace(const char* line) const {
    if (!log.trace) return;
    std::fputs(line, log.out);
    std::fflush(log.out);
  }

  void announce(int number) const {
    if (log.out != nullptr) show_message(loaded.messages, log.out, number, log.utf8);
  }

  // The next configuration line as read; `failure` ends the load without one.
  std::string next_line(const char* failure) const {
    std::string line;
    if (!read_line(config, line)) fatal_error(failure);
    return line;
  }

  // Opens the file `name`; subsequent problems are placed in it.
  unique_file open(const std::string& name) {
    loaded.problems.file = name;
    return opener.open(name, log.utf8);
  }

  void messages();
  void delimiters(unsigned char (&set)[kDelimiterSetSize], const char* failure);
  void rules();
  dict_entry* dictionary(letter_index& index, const char* open_failure, std::string& name);
  void everything();
};

void loader::messages() {
  std::string name;
  try {
    name = next_line("Message file");
  } catch (const std::bad_alloc&) {
    fatal_error("Message file");
  }
  remove_line_end(name);
  unique_file file = open(name);
  if (file == nullptr) fatal_error_at("Message file", name.c_str(), 0, 0);
  loaded.message_file_name = name;
  if (!read_message_file(loaded.messages, file.get(), log)) {
    fatal_error_at("Message file", name.c_str(), 0, 0);
  }
}

void loader::delimiters(unsigned char (&set)[kDelimiterSetSize], const char* failure) {
  read_char_list(next_line(failure).c_str(), set);
}

void loader::rules() {
  std::string line = needing_memory(
      "store_rule: malloc Fehler",
      [&] { return next_line("no entry for grammar file in the confi.file"); });
  if (log.trace) std::fprintf(log.out, "read_grammar(): file=%s\n", line.c_str());
  remove_line_end(line);
  unique_file file = open(line);
  if (file == nullptr) {
    if (log.trace) std::fprintf(log.out, "read_grammar(): error 1: file=%s\n", line.c_str());
    fatal_error_at("Regeln: Dateifehler", line.c_str(), 0, 0);
  }
  loaded.grammar.file_name = line;
  read_rules(loaded.grammar, loaded.lexicon.categories, file.get(), log);
}

// Loads the lexicon or the endings file named by the next configuration
// line into `index`; returns its first entry.
dict_entry* loader::dictionary(letter_index& index, const char* open_failure, std::string& name) {
  name = next_line("Konf.Fehler");
  remove_line_end(name);
  unique_file file = open(name);
  if (file == nullptr) fatal_error_at(open_failure, name.c_str(), 0, 0);
  clear_letter_index(index);
  lexicon_tables& lexicon = loaded.lexicon;
  return read_dict(lexicon.storage, lexicon.categories, file.get(), index, log);
}

void loader::everything() {
  messages();
  trace("in initialize_everything(): messages read\n");
  delimiters(loaded.word_end_chars, "Error config. file: word end chars");
  trace("in initialize_everything(): word delimiters read\n");
  delimiters(loaded.sentence_end_chars, "Error config.file: sentence delimiter chars");
  trace("in initialize_everything(): sentence delimiters read\n");
  rules();
  announce(kMessageRulesLoaded);
  trace("in initialize_everything(): grammar read\n");
  lexicon_tables& lexicon = loaded.lexicon;
  loaded.lexicon_list = dictionary(lexicon.lexicon_index, "lexicon file error (not found)",
                                   loaded.lexicon_file_name);
  build_lexicon_table(lexicon.lexicon_table, lexicon.lexicon_index);
  announce(kMessageLexiconLoaded);
  lexicon.endings_list = dictionary(lexicon.endings_index, "error endings file (not found)",
                                    loaded.endings_file_name);
  announce(kMessageEndingsLoaded);
  loaded.problems.file.clear();
}
}  // namespace

void load_configuration(loaded_grammar& loaded, FILE* config, const text_opener& opener,
                        const log_output& log) {
  loaded.utf8 = log.utf8;
  loader load{loaded, config, opener, log};
  load.log.problems = &loaded.problems;
  needing_memory(kNoMemory, [&] { load.everything(); });
}

long entry_count(const dict_entry* first) {
  long count = 0;
  for (const dict_entry* e = first; e != nullptr; e = e->next) ++count;
  return count;
}
