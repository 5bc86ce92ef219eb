#include "analyser/output/json_writer.hpp"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analyser/base/fatal_error.hpp"
#include "analyser/grammar/diagnosis.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/json_text.hpp"

namespace {
// The most that put_node_fields writes for `node`: its texts and numbers,
// and the keys with their punctuation.
std::size_t most_node_field_bytes(const parse_node& node) {
  constexpr std::size_t kKeys = sizeof R"("category":,"start":,"end":,"values":,"rule":,"label":)";
  const std::string_view category = category_name(*node.category);
  return kKeys + most_json_string_bytes(category.size()) + 3 * kMostNumberBytes +
         most_json_values_bytes(node.subcat_values) + most_json_string_bytes(std::strlen(node.label));
}

// The fields every node and every tree node have.
char* put_node_fields(char* at, const parse_node& node) {
  at = put_text(at, R"("category":)");
  at = put_json_string(at, category_name(*node.category));
  at = put_text(at, R"(,"start":)");
  at = put_json_number(at, node.seg_start);
  at = put_text(at, R"(,"end":)");
  at = put_json_number(at, node.seg_end);
  at = put_text(at, R"(,"values":)");
  at = put_json_values(at, node.subcat_values);
  at = put_text(at, R"(,"rule":)");
  at = node.rule != nullptr ? put_json_number(at, node.rule->rule_number) : put_text(at, "null");
  at = put_text(at, R"(,"label":)");
  return put_json_string(at, node.label);
}

void append_node_fields(std::string& out, const parse_node& node) {
  const bool comma = !out.empty() && out.back() != '{';
  append_in_room(out, 1 + most_node_field_bytes(node), [&](char* at) {
    if (comma) *at++ = ',';
    return put_node_fields(at, node);
  });
}

// Opens the object of a tree node: its fields, then a word node's word or
// the list of a rule node's children.
void open_tree_node(std::string& out, const parse_node& n, bool second,
                    const std::vector<std::string_view>& words) {
  const std::size_t at_word = static_cast<std::size_t>(n.seg_start);
  const std::string_view word =
      n.left_comp == nullptr && at_word < words.size() ? words[at_word] : "";
  constexpr std::size_t kOpening = sizeof R"(,{,"children":[)";
  append_in_room(out, kOpening + most_node_field_bytes(n) + most_json_string_bytes(word.size()),
                 [&](char* at) {
                   if (second) *at++ = ',';
                   *at++ = '{';
                   at = put_node_fields(at, n);
                   if (n.left_comp != nullptr) return put_text(at, R"(,"children":[)");
                   at = put_text(at, R"(,"word":)");
                   return put_json_string(at, word);
                 });
}

// The tree below `root` as nested objects; a word node is a leaf with its word.
void append_tree(std::string& out, const parse_node* root,
                 const std::vector<std::string_view>& words) {
  walk_tree(
      root, [&](const parse_node* n, bool second) { open_tree_node(out, *n, second, words); },
      [&](const parse_node* n) { out += n->left_comp == nullptr ? "}" : "]}"; });
}

void append_words(std::string& out, const sentence_analysis& analysis) {
  append_key(out, "words");
  out += '[';
  for (const sentence_word& w : analysis.words.words) {
    const std::string_view text = text_view(w.text, w.length);
    constexpr std::size_t kKeys = sizeof R"(,{"position":,"text":,"stem":,"ending":})";
    append_in_room(out, kKeys + kMostNumberBytes + 2 * most_json_string_bytes(text.size()),
                   [&](char* at) {
                     if (at[-1] != '[') *at++ = ',';
                     at = put_text(at, R"({"position":)");
                     at = put_json_number(at, w.position);
                     at = put_text(at, R"(,"text":)");
                     at = put_json_string(at, text);
                     if (w.stem_length > 0) {
                       at = put_text(at, R"(,"stem":)");
                       at = put_json_string(at, text.substr(0, w.stem_length));
                       at = put_text(at, R"(,"ending":)");
                       at = put_json_string(at, text.substr(w.stem_length));
                     }
                     *at++ = '}';
                     return at;
                   });
  }
  out += ']';
}

void append_readings(std::string& out, const sentence_analysis& analysis) {
  append_key(out, "readings");
  out += '[';
  for (const word_reading& r : analysis.words.readings) {
    const std::string_view category = category_name(*r.entry->category);
    constexpr std::size_t kKeys = sizeof R"(,{"position":,"category":,"values":,"label":})";
    const std::size_t most = kKeys + kMostNumberBytes + most_json_string_bytes(category.size()) +
                             most_json_values_bytes(r.entry->subcat_values) +
                             most_json_string_bytes(r.label.size());
    append_in_room(out, most, [&](char* at) {
      if (at[-1] != '[') *at++ = ',';
      at = put_text(at, R"({"position":)");
      at = put_json_number(at, r.position);
      at = put_text(at, R"(,"category":)");
      at = put_json_string(at, category);
      at = put_text(at, R"(,"values":)");
      at = put_json_values(at, r.entry->subcat_values);
      at = put_text(at, R"(,"label":)");
      at = put_json_string(at, r.label);
      *at++ = '}';
      return at;
    });
  }
  out += ']';
}

// A component as the number of its node, null where there is none.
void append_component(std::string& out, const parse_node* component,
                      const std::unordered_map<const parse_node*, long>& number) {
  if (component == nullptr) {
    out += "null";
    return;
  }
  out += std::to_string(number.at(component));
}

// Every node in creation order, numbered from 1, components by number.
void append_nodes(std::string& out, const node_list& nodes) {
  std::unordered_map<const parse_node*, long> number;
  append_key(out, "nodes");
  out += '[';
  for (const parse_node* n = nodes.head; n != nullptr; n = n->next) {
    const long id = static_cast<long>(number.size()) + 1;
    number[n] = id;
    if (id > 1) out += ',';
    out += '{';
    append_key(out, "id");
    out += std::to_string(id);
    append_node_fields(out, *n);
    append_key(out, "left");
    append_component(out, n->left_comp, number);
    append_key(out, "right");
    append_component(out, n->right_comp, number);
    out += '}';
  }
  out += ']';
}

void append_all_analyses(std::string& out, const std::vector<const parse_node*>& complete,
                         long limit, const std::vector<std::string_view>& words) {
  append_key(out, "all_analyses");
  out += '[';
  const std::size_t shown = analyses_shown(complete.size(), true, limit);
  for (std::size_t k = 0; k < shown; ++k) {
    if (k > 0) out += ',';
    append_tree(out, complete[k], words);
  }
  out += ']';
  append_key(out, "analyses_left_out");
  out += std::to_string(complete.size() - shown);
}

const char* reason_name(block_reason reason) {
  if (reason == block_reason::first_part) return "first_part";
  if (reason == block_reason::second_part) return "second_part";
  return "condition";
}

// A group byte as the list of its values; all values where `group` is 0.
void append_group(std::string& out, unsigned char group) {
  out += '[';
  const char* separator = "";
  for (int v : group_values(group)) {
    out += separator;
    out += static_cast<char>('0' + v);  // values are 1 to 8
    separator = ",";
  }
  out += ']';
}

// Opens the object of a rule the diagnosis names: its number and label.
void open_rule_object(std::string& out, const grammar_rule& rule) {
  out += '{';
  append_key(out, "rule");
  out += std::to_string(rule.rule_number);
  append_key(out, "label");
  append_json_string(out, rule.label);
}

void append_blocked(std::string& out, const blocked_rule& b, int between) {
  open_rule_object(out, *b.rule);
  append_key(out, "reason");
  append_json_string(out, reason_name(b.reason));
  append_key(out, "fragment");
  out += std::to_string(between);
  append_key(out, "first_category");
  append_json_string(out, category_name(*b.first->category));
  append_key(out, "second_category");
  append_json_string(out, category_name(*b.second->category));
  append_key(out, "group");
  out += std::to_string(b.group);
  if (b.reason == block_reason::condition) {
    append_key(out, "second_group");
    out += std::to_string(b.second_group);
  }
  append_key(out, "first");
  append_group(out, b.first_group_byte);
  append_key(out, "second");
  append_group(out, b.second_group_byte);
  out += '}';
}

void append_missing(std::string& out, const missing_part& m, int word_count) {
  open_rule_object(out, *m.rule);
  append_key(out, "fragment");
  out += std::to_string(m.fragment + 1);
  append_key(out, "part");
  append_json_string(out, m.part == kSecondPart ? "second" : "first");
  append_key(out, "category");
  append_json_string(out, category_name(*m.rule->parts[m.part - 1].category));
  append_key(out, "position");
  out += std::to_string(m.position);
  append_key(out, "outside");
  out += m.position < 1 || m.position > word_count ? "true" : "false";
  out += '}';
}

// -why: the fragments as trees (null for a word no constituent covers), the
// rules blocked between neighbouring fragments, and the neighbours that the
// fragments lack.
void append_diagnosis(std::string& out, const grammar_tables& grammar,
                      const sentence_analysis& analysis,
                      const std::vector<std::string_view>& words) {
  const sentence_diagnosis d = diagnose(grammar, *analysis.nodes, analysis.words.word_count);
  append_key(out, "fragments");
  out += '[';
  for (std::size_t i = 0; i < d.fragments.size(); ++i) {
    if (i > 0) out += ',';
    if (d.fragments[i] == nullptr) {
      out += "null";
    } else {
      append_tree(out, d.fragments[i], words);
    }
  }
  out += ']';
  append_key(out, "blocked");
  out += '[';
  for (std::size_t i = 0; i < d.blocked.size(); ++i) {
    for (const blocked_rule& b : d.blocked[i]) {
      if (out.back() != '[') out += ',';
      append_blocked(out, b, static_cast<int>(i) + 1);
    }
  }
  out += ']';
  append_key(out, "missing");
  out += '[';
  for (const missing_part& m : d.missing) {
    if (out.back() != '[') out += ',';
    append_missing(out, m, analysis.words.word_count);
  }
  out += ']';
}

// -why for an unknown word: every split tried.
void append_split_attempts(std::string& out, const lexicon_tables& lexicon,
                           const sentence_word& word) {
  append_key(out, "split_attempts");
  out += '[';
  for (const split_attempt& a : split_attempts(lexicon, word.text, word.length)) {
    if (out.back() != '[') out += ',';
    out += '{';
    append_key(out, "stem");
    append_json_string(out, text_view(word.text, a.stem_length));
    append_key(out, "ending");
    append_json_string(out, text_view(word.text + a.stem_length, word.length - a.stem_length));
    append_key(out, "stem_found");
    out += a.stem_found ? "true" : "false";
    append_key(out, "ending_found");
    out += a.ending_found ? "true" : "false";
    out += '}';
  }
  out += ']';
}

void append_why(std::string& out, const sentence_analysis& analysis,
                const record_settings& settings, const std::vector<std::string_view>& words) {
  if (analysis.outcome == sentence_outcome::no_analysis && settings.grammar != nullptr) {
    append_diagnosis(out, *settings.grammar, analysis, words);
  }
  if (analysis.outcome == sentence_outcome::unknown_word && settings.lexicon != nullptr) {
    append_split_attempts(out, *settings.lexicon, analysis.words.unknown);
  }
}

void append_record(std::string& out, const sentence_analysis& analysis,
                   const record_settings& settings) {
  out += '{';
  append_key(out, "version");
  out += std::to_string(kRecordVersion);
  append_key(out, "number");
  out += std::to_string(analysis.number);
  append_key(out, "text");
  if (analysis.as_read_utf8) {
    append_json_utf8(out, analysis.as_read);
  } else {
    append_json_string(out, analysis.as_read);
  }
  append_key(out, "sentence");
  const std::string_view sentence =
      analysis.text != nullptr ? reinterpret_cast<const char*>(analysis.text) : "";
  append_json_string(out, sentence.substr(0, sentence.empty() ? 0 : sentence.size() - 1));
  append_words(out, analysis);
  append_readings(out, analysis);
  append_key(out, "outcome");
  append_json_string(out, outcome_name(analysis.outcome));
  if (analysis.outcome == sentence_outcome::unknown_word ||
      analysis.outcome == sentence_outcome::no_number_reading) {
    append_key(out, "unknown_word");
    const sentence_word& w = analysis.words.unknown;
    append_json_string(out, text_view(w.text, w.length));
  }
  if (analysis.outcome == sentence_outcome::unreadable) {
    append_key(out, "problem");
    append_json_string(out, analysis.problem);
  }
  const std::vector<std::string_view> words = position_words(analysis.words);
  append_key(out, "analyses");
  append_json_count(out, analyses_of(analysis));
  append_key(out, "analysis");
  if (analysis.axiom != nullptr) {
    append_tree(out, analysis.axiom, words);
  } else {
    out += "null";
  }
  if (settings.all) {
    append_all_analyses(out, complete_analyses(analysis), settings.analysis_limit, words);
  }
  if (settings.why) append_why(out, analysis, settings, words);
  append_key(out, "node_count");
  out += std::to_string(analysis.nodes != nullptr ? analysis.nodes->count : 0);
  append_key(out, "time_us");
  out += std::to_string(analysis.time_us);
  if (settings.nodes && analysis.nodes != nullptr) append_nodes(out, *analysis.nodes);
  out += '}';
}
}  // namespace

std::string json_diagnosis(const sentence_analysis& analysis, const record_settings& settings) {
  std::string out = "{";
  append_why(out, analysis, settings, position_words(analysis.words));
  return out + '}';
}

std::string json_record(const sentence_analysis& analysis, const record_settings& settings) {
  std::string out;
  out.reserve(4096);  // the record of an everyday sentence, without growing
  append_record(out, analysis, settings);
  return out;
}

void json_writer::sentence_analysed(const sentence_analysis& analysis) {
  // The room of a record that took more than this is given back.
  constexpr std::size_t kKeptRecordRoom = std::size_t{1} << 20;
  needing_memory("json_record: malloc Fehler", [&] {
    record_.clear();
    append_record(record_, analysis, settings_);
    record_ += '\n';
    std::fwrite(record_.data(), 1, record_.size(), out_);
    if (record_.capacity() > kKeptRecordRoom) std::string().swap(record_);
  });
}
