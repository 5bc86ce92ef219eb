#include "analyser/grammar/analysis_count.hpp"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "analyser/base/fatal_error.hpp"

namespace {
// Entries of the span table beyond which a count is taken to need more
// memory than there is (4 GiB, some 46,000 word positions): a sentence that
// long could not be counted in any useful time either.
constexpr std::size_t kLargestSpanTable = std::size_t{1} << 30;

// One rule application between chart items: `rule` makes a node of item
// `to` from nodes of `left` and (a binary rule) `right`.
struct packed_application {
  std::uint32_t to;
  std::uint32_t left;
  std::uint32_t right;  // kNoApplicationPart for a unary rule
  const grammar_rule* rule;
};
constexpr std::uint32_t kNoApplicationPart = UINT32_MAX;

using word_list = std::vector<const parse_node*>;

// The chart and the work space of one count, over the storage of the
// caller's count_workspace. Items are grouped by span, the spans in the order
// they are filled: by length, then by start.
struct packed_chart {
  packed_chart(const grammar_tables& g, const steady_deadline& d, count_workspace& w)
      : grammar(g),
        first_rules(current_rule_lookup(g, own_rules)),
        deadline(d),
        items(w.items),
        span_first(w.span_first),
        rules(w.rules),
        value_sets(w.value_sets),
        edges(w.edges),
        waiting(w.waiting),
        out_first(w.out_first),
        out(w.out),
        ready(w.ready),
        words(w.words) {
    w.clear();
  }

  const grammar_tables& grammar;
  rule_lookup own_rules;
  const rule_lookup& first_rules;
  steady_deadline deadline;
  unsigned steps = 0;
  bool timed_out = false;
  int positions = 0;
  // Items are named by their index: adding one may move the others.
  std::vector<packed_item>& items;
  // By span_index: the span's first item. Spans are filled one after the
  // other, so a span's items end where those of the next span begin.
  std::vector<std::uint32_t>& span_first;
  std::vector<grammar_rule*>& rules;
  arena& value_sets;  // the value sets of rule results
  unsigned char scratch[kMaxGroups + 1] = {};
  // The unary closure of the current span: its edges, and the ordering of
  // its items (reused from span to span).
  std::vector<unary_edge>& edges;
  std::vector<std::uint32_t>& waiting;    // unsettled incoming edges per item
  std::vector<std::uint32_t>& out_first;  // per item: its first edge in `out`
  std::vector<std::uint32_t>& out;        // targets of the edges, by source
  std::vector<std::uint32_t>& ready;
  word_list& words;  // the word nodes, in the order their spans are filled
  // Where the rule applications are noted, when they are wanted.
  std::vector<packed_application>* applications = nullptr;

