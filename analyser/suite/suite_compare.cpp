#include "analyser/suite/suite_compare.hpp"

#include <deque>
#include <unordered_map>

#include "analyser/base/utf8_text.hpp"

namespace {
constexpr const char* kChangeNames[] = {"unchanged", "better", "worse", "different", "new", "gone"};
constexpr int kChangeKinds = 6;

item_change change_of(const item_result& before, const item_result& now) {
  const bool passed = before.verdict == item_verdict::pass;
  const bool passes = now.verdict == item_verdict::pass;
  if (passed != passes) return passes ? item_change::better : item_change::worse;
  const bool same = same_count(before.found.count, now.found.count) &&
                    before.found.analysis == now.found.analysis;
  return same ? item_change::unchanged : item_change::different;
}

void write_side(std::FILE* out, const char* label, const item_result& item, bool utf8) {
  std::fprintf(out, " | %s: %s, ", label, verdict_name(item.verdict));
  write_text(out, found_text(item.found), utf8);
}

void write_change(std::FILE* out, const compared_item& c, bool utf8) {
  const item_result& shown = c.now != nullptr ? *c.now : *c.before;
  std::fprintf(out, "%s:%ld: %s: ", std::string(shown_suite_name(shown.suite)).c_str(), shown.line,
               change_name(c.change));
  if (!shown.expected.grammatical) std::fputc('*', out);
  write_text(out, shown.text, utf8);
  if (c.before != nullptr) write_side(out, "before", *c.before, utf8);
  if (c.now != nullptr) write_side(out, "now", *c.now, utf8);
  std::fputc('\n', out);
}
}  // namespace

const char* change_name(item_change change) { return kChangeNames[static_cast<int>(change)]; }

std::vector<compared_item> compare_items(const std::vector<item_result>& before,
                                         const std::vector<item_result>& now) {
  std::unordered_map<std::string, std::deque<const item_result*>> old_by_text;
  for (const item_result& b : before) {
    if (b.verdict != item_verdict::malformed) old_by_text[b.text].push_back(&b);
  }
  std::vector<compared_item> result;
  for (const item_result& n : now) {
    if (n.verdict == item_verdict::malformed) continue;
    auto found = old_by_text.find(n.text);
    if (found == old_by_text.end() || found->second.empty()) {
      result.push_back({item_change::added, nullptr, &n});
      continue;
    }
    const item_result* b = found->second.front();
    found->second.pop_front();
    result.push_back({change_of(*b, n), b, &n});
  }
  for (const item_result& b : before) {
    if (b.verdict == item_verdict::malformed) continue;
    std::deque<const item_result*>& left = old_by_text[b.text];
    if (left.empty() || left.front() != &b) continue;
    left.pop_front();
    result.push_back({item_change::gone, &b, nullptr});
  }
  return result;
}

void print_comparison(std::FILE* out, const std::string& old_name,
                      const std::vector<compared_item>& items, bool utf8) {
  long tally[kChangeKinds] = {};
  std::fputc('\n', out);
  for (const compared_item& c : items) {
    ++tally[static_cast<int>(c.change)];
    if (c.change != item_change::unchanged) write_change(out, c, utf8);
  }
  std::fprintf(
      out,
      "Changes against %s: %ld worse, %ld better, %ld different, %ld new, %ld gone;"
      " %ld unchanged\n",
      old_name.c_str(), tally[static_cast<int>(item_change::worse)],
      tally[static_cast<int>(item_change::better)], tally[static_cast<int>(item_change::different)],
      tally[static_cast<int>(item_change::added)], tally[static_cast<int>(item_change::gone)],
      tally[static_cast<int>(item_change::unchanged)]);
}
