#include "analyser/server/answers.hpp"

#include <nlohmann/json.hpp>

#include "analyser/output/json_text.hpp"
#include "analyser/server/deadline.hpp"

namespace {
using json = nlohmann::json;

// Names from files may be any bytes: what is not UTF-8 becomes U+FFFD.
std::string text_of(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

json grammar_object(const mirask::grammar& g) {
  json object;
  json& files = object["files"] = json::array();
  for (const mirask::file_info& f : g.files()) {
    json& file = files.emplace_back();
    file["role"] = f.role;
    file["name"] = f.name;
    file["checksum"] = f.checksum;
  }
  object["rules"] = g.rule_count();
  object["entries"] = g.entry_count();
  object["endings"] = g.ending_count();
  object["categories"] = g.category_count();
  object["start_category"] = g.start_category();
  object["utf8"] = g.utf8();
  json& problems = object["problems"] = json::array();
  for (const mirask::problem& p : g.problems()) problems.push_back(p.to_string());
  return object;
}

// True when the nodes of row `id` down make `tree`; their ids go to `ids`.
bool matches(const mirask::tree_node& tree, long id, const std::vector<mirask::node_row>& rows,
             std::vector<long>& ids) {
  if (id < 1 || id > static_cast<long>(rows.size())) return false;
  const mirask::node_row& row = rows[static_cast<std::size_t>(id - 1)];
  if (row.category != tree.category || row.start != tree.start || row.end != tree.end ||
      row.rule != tree.rule || row.label != tree.label || row.values != tree.values) {
    return false;
  }
  const std::size_t mark = ids.size();
  ids.push_back(id);
  const std::size_t parts = tree.children.size();
  const bool below =
      parts == 0   ? row.left == 0
      : parts == 1 ? row.right == 0 && matches(tree.children[0], row.left, rows, ids)
                   : parts == 2 && matches(tree.children[0], row.left, rows, ids) &&
                         matches(tree.children[1], row.right, rows, ids);
  if (!below) ids.resize(mark);
  return below;
}

// The fields the page needs beyond the record, each with its comma.
std::string extra_fields(const mirask::result& r, const parse_request& request) {
  std::string out;
  const long index = request.analysis_index.value_or(0);
  std::optional<mirask::tree_node> shown;
  if (request.analysis_index) {
    const long made = r.complete_analyses();
    out += ",\"complete_analyses\":" + std::to_string(made);
    if (index < made) shown = r.complete_analysis(index);
  } else {
    shown = r.analysis();
  }
  if (request.svg) {
    out += ",\"analysis_index\":" + std::to_string(index) + ",\"svg\":";
    if (shown) {
      append_json_utf8(out, request.analysis_index ? r.svg(index) : r.svg());
    } else {
      out += "null";
    }
  }
  if (request.options.nodes) {
    out += ",\"analysis_nodes\":[";
    const std::vector<long> ids =
        shown ? node_ids_of(*shown, r.nodes()) : std::vector<long>{};
    for (std::size_t i = 0; i < ids.size(); ++i) out += (i > 0 ? "," : "") + std::to_string(ids[i]);
    out += ']';
  }
  return out;
}

std::string record_of(mirask::analyser& analyser, const std::string& sentence,
                      mirask::parse_options options, const parse_request& request) {
  const mirask::result r = analyser.parse(sentence, options);
  std::string record = r.json();
  if (request.svg || request.options.nodes || request.analysis_index) {
    record.insert(record.size() - 1, extra_fields(r, request));
  }
  return record;
}
}  // namespace

std::vector<long> node_ids_of(const mirask::tree_node& tree,
                              const std::vector<mirask::node_row>& rows) {
  std::vector<long> ids;
  for (const mirask::node_row& row : rows) {
    if (row.start == tree.start && row.end == tree.end && matches(tree, row.id, rows, ids)) break;
  }
  return ids;
}

std::string grammar_answer(const mirask::grammar& grammar) { return text_of(grammar_object(grammar)); }

std::string parse_answer(mirask::analyser& analyser, const parse_request& request) {
  const deadline until(request.time_limit);
  mirask::parse_options options = request.options;
  if (!request.batch) {
    options.number = 1;
    options.timeout = until.left();
    return record_of(analyser, request.sentences.front(), options, request);
  }
  std::string out = "{\"records\":[";
  for (std::size_t i = 0; i < request.sentences.size(); ++i) {
    options.number = static_cast<long>(i) + 1;
    options.timeout = until.left();
    if (i > 0) out += ',';
    out += record_of(analyser, request.sentences[i], options, request);
  }
  return out + "]}";
}

std::string reload_answer(const reload_outcome& outcome, const mirask::grammar& in_service) {
  json answer;
  answer["reloaded"] = outcome.replaced;
  answer["grammar"] = grammar_object(in_service);
  if (!outcome.replaced) {
    const std::size_t n = outcome.problems.size();
    answer["error"] = "the grammar was not reloaded (" + std::to_string(n) +
                      (n == 1 ? " problem" : " problems") + "); the one in service stays";
    answer["problems"] = outcome.problems;
  }
  return text_of(answer);
}

std::string error_answer(const std::string& message) {
  json answer;
  answer["error"] = message;
  return text_of(answer);
}
