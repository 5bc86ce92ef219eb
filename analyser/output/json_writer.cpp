#include "analyser/output/json_writer.hpp"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "analyser/base/fatal_error.hpp"
#include "analyser/grammar/diagnosis.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/json_text.hpp"

namespace {
// The fields every node and every tree node have.
void append_node_fields(std::string& out, const parse_node& node) {
  append_key(out, "category");
  append_json_string(out, category_name(*node.category));
  append_key(out, "start");
  append_json_number(out, node.seg_start);
  append_key(out, "end");
  append_json_number(out, node.seg_end);
  append_key(out, "values");
  append_json_values(out, node.subcat_values);
  append_key(out, "rule");
  if (node.rule != nullptr) {
    append_json_number(out, node.rule->rule_number);
  } else {
    out += "null";
  }
  append_key(out, "label");
  append_json_string(out, node.label);
}

// Opens the object of a tree node: its fields, then a word node's word or
// the list of a rule node's children.
void open_tree_node(std::string& out, const parse_node& n, bool second,
                    const std::vector<std::string_view>& words) {
  if (second) out += ',';
  out += '{';
  append_node_fields(out, n);
  if (n.left_comp == nullptr) {
    append_key(out, "word");
    const std::size_t at = static_cast<std::size_t>(n.seg_start);
    append_json_string(out, at < words.size() ? words[at] : "");
  } else {
    append_key(out, "children");
    out += '[';
  }
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
    if (out.back() != '[') out += ',';
    out += '{';
    append_key(out, "position");
    append_json_number(out, w.position);
    append_key(out, "text");
    append_json_string(out, text_view(w.text, w.length));
    if (w.stem_length > 0) {
      append_key(out, "stem");
      append_json_string(out, text_view(w.text, w.stem_length));
      append_key(out, "ending");
      append_json_string(out, text_view(w.text + w.stem_length, w.length - w.stem_length));
    }
    out += '}';
  }
  out += ']';
}

void append_readings(std::string& out, const sentence_analysis& analysis) {
  append_key(out, "readings");
  out += '[';
  for (const word_reading& r : analysis.words.readings) {
    if (out.back() != '[') out += ',';
    out += '{';
    append_key(out, "position");
    append_json_number(out, r.position);
    append_key(out, "category");
    append_json_string(out, category_name(*r.entry->category));
    append_key(out, "values");
    append_json_values(out, r.entry->subcat_values);
    append_key(out, "label");
    append_json_string(out, r.label);
    out += '}';
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
  append_record(out, analysis, settings);
  return out;
}

void json_writer::sentence_analysed(const sentence_analysis& analysis) {
  needing_memory("json_record: malloc Fehler", [&] {
    const std::string record = json_record(analysis, settings_);
    std::fwrite(record.data(), 1, record.size(), out_);
    std::fputc('\n', out_);
  });
}
