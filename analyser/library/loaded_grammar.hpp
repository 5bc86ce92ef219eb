// A grammar as the analyser works with it: the messages, the two delimiter
// sets, the rules, the lexicon and the endings, loaded once through a
// configuration and read-only afterwards, so any number of sentence
// analysers on any number of threads can share it.
//
// Configuration, six lines, none skipped:
//   1 message file name          4 rules file name
//   2 word delimiter codes       5 lexicon file name
//   3 sentence delimiter codes   6 endings file name
// Lines are read whole, whatever their length; the line end (LF, or CR LF)
// of a name line is removed, and a last line without one keeps all its
// characters.
#pragma once

#include <cstdio>
#include <string>

#include "analyser/base/file_input.hpp"
#include "analyser/base/log_output.hpp"
#include "analyser/base/messages.hpp"
#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/lexicon.hpp"
#include "analyser/library/delimiter_list.hpp"

struct loaded_grammar {
  // The files as the configuration names them (the rules file's name is
  // grammar.file_name).
  std::string message_file_name;
  std::string lexicon_file_name;
  std::string endings_file_name;
  message_table messages;
  unsigned char word_end_chars[kDelimiterSetSize] = {};
  unsigned char sentence_end_chars[kDelimiterSetSize] = {};
  lexicon_tables lexicon;
  const dict_entry* lexicon_list = nullptr;  // the lexicon's entries in file order
  grammar_tables grammar;
  bool utf8 = false;      // the files were read as UTF-8
  problem_list problems;  // the lines and rules the loaders skipped
};

// Loads into `loaded` (fresh) the files that the lines of `config` name,
// opened through `opener`, in this order: the messages, the two delimiter
// sets, the rules (then message 3), the lexicon (message 4) and the endings
// (message 5). Messages, warnings and trace lines go to `log.out` unless it
// is null; `log.utf8` reads every file as UTF-8. Any failure ends the load
// through fatal_error with its text ("Message file", "Regeln: Dateifehler",
// "lexicon file error (not found)", ...), naming the file where one is
// concerned. No memory: fatal "initialize_everything: malloc Fehler" or the
// text of the loader that ran out.
void load_configuration(loaded_grammar& loaded, FILE* config, const text_opener& opener,
                        const log_output& log);

// The number of entries of a dictionary list.
long entry_count(const dict_entry* first);
