// The checks across the files of a grammar: what no single file shows, but
// makes rules fail, never apply or never matter.
//
// Errors:
//  - a category whose number of value groups differs between the rule parts,
//    lexicon entries and endings entries that name it: each place that
//    differs from the number most of them have (of equally common numbers,
//    the one met first in the order the analyser loads them: rules, lexicon,
//    endings), so that one place gone wrong is the one reported, wherever it
//    stands; a part or entry without values differs from nothing, nor does a
//    result without groups, whose constituents carry none;
//  - a condition digit naming a group beyond the part it refers to (in a
//    binary rule's triples: first part, second part, result; in a unary
//    rule's pairs: the part, the result; 0 names no group);
//  - a first or second part whose category no lexicon entry has and no rule
//    makes: the rule can never apply;
//  - a start category that no rule makes and no lexicon entry has.
// Warnings:
//  - unary rules that lead from a category back to itself;
//  - a lexicon category that no rule uses and that is not the start category;
//  - a rule whose result leads to the start category by no rule (left out
//    when nothing makes the start category, which says it all);
//  - an ending that is no word of the lexicon, so it is never cut off;
//  - condition digits left over behind the last complete triple or pair.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "checker/grammar_model.hpp"

enum class finding_level { error, warning };

struct finding {
  finding_level level;
  grammar_file file;
  text_position at;
  std::string text;
};

// Every finding of the model, ordered by file (configuration, rules, lexicon,
// endings), line and column. `start_category` is compared as the analyser
// compares it: a category is the start category when its name begins with it.
std::vector<finding> check_grammar(const grammar_model& model, std::string_view start_category);
