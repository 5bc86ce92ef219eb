#include "analyser/suite/suite_summary.hpp"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr double kMicrosecondsPerMs = 1000.0;
constexpr int kStatusFailures = 2;

// The value of a count, exact below 2^64.
long double approximately(const big_count& count) {
  if (count.fits_in(UINT64_MAX)) return static_cast<long double>(count.to_uint64());
  return std::strtold(count.to_decimal().c_str(), nullptr);
}

bool larger(const analysis_count& a, const analysis_count& b) {
  if (a.unbounded || b.unbounded) return a.unbounded && !b.unbounded;
  return a.value > b.value;
}

void add_count(suite_summary& s, const analysis_count& count) {
  if (count.unbounded) {
    ++s.unbounded;
  } else if (!count.value.is_zero()) {
    ++s.with_analyses;
    s.analyses_total += approximately(count.value);
  }
  if (larger(count, s.analyses_largest)) s.analyses_largest = count;
}

void add_found(suite_summary& s, const item_found& found) {
  add_count(s, found.count);
  s.nodes_total += static_cast<std::uint64_t>(std::max(found.nodes, 0L));
  s.nodes_largest = std::max(s.nodes_largest, found.nodes);
  s.time_total_us += static_cast<std::uint64_t>(std::max(found.time_us, 0L));
  s.time_largest_us = std::max(s.time_largest_us, found.time_us);
  if (found.coverage) s.coverage.add(*found.coverage);
}

void print_share(std::FILE* out, const char* label, long part, long whole) {
  std::fprintf(out, "  %-29s %ld of %ld", label, part, whole);
  if (whole > 0) std::fprintf(out, " (%.1f %%)", 100.0 * static_cast<double>(part) / whole);
  std::fputc('\n', out);
}

double mean(long double total, long count) {
  return count > 0 ? static_cast<double>(total / count) : 0.0;
}

void print_result(std::FILE* out, const suite_summary& s) {
  std::fprintf(out, "  %-29s %ld passed, %ld failed", "result:", s.passed, s.failed);
  if (s.malformed > 0) {
    std::fprintf(out, ", %ld %s not understood", s.malformed, s.malformed == 1 ? "line" : "lines");
  }
  std::fputc('\n', out);
}
}  // namespace

void add_item(suite_summary& s, const item_result& item) {
  if (item.verdict == item_verdict::malformed) {
    ++s.malformed;
    return;
  }
  ++s.items;
  const bool pass = item.verdict == item_verdict::pass;
  ++(pass ? s.passed : s.failed);
  if (item.expected.grammatical) {
    ++s.grammatical;
    if (item.found.outcome == "analysed") ++s.analysed;
  } else {
    ++s.ungrammatical;
    if (pass) ++s.rejected;
  }
  if (item.expected.count || item.expected.analysis) {
    ++s.given;
    if (pass) ++s.given_met;
  }
  add_found(s, item.found);
}

void print_summary(std::FILE* out, const suite_summary& s, const coverage_figures* coverage) {
  std::fprintf(out, "\nSummary:\n  %-29s %ld\n", "items:", s.items);
  print_share(out, "grammatical items analysed:", s.analysed, s.grammatical);
  print_share(out, "ungrammatical items rejected:", s.rejected, s.ungrammatical);
  std::fprintf(out, "  %-29s %ld of %ld items that give them\n",
               "count and analysis as given:", s.given_met, s.given);
  std::fprintf(out, "  %-29s mean %.2f per analysed item",
               "analyses:", mean(s.analyses_total, s.with_analyses));
  if (s.unbounded > 0) std::fprintf(out, " (%ld unbounded left out)", s.unbounded);
  std::fprintf(out, ", largest %s\n", count_text(s.analyses_largest).c_str());
  std::fprintf(out, "  %-29s mean %.1f per item, largest %ld\n",
               "nodes:", mean(static_cast<long double>(s.nodes_total), s.items), s.nodes_largest);
  std::fprintf(out, "  %-29s total %.3f ms, mean %.3f ms per item, largest %.3f ms\n",
               "time:", static_cast<double>(s.time_total_us) / kMicrosecondsPerMs,
               mean(static_cast<long double>(s.time_total_us), s.items) / kMicrosecondsPerMs,
               static_cast<double>(s.time_largest_us) / kMicrosecondsPerMs);
  if (coverage != nullptr) {
    print_share(out, "rules used:", coverage->rules_used, coverage->rules);
    print_share(out, "lexicon entries read:", coverage->entries_read, coverage->entries);
  }
  print_result(out, s);
}

int summary_status(const suite_summary& s) {
  return s.failed == 0 && s.malformed == 0 ? 0 : kStatusFailures;
}