  // Counts one step of work; true when the count must give up.
  bool step() {
    if (deadline_passed(deadline, steps)) timed_out = true;
    return timed_out;
  }
};

void note_application(packed_chart& chart, const packed_application& application) {
  if (chart.applications != nullptr) chart.applications->push_back(application);
}

// The words a chart item can cover, the span being [start, end].
struct span {
  int start;
  int end;
};

// The span's place in the order of filling: all shorter spans come first.
std::size_t span_index(const packed_chart& chart, span s) {
  const std::size_t n = static_cast<std::size_t>(chart.positions);
  const std::size_t shorter = static_cast<std::size_t>(s.end - s.start);  // lengths 1 to this
  return shorter * n - shorter * (shorter - 1) / 2 + static_cast<std::size_t>(s.start - 1);
}

// The items of a span that is filled: [first, end).
std::uint32_t span_begin(const packed_chart& chart, span s) {
  return chart.span_first[span_index(chart, s)];
}
std::uint32_t span_end(const packed_chart& chart, span s) {
  return chart.span_first[span_index(chart, s) + 1];
}

bool same_values(const subcat_value_set* a, const subcat_value_set* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a[0] == b[0] && std::memcmp(a + 1, b + 1, a[0]) == 0;
}

// Appends an item and collects the rules it can begin, exactly as the
// parser finds them.
std::uint32_t add_item(packed_chart& chart, category_entry* category,
                       const subcat_value_set* values, span s) {
  packed_item& item = chart.items.emplace_back();
  item.proxy.category = category;
  item.proxy.subcat_values = values;
  item.proxy.seg_start = s.start;
  item.proxy.seg_end = s.end;
  item.rules_begin = static_cast<std::uint32_t>(chart.rules.size());
  for (grammar_rule* rule : chart.first_rules.rules_for(*category)) {
    if (subcat_agree(*rule, item.proxy, kFirstPart)) chart.rules.push_back(rule);
  }
  item.rules_end = static_cast<std::uint32_t>(chart.rules.size());
  return static_cast<std::uint32_t>(chart.items.size() - 1);
}

// find_item's answer when the span has no such item yet.
constexpr std::uint32_t kNoItem = UINT32_MAX;

// The item of the current span (its items start at `first`) with this
// category and value set, or kNoItem.
std::uint32_t find_item(const packed_chart& chart, std::uint32_t first,
                        const category_entry* category, const subcat_value_set* values) {
  for (std::uint32_t at = first; at < chart.items.size(); ++at) {
    const packed_item& item = chart.items[at];
    if (item.proxy.category == category && same_values(item.proxy.subcat_values, values)) {
      return at;
    }
  }
  return kNoItem;
}

// The item of a word node, which keeps referring to the node's value set.
std::uint32_t word_item(packed_chart& chart, std::uint32_t first, const parse_node& word) {
  const std::uint32_t at = find_item(chart, first, word.category, word.subcat_values);
  if (at != kNoItem) return at;
  return add_item(chart, word.category, word.subcat_values, {word.seg_start, word.seg_end});
}

// The item of the node that `rule` makes with the value set that
// apply_condition left in the scratch: no set when its count is 0, as
// make_node stores it.
std::uint32_t result_item(packed_chart& chart, std::uint32_t first, const grammar_rule& rule,
                          span s) {
  const subcat_value_set* values = chart.scratch[0] == 0 ? nullptr : chart.scratch;
  category_entry* category = rule.parts[2].category;
  const std::uint32_t at = find_item(chart, first, category, values);
  if (at != kNoItem) return at;
  if (values != nullptr) {
    auto* copy = static_cast<unsigned char*>(chart.value_sets.allocate(values[0] + 1));
    std::memcpy(copy, values, values[0] + 1);
    values = copy;
  }
  return add_item(chart, category, values, s);
}

// The rule applications of `rule` make a node of `to` for each pair of
// nodes of `left` and `right`.
void add_pairs(packed_item& to, const packed_item& left, const packed_item& right) {
  if (left.unbounded || right.unbounded) {
    to.unbounded = true;
  } else if (!to.unbounded) {
    to.derivations.add_product(left.derivations, right.derivations);
  }
}

// Every binary rule application with `left` as first component and an item
// of the span `rights` as second component.
void combine_with(packed_chart& chart, std::uint32_t first, std::uint32_t left_at, span whole,
                  span rights) {
  const std::uint32_t rights_begin = span_begin(chart, rights);
  const std::uint32_t rights_end = span_end(chart, rights);
  const std::uint32_t rules_end = chart.items[left_at].rules_end;
  for (std::uint32_t k = chart.items[left_at].rules_begin; k < rules_end; ++k) {
    const grammar_rule& rule = *chart.rules[k];
    if (!is_binary(rule)) continue;
    for (std::uint32_t right_at = rights_begin; right_at < rights_end; ++right_at) {
      if (chart.step()) return;
      const parse_node& right = chart.items[right_at].proxy;
      if (!part_matches(rule, right, kSecondPart)) continue;
      if (!apply_condition(rule, chart.items[left_at].proxy, &right, chart.scratch)) continue;
      const std::uint32_t to = result_item(chart, first, rule, whole);
      add_pairs(chart.items[to], chart.items[left_at], chart.items[right_at]);
      note_application(chart, {to, left_at, right_at, &rule});
    }
  }
}

// The items that binary rules make over the span from its shorter spans,
// which are complete.
void combine_binary(packed_chart& chart, std::uint32_t first, span whole) {
  for (int split = whole.start; split < whole.end && !chart.step(); ++split) {
    const span lefts{whole.start, split};
    const std::uint32_t lefts_end = span_end(chart, lefts);
    for (std::uint32_t left_at = span_begin(chart, lefts); left_at < lefts_end; ++left_at) {
      combine_with(chart, first, left_at, whole, {split + 1, whole.end});
      if (chart.timed_out) return;
    }
  }
}

// Applies the unary rules to every item of the span, the items they make
// included, each item with each rule once; records the applications.
void close_unary(packed_chart& chart, std::uint32_t first, span whole) {
  chart.edges.clear();
  for (std::uint32_t at = first; at < chart.items.size(); ++at) {
    const std::uint32_t rules_end = chart.items[at].rules_end;
    for (std::uint32_t k = chart.items[at].rules_begin; k < rules_end; ++k) {
      if (chart.step()) return;
      const grammar_rule& rule = *chart.rules[k];
      if (is_binary(rule) || !apply_condition(rule, chart.items[at].proxy, nullptr, chart.scratch)) {
        continue;
      }
      const std::uint32_t to = result_item(chart, first, rule, whole);
      chart.edges.push_back({at, to});
      note_application(chart, {to, at, kNoApplicationPart, &rule});
    }
  }
}

// Indexes the span's edges by source item (local numbers from `first`) and
// counts the incoming edges of every item.
void index_edges(packed_chart& chart, std::uint32_t first) {
  const std::size_t count = chart.items.size() - first;
  chart.waiting.assign(count, 0);
  chart.out_first.assign(count + 1, 0);
  chart.out.resize(chart.edges.size());
  for (const unary_edge& e : chart.edges) {
    ++chart.waiting[e.to - first];
    ++chart.out_first[e.from - first + 1];
  }
  for (std::size_t i = 0; i < count; ++i) chart.out_first[i + 1] += chart.out_first[i];
  // `ready` serves as the cursors: settle_unary fills it afresh afterwards.
  std::vector<std::uint32_t>& cursor = chart.ready;
  cursor.assign(chart.out_first.begin(), chart.out_first.end() - 1);
  for (const unary_edge& e : chart.edges) chart.out[cursor[e.from - first]++] = e.to - first;
}

// Passes the nodes of `from` on to `to` along one unary application.
void pass_on(const packed_item& from, packed_item& to) {
  if (from.unbounded) {
    to.unbounded = true;
  } else if (!to.unbounded) {
    to.derivations.add(from.derivations);
  }
}

// Adds the unary applications to the numbers, in topological order: an item
// is settled once all the items that lead to it are. Items that never get
// there lie on a unary cycle or behind one, and have nodes without end.
void settle_unary(packed_chart& chart, std::uint32_t first) {
  if (chart.edges.empty()) return;
  index_edges(chart, first);
  chart.ready.clear();
  for (std::uint32_t i = 0; i < chart.waiting.size(); ++i) {
    if (chart.waiting[i] == 0) chart.ready.push_back(i);
  }
  while (!chart.ready.empty()) {
    const std::uint32_t from = chart.ready.back();
    chart.ready.pop_back();
    for (std::uint32_t k = chart.out_first[from]; k < chart.out_first[from + 1]; ++k) {
      const std::uint32_t to = chart.out[k];
      pass_on(chart.items[first + from], chart.items[first + to]);
      if (--chart.waiting[to] == 0) chart.ready.push_back(to);
    }
  }
  for (std::uint32_t i = 0; i < chart.waiting.size(); ++i) {
    if (chart.waiting[i] > 0) chart.items[first + i].unbounded = true;
  }
}

bool fills_earlier(const parse_node* a, const parse_node* b) {
  const int length_a = a->seg_end - a->seg_start;
  const int length_b = b->seg_end - b->seg_start;
  return length_a != length_b ? length_a < length_b : a->seg_start < b->seg_start;
}

// The word nodes from `first` that lie within positions 1 to `max_position`,
// in the order their spans are filled, into `words`. They come nearly in
// that order already, so an insertion sort (stable, needing no buffer) is
// cheapest.
void collect_words(word_list& words, const parse_node* first, int max_position) {
  for (const parse_node* node = first; node != nullptr && node->rule == nullptr;
       node = node->next) {
    if (node->category == nullptr || node->seg_start < 1 || node->seg_start > node->seg_end ||
        node->seg_end > max_position) {
      continue;
    }
    words.push_back(node);
    for (std::size_t at = words.size() - 1; at > 0 && fills_earlier(words[at], words[at - 1]);
         --at) {
      std::swap(words[at], words[at - 1]);
    }
  }
}

// Fills one span: its word nodes (each a node of its own), the binary
// applications, then the unary closure.
void fill_span(packed_chart& chart, const word_list& words, std::size_t& next_word, span whole) {
  const auto first = static_cast<std::uint32_t>(chart.items.size());
  const std::size_t s = span_index(chart, whole);
  chart.span_first[s] = first;
  const big_count one(1);
  for (; next_word < words.size() && words[next_word]->seg_start == whole.start &&
         words[next_word]->seg_end == whole.end;
       ++next_word) {
    chart.items[word_item(chart, first, *words[next_word])].derivations.add(one);
  }
  combine_binary(chart, first, whole);
  if (!chart.timed_out) close_unary(chart, first, whole);
  if (!chart.timed_out) settle_unary(chart, first);
  chart.span_first[s + 1] = static_cast<std::uint32_t>(chart.items.size());
}

// Fills every span over the word nodes within positions 1 to `max_position`,
// shorter spans first.
void fill_chart(packed_chart& chart, const parse_node* first, int max_position) {
  word_list& words = chart.words;
  collect_words(words, first, max_position);
  for (const parse_node* word : words) chart.positions = std::max(chart.positions, word->seg_end);
  const auto n = static_cast<std::size_t>(chart.positions);
  const std::size_t spans = n * (n + 1) / 2;
  if (spans >= kLargestSpanTable) throw std::bad_alloc();
  chart.span_first.assign(spans + 1, 0);
  std::size_t next_word = 0;
  for (int length = 1; length <= chart.positions; ++length) {
    for (int start = 1; start + length - 1 <= chart.positions; ++start) {
      fill_span(chart, words, next_word, {start, start + length - 1});
      if (chart.timed_out) return;
    }
  }
}

// The nodes of all items that `wanted` accepts.
template <typename Wanted>
analysis_count total_of(const packed_chart& chart, Wanted wanted) {
  analysis_count total;
  if (chart.timed_out) {
    total.timed_out = true;
    return total;
  }
  for (const packed_item& item : chart.items) {
    if (!wanted(item.proxy)) continue;
    if (item.unbounded) return {true, big_count()};
    total.value.add(item.derivations);
  }
  return total;
}
}  // namespace

