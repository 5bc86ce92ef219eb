// The printout of -why: for a sentence without analysis its fragments, the
// rules blocked between them and the neighbours they lack; for
// an unknown word the splits tried.
#pragma once

#include <string>

#include "analyser/base/log_output.hpp"
#include "analyser/grammar/diagnosis.hpp"
#include "analyser/grammar/sentence_analysis.hpp"

// "fragments:" with one line per fragment (its span and bracket line, or
// the word no constituent covers), then "blocked:" with one line per
// blocked rule between neighbouring fragments, or "blocked: none", then
// "missing:" with one line per rule that would extend a fragment but lacks
// the neighbour it needs ("  3-4 VERB: rule 23 VERB + NPHR = VPHR:
// no NPHR starts at word 5, the sentence ends at word 4"), or "missing: none".
// With `words` the fragments' bracket lines carry their words (-words).
void print_diagnosis(const log_output& log, const grammar_tables& grammar,
                     const sentence_analysis& analysis, bool words);

// "split:" and one line per split tried ("KATZ + EN: stem not in the
// lexicon"), or why none was tried.
void print_split_attempts(const log_output& log, const lexicon_tables& lexicon,
                          const sentence_word& word);

// A rule as "NPHR + VPHR = SATZ".
std::string rule_text(const grammar_rule& rule);
