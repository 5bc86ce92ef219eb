// The answers of the server's API as JSON texts, made from the grammar in
// service and the library's results; nothing here knows of HTTP.
#pragma once

#include <string>

#include "analyser/library/mirask.hpp"
#include "analyser/server/grammar_store.hpp"
#include "analyser/server/request_decoding.hpp"

// GET /api/grammar: {"files": [{"role", "name", "checksum"}], "rules": N,
// "entries": N, "endings": N, "categories": N, "start_category": "SATZ",
// "utf8": false, "problems": ["FILE:LINE:COL: error: TEXT", ...]}
std::string grammar_answer(const mirask::grammar& grammar);

// POST /api/parse: the -json record of the sentence, and with "svg" the
// fields "svg" (the analysis drawn; null when there is no such analysis) and
// "analysis_index"; with "analysis_index" also "complete_analyses" (how
// many the parse made); with "nodes" also "analysis_nodes" (the ids of the
// nodes of the analysis drawn, or of the first). For "sentences":
// {"records": [...]}.
std::string parse_answer(mirask::analyser& analyser, const parse_request& request);

// POST /api/reload: {"reloaded": true, "grammar": {...}} or, when the new
// grammar had problems, {"reloaded": false, "error": "...", "problems":
// [...], "grammar": {...the one still in service...}}.
std::string reload_answer(const reload_outcome& outcome, const mirask::grammar& in_service);

// {"error": "..."}
std::string error_answer(const std::string& message);

// The ids of the nodes of `tree` in the node table `rows`: its root is the
// first row whose nodes below it make exactly that tree. Empty when no row
// does.
std::vector<long> node_ids_of(const mirask::tree_node& tree,
                              const std::vector<mirask::node_row>& rows);
