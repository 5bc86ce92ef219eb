#include "analyser/suite/suite_coverage.hpp"

#include <algorithm>

#include "analyser/base/utf8_text.hpp"
#include "analyser/grammar/analysis_count.hpp"

namespace {
// "FIRST + SECOND = RESULT", or "FIRST = RESULT" for a unary rule.
std::string parts_of(const grammar_rule& rule) {
  std::string text(category_name(*rule.parts[0].category));
  if (is_binary(rule)) text += " + " + std::string(category_name(*rule.parts[1].category));
  return text + " = " + std::string(category_name(*rule.parts[2].category));
}

template <typename Number>
void sorted_once(std::vector<Number>& numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

bool has_analyses(const sentence_analysis& analysis) {
  return analysis.count && (analysis.count->unbounded || !analysis.count->value.is_zero());
}

void write_place(std::FILE* out, const std::string& file, long line) {
  std::fprintf(out, "%s:%ld: ", file.c_str(), line);
}
}  // namespace

coverage_universe universe_of(const loaded_grammar& grammar) {
  coverage_universe universe;
  universe.rules_file = grammar.grammar.file_name;
  for (const grammar_rule* r = grammar.grammar.rule_list; r != nullptr; r = r->next) {
    universe.rules.push_back({r->rule_number, r->line, r->label, parts_of(*r)});
  }
  universe.lexicon_file = grammar.lexicon_file_name;
  for (const dict_entry* e = grammar.lexicon_list; e != nullptr; e = e->next) {
    const std::string word(reinterpret_cast<const char*>(e->word), e->word_length);
    universe.entries.push_back({e->line, word, std::string(category_name(*e->category))});
  }
  return universe;
}

item_coverage coverage_of(const sentence_analysis& analysis, const grammar_tables& grammar) {
  item_coverage coverage;
  for (const word_reading& r : analysis.words.readings) coverage.entries.push_back(r.entry->line);
  sorted_once(coverage.entries);
  if (analysis.rules_of_analyses) {
    coverage.rules = *analysis.rules_of_analyses;
  } else if (has_analyses(analysis) && analysis.nodes != nullptr) {
    coverage.rules = rules_of_analyses(grammar, analysis.nodes->head, analysis.target);
  }
  return coverage;
}

void coverage_tally::add(const item_coverage& item) {
  rules.insert(item.rules.begin(), item.rules.end());
  entries.insert(item.entries.begin(), item.entries.end());
}

coverage_figures figures_of(const coverage_universe& universe, const coverage_tally& tally) {
  coverage_figures figures;
  figures.rules = static_cast<long>(universe.rules.size());
  figures.entries = static_cast<long>(universe.entries.size());
  for (const coverage_rule& r : universe.rules) figures.rules_used += tally.rules.count(r.number);
  for (const coverage_entry& e : universe.entries) figures.entries_read += tally.entries.count(e.line);
  return figures;
}

void print_untested(std::FILE* out, const coverage_universe& universe, const coverage_tally& tally,
                    bool entries, bool utf8) {
  for (const coverage_rule& r : universe.rules) {
    if (tally.rules.count(r.number) > 0) continue;
    write_place(out, universe.rules_file, r.line);
    std::fprintf(out, "rule %d (", r.number);
    write_text(out, r.label.empty() ? r.parts : r.label, utf8);
    std::fputs(") used by no analysis\n", out);
  }
  if (!entries) return;
  for (const coverage_entry& e : universe.entries) {
    if (tally.entries.count(e.line) > 0) continue;
    write_place(out, universe.lexicon_file, e.line);
    std::fputs("entry ", out);
    write_text(out, e.word, utf8);
    std::fputs(" (", out);
    write_text(out, e.category, utf8);
    std::fputs(") read by no item\n", out);
  }
}
