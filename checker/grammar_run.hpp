// The whole-grammar check, "Quelvint -c CONFIG": the configuration's rules,
// lexicon and endings files, named relative to the current directory as the
// analyser opens them, each checked on its own (the reports of "-gnu -all"),
// then the grammar across them (grammar_check.hpp), then the tally
// "N errors, M warnings".
//
// Every report is a line "FILE:LINE:COLUMN: error: TEXT" or
// "FILE:LINE:COLUMN: warning: TEXT"; "-Werror" writes and counts warnings
// as errors. "-max-errors" limits the reports of each file's check and of the
// checks across files alike.
#pragma once

#include <cstdio>
#include <string>

#include "checker/checker_state.hpp"
#include "checker/grammar_model.hpp"

// The files of a grammar: their names as the configuration gives them, and
// the rules, lexicon and endings files open for reading.
struct grammar_sources {
  std::string names[kGrammarFiles];  // by grammar_file
  std::FILE* files[kGrammarFiles] = {};

  std::FILE* file(grammar_file which) const { return files[static_cast<int>(which)]; }
  const std::string& name(grammar_file which) const { return names[static_cast<int>(which)]; }
};

// Checks the open files of `sources` with the settings of `settings`, writes
// every report and the tally to `settings.out`, and returns the exit status:
// 0 without errors, -1 with errors, 2 when a file cannot be read.
int check_grammar_files(const checker_state& settings, const grammar_sources& sources);

// The run of "-c": reads the configuration `settings.config_name`, opens the
// files it names and checks them. A configuration or file that cannot be
// opened, or a configuration without the line of a file, gives an "ERROR:"
// line and the status 2.
int run_grammar_check(const checker_state& settings);
