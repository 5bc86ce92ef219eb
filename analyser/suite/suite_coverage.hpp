// What a suite leaves untested: the rules that no complete analysis of its
// items uses, and the lexicon entries that none of their words was read
// with. A run knows the grammar's rules and entries with their places (the
// coverage's universe, which the profile's header keeps, so that a summary
// of profiles needs no grammar files) and what each item used (which its
// record keeps). Made of unions only, so the coverage of a suite split into
// parts is the coverage of the whole.
#pragma once

#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "analyser/grammar/sentence_analysis.hpp"
#include "analyser/library/loaded_grammar.hpp"

struct coverage_rule {
  int number = 0;
  long line = 0;      // where the rule begins in the rules file
  std::string label;  // in the convention; may be empty
  std::string parts;  // its categories: "GRAD + ADJS = ADJS"
  bool operator==(const coverage_rule&) const = default;
};

struct coverage_entry {
  long line = 0;  // its line of the lexicon
  std::string word;
  std::string category;
  bool operator==(const coverage_entry&) const = default;
};

struct coverage_universe {
  std::string rules_file;
  std::vector<coverage_rule> rules;  // in file order
  std::string lexicon_file;
  std::vector<coverage_entry> entries;  // in file order
  bool operator==(const coverage_universe&) const = default;
};

// The rules (by number) and lexicon entries (by line) one item used, each
// once, in increasing order.
struct item_coverage {
  std::vector<int> rules;
  std::vector<long> entries;
  bool operator==(const item_coverage&) const = default;
};

// The loaded rules and lexicon entries of `grammar`.
coverage_universe universe_of(const loaded_grammar& grammar);

// What the analysis of a sentence used: the rules of all its complete
// analyses (from the packed chart) and the entries of all readings of its
// words.
item_coverage coverage_of(const sentence_analysis& analysis, const grammar_tables& grammar);

// The union of the items' coverage.
struct coverage_tally {
  std::unordered_set<long> rules;
  std::unordered_set<long> entries;
  void add(const item_coverage& item);
};

// How many of the universe's rules and entries the tally holds.
struct coverage_figures {
  long rules_used = 0;
  long rules = 0;
  long entries_read = 0;
  long entries = 0;
};
coverage_figures figures_of(const coverage_universe& universe, const coverage_tally& tally);

// One line for every rule no analysis used, and with `entries` for every
// entry no word was read with, in the form editors jump to:
//   regeln.txt:28: rule 7 (GRAD + ADJS = ADJS) used by no analysis
//   lexikon.txt:12: entry ABER (KONJ) read by no item
// A rule with a label is shown by its label. Texts in UTF-8 when `utf8`.
void print_untested(std::FILE* out, const coverage_universe& universe, const coverage_tally& tally,
                    bool entries, bool utf8);
