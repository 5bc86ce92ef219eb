#include "analyser/suite/suite_item.hpp"

#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/brackets.hpp"

namespace {
std::string analyses_text(const analysis_count& count) {
  const bool one = !count.unbounded && count.value == big_count(1);
  return count_text(count) + (one ? " analysis" : " analyses");
}

bool meets_given(const item_expectation& expected, const item_found& found) {
  const analysis_count given{false, big_count(expected.count.value_or(0))};
  if (expected.count && !same_count(given, found.count)) return false;
  return !expected.analysis || expected.analysis == found.analysis;
}
}  // namespace

bool count_of_text(std::string_view text, analysis_count& count) {
  count = analysis_count{};
  if (text == "unbounded") {
    count.unbounded = true;
    return true;
  }
  const bool leading_zero = text.size() > 1 && text.front() == '0';
  if (text.empty() || text.size() > kCountTextLimit || leading_zero) return false;
  const big_count ten(10);
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    count.value.multiply(ten);
    count.value.add(big_count(static_cast<std::uint64_t>(c - '0')));
  }
  return true;
}

bool same_count(const analysis_count& a, const analysis_count& b) {
  return a.unbounded == b.unbounded && (a.unbounded || a.value == b.value);
}

item_found found_of(const sentence_analysis& analysis) {
  item_found found;
  found.outcome = outcome_name(analysis.outcome);
  if (analysis.outcome == sentence_outcome::unknown_word ||
      analysis.outcome == sentence_outcome::no_number_reading) {
    const sentence_word& w = analysis.words.unknown;
    found.unknown_word.assign(reinterpret_cast<const char*>(w.text), w.length);
  }
  found.count = analyses_of(analysis);
  if (analysis.axiom != nullptr) {
    found.analysis = bracket_line(analysis.axiom, false, log_output{}).bracket_text;
  }
  found.nodes = analysis.nodes != nullptr ? analysis.nodes->count : 0;
  found.time_us = analysis.time_us;
  return found;
}

bool is_outcome_name(std::string_view name) {
  sentence_outcome outcome;
  return outcome_of(name, outcome);
}

item_verdict judge(const item_expectation& expected, const item_found& found) {
  // The parse of a sentence that a limit stopped is not known.
  if (found.outcome == "node_limit" || found.outcome == "timeout") return item_verdict::fail;
  const bool analysed = found.outcome == "analysed";
  if (!expected.grammatical) return analysed ? item_verdict::fail : item_verdict::pass;
  return analysed && meets_given(expected, found) ? item_verdict::pass : item_verdict::fail;
}

const char* verdict_name(item_verdict verdict) {
  // In the order of the enumeration.
  static const char* const kNames[] = {"pass", "fail", "malformed"};
  return kNames[static_cast<int>(verdict)];
}

bool verdict_of(std::string_view name, item_verdict& verdict) {
  for (item_verdict v : {item_verdict::pass, item_verdict::fail, item_verdict::malformed}) {
    if (name != verdict_name(v)) continue;
    verdict = v;
    return true;
  }
  return false;
}

std::string expectation_text(const item_expectation& expected) {
  if (!expected.grammatical) return "no analysis";
  std::string text = expected.count ? analyses_text({false, big_count(*expected.count)}) : "";
  if (expected.analysis) text += (text.empty() ? "" : ", ") + *expected.analysis;
  return text.empty() ? "an analysis" : text;
}

std::string found_text(const item_found& found) {
  std::string text = found.outcome;
  if (!found.unknown_word.empty()) text += " " + found.unknown_word;
  text += ", " + analyses_text(found.count);
  if (found.analysis) text += ", " + *found.analysis;
  return text;
}

std::string_view shown_suite_name(std::string_view suite) { return suite == "-" ? "stdin" : suite; }

void write_item_line(std::FILE* out, const item_result& item, bool utf8) {
  std::fprintf(out, "%s:%ld: %s: ", std::string(shown_suite_name(item.suite)).c_str(), item.line,
               verdict_name(item.verdict));
  if (item.verdict == item_verdict::malformed) {
    write_text(out, item.problem, utf8);
    std::fputc('\n', out);
    return;
  }
  if (!item.expected.grammatical) std::fputc('*', out);
  write_text(out, item.text, utf8);
  std::fputs(" | expected: ", out);
  write_text(out, expectation_text(item.expected), utf8);
  std::fputs(" | found: ", out);
  write_text(out, found_text(item.found), utf8);
  std::fputc('\n', out);
}