namespace {
// Entries a vector of the workspace keeps from one count to the next; a
// longer sentence's storage is given back (its count costs far more than
// getting it again).
constexpr std::size_t kKeptEntries = 1 << 14;

template <typename T>
void clear_keeping_little(std::vector<T>& v) {
  if (v.capacity() > kKeptEntries) {
    std::vector<T>().swap(v);
  } else {
    v.clear();
  }
}
}  // namespace

void count_workspace::clear() {
  clear_keeping_little(items);
  clear_keeping_little(span_first);
  clear_keeping_little(rules);
  value_sets.reset();
  clear_keeping_little(edges);
  clear_keeping_little(waiting);
  clear_keeping_little(out_first);
  clear_keeping_little(out);
  clear_keeping_little(ready);
  clear_keeping_little(words);
}

analysis_count count_analyses(const grammar_tables& grammar, const parse_node* first,
                              const analysis_target& target, const steady_deadline& deadline,
                              count_workspace* workspace) {
  if (target.word_count < 1) return {};
  return needing_memory("count_analyses: malloc Fehler", [&] {
    count_workspace own;
    // Nodes within words 1 to word_count are made from word nodes there only.
    packed_chart chart(grammar, deadline, workspace != nullptr ? *workspace : own);
    fill_chart(chart, first, target.word_count);
    return total_of(chart, [&](const parse_node& n) { return is_complete_analysis(n, target); });
  });
}

