// The summary of a suite's items: coverage of the grammatical items,
// rejection of the ungrammatical ones, how many items meet their count and
// first analysis, the analyses, nodes and time per item. Made of sums and
// maxima only, so the summary of a suite split into parts is the summary
// of the whole, whatever the order of the parts.
#pragma once

#include <cstdint>
#include <cstdio>

#include "analyser/suite/suite_coverage.hpp"
#include "analyser/suite/suite_item.hpp"

struct suite_summary {
  long items = 0;      // items analysed
  long malformed = 0;  // lines that could not be read as items
  long passed = 0;
  long failed = 0;
  long grammatical = 0;            // items without "*"
  long analysed = 0;               // of which have an analysis
  long ungrammatical = 0;          // items with "*"
  long rejected = 0;               // of which have none (and were not stopped by the node limit)
  long given = 0;                  // items that give a count or a first analysis
  long given_met = 0;              // of which pass
  long with_analyses = 0;          // items with a finite number of analyses, at least one
  long unbounded = 0;              // items with infinitely many analyses (a unary cycle)
  long double analyses_total = 0;  // of the items with a finite number
  analysis_count analyses_largest;
  std::uint64_t nodes_total = 0;
  long nodes_largest = 0;
  std::uint64_t time_total_us = 0;
  long time_largest_us = 0;
  coverage_tally coverage;  // of the items that record it
};

void add_item(suite_summary& summary, const item_result& item);

// Writes the summary: an empty line, "Summary:", then one line each for
// items, grammatical items analysed, ungrammatical items rejected, count and
// analysis as given, analyses, nodes, time, with `coverage` the rules used
// and the lexicon entries read, and the result.
void print_summary(std::FILE* out, const suite_summary& summary,
                   const coverage_figures* coverage = nullptr);

// The exit status of a run that ends with this summary: 0 when every item
// passed and every line was read, 2 otherwise.
int summary_status(const suite_summary& summary);
