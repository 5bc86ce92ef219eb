#include "analyser/output/diagnosis_text.hpp"

#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/brackets.hpp"
#include "analyser/output/node_list.hpp"

namespace {
std::string_view name_of(const category_entry* category) { return category_name(*category); }

const char* reason_text(block_reason reason) {
  if (reason == block_reason::first_part) return "first part";
  if (reason == block_reason::second_part) return "second part";
  return "condition";
}

void print_span(std::FILE* out, const parse_node* node) {
  std::fprintf(out, "  %d-%d ", node->seg_start, node->seg_end);
}

// The rule's number, its parts and its label: "rule 16 NPHR + VPHR = SATZ (label)".
void print_rule(const log_output& log, const grammar_rule& rule) {
  std::fprintf(log.out, "rule %d ", rule.rule_number);
  write_text(log.out, rule_text(rule), log.utf8);
  if (rule.label[0] == '\0') return;
  std::fputs(" (", log.out);
  write_text(log.out, rule.label, log.utf8);
  std::fputc(')', log.out);
}

void print_blocked(const log_output& log, const blocked_rule& b) {
  std::FILE* out = log.out;
  std::fprintf(out, "  %d-%d ", b.first->seg_start, b.first->seg_end);
  write_text(out, name_of(b.first->category), log.utf8);
  std::fprintf(out, " + %d-%d ", b.second->seg_start, b.second->seg_end);
  write_text(out, name_of(b.second->category), log.utf8);
  std::fputs(": ", out);
  print_rule(log, *b.rule);
  std::fprintf(out, ", %s", reason_text(b.reason));
  // Group 0: the rule part's value set and the fragment's, both present,
  // differ in their number of groups.
  if (b.group == 0 && b.reason != block_reason::condition) {
    std::fprintf(out, ": %d groups against %d\n", b.first_values[0], b.second_values[0]);
    return;
  }
  std::fprintf(out, " group %d", b.group);
  if (b.reason == block_reason::condition && b.second_group != b.group) {
    std::fprintf(out, "/%d", b.second_group);
  }
  std::fputc(':', out);
  print_subcat_group(out, b.first_group_byte);
  std::fputs(" against", out);
  print_subcat_group(out, b.second_group_byte);
  std::fputc('\n', out);
}
// "  3-4 VERB: rule 23 VERB + NPHR = VPHR: no NPHR starts at word 5, the
// sentence ends at word 4".
void print_missing(const log_output& log, const missing_part& m, const parse_node& fragment,
                   int word_count) {
  std::FILE* out = log.out;
  print_span(out, &fragment);
  write_text(out, name_of(fragment.category), log.utf8);
  std::fputs(": ", out);
  print_rule(log, *m.rule);
  std::fputs(": no ", out);
  write_text(out, name_of(m.rule->parts[m.part - 1].category), log.utf8);
  const bool second = m.part == kSecondPart;
  std::fprintf(out, " %s at word %d", second ? "starts" : "ends", m.position);
  if (second && m.position > word_count) {
    std::fprintf(out, ", the sentence ends at word %d", word_count);
  } else if (!second && m.position < 1) {
    std::fputs(", the sentence begins at word 1", out);
  }
  std::fputc('\n', out);
}

// A fragment's bracket line, with `words` beside its word categories.
std::string fragment_line(const parse_node& fragment, const std::vector<std::string_view>* words,
                          const log_output& log) {
  if (words != nullptr) return bracket_line_with_words(&fragment, false, *words);
  return bracket_line(&fragment, false, log).bracket_text;
}
}  // namespace

std::string rule_text(const grammar_rule& rule) {
  std::string text(name_of(rule.parts[0].category));
  if (rule.parts[1].category != nullptr) (text += " + ") += name_of(rule.parts[1].category);
  return (text += " = ") += name_of(rule.parts[2].category);
}

void print_diagnosis(const log_output& log, const grammar_tables& grammar,
                     const sentence_analysis& analysis, bool words) {
  const sentence_diagnosis d = diagnose(grammar, *analysis.nodes, analysis.words.word_count);
  const log_output quiet{log.out, false, log.utf8};  // no trace lines for the fragments' brackets
  const std::vector<std::string_view> texts = position_words(analysis.words);
  std::fputs("fragments:\n", log.out);
  for (std::size_t i = 0; i < d.fragments.size(); ++i) {
    const parse_node* f = d.fragments[i];
    if (f == nullptr) continue;
    print_span(log.out, f);
    write_text(log.out, fragment_line(*f, words ? &texts : nullptr, quiet), log.utf8);
    std::fputc('\n', log.out);
  }
  for (int position : d.uncovered) std::fprintf(log.out, "  word %d: no constituent\n", position);
  bool any = false;
  for (std::size_t i = 0; i < d.blocked.size(); ++i) {
    for (const blocked_rule& b : d.blocked[i]) {
      if (!any) std::fputs("blocked:\n", log.out);
      any = true;
      print_blocked(log, b);
    }
  }
  if (!any) std::fputs("blocked: none\n", log.out);
  std::fputs(d.missing.empty() ? "missing: none\n" : "missing:\n", log.out);
  for (const missing_part& m : d.missing) {
    print_missing(log, m, *d.fragments[m.fragment], analysis.words.word_count);
  }
}

void print_split_attempts(const log_output& log, const lexicon_tables& lexicon,
                          const sentence_word& word) {
  const std::vector<split_attempt> attempts = split_attempts(lexicon, word.text, word.length);
  if (attempts.empty()) {
    std::fputs("split: no ending of the endings file fits (a stem keeps at least 3 characters)\n",
               log.out);
    return;
  }
  std::fputs("split:\n", log.out);
  for (const split_attempt& a : attempts) {
    std::fputs("  ", log.out);
    write_text(log.out, word.text, a.stem_length, log.utf8);
    std::fputs(" + ", log.out);
    write_text(log.out, word.text + a.stem_length, word.length - a.stem_length, log.utf8);
    const char* missing = !a.stem_found && !a.ending_found ? "stem and ending"
                          : !a.stem_found                 ? "stem"
                                                          : "ending";
    std::fprintf(log.out, ": %s not in the lexicon\n", missing);
  }
}