analysis_count count_nodes(const grammar_tables& grammar, const parse_node* first,
                           const steady_deadline& deadline) {
  return needing_memory("count_nodes: malloc Fehler", [&] {
    count_workspace own;
    packed_chart chart(grammar, deadline, own);
    fill_chart(chart, first, INT_MAX);
    return total_of(chart, [](const parse_node&) { return true; });
  });
}

namespace {
// The rules of the applications that lead, top-down, to the items that
// `wanted` accepts, each rule once, in increasing number.
template <typename Wanted>
std::vector<int> rules_leading_to(const packed_chart& chart,
                                  const std::vector<packed_application>& applications,
                                  Wanted wanted) {
  // The applications by the item they make.
  const std::size_t items = chart.items.size();
  std::vector<std::uint32_t> first(items + 1, 0);
  for (const packed_application& a : applications) ++first[a.to + 1];
  for (std::size_t i = 0; i < items; ++i) first[i + 1] += first[i];
  std::vector<std::uint32_t> by_item(applications.size());
  std::vector<std::uint32_t> cursor(first.begin(), first.end() - 1);
  for (std::uint32_t k = 0; k < applications.size(); ++k) by_item[cursor[applications[k].to]++] = k;

  std::vector<bool> reached(items, false);
  std::vector<std::uint32_t> waiting;
  const auto reach = [&](std::uint32_t item) {
    if (item == kNoApplicationPart || reached[item]) return;
    reached[item] = true;
    waiting.push_back(item);
  };
  for (std::uint32_t i = 0; i < items; ++i) {
    if (wanted(chart.items[i].proxy)) reach(i);
  }
  std::vector<int> rules;
  while (!waiting.empty()) {
    const std::uint32_t item = waiting.back();
    waiting.pop_back();
    for (std::uint32_t k = first[item]; k < first[item + 1]; ++k) {
      const packed_application& a = applications[by_item[k]];
      rules.push_back(a.rule->rule_number);
      reach(a.left);
      reach(a.right);
    }
  }
  std::sort(rules.begin(), rules.end());
  rules.erase(std::unique(rules.begin(), rules.end()), rules.end());
  return rules;
}
}  // namespace

std::vector<int> rules_of_analyses(const grammar_tables& grammar, const parse_node* first,
                                   const analysis_target& target) {
  if (target.word_count < 1) return {};
  return needing_memory("rules_of_analyses: malloc Fehler", [&] {
    count_workspace own;
    packed_chart chart(grammar, steady_deadline{}, own);
    std::vector<packed_application> applications;
    chart.applications = &applications;
    fill_chart(chart, first, target.word_count);
    return rules_leading_to(chart, applications,
                            [&](const parse_node& n) { return is_complete_analysis(n, target); });
  });
}
