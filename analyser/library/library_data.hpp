// What the library's values hold behind their public faces (mirask.hpp):
// the loaded grammar with its files and problems, one analyser's working
// storage, and one result's own copy of its sentence and nodes.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "analyser/base/fatal_error.hpp"
#include "analyser/grammar/sentence_analysis.hpp"
#include "analyser/library/loaded_grammar.hpp"
#include "analyser/library/mirask.hpp"
#include "analyser/library/sentence_analyser.hpp"

namespace mirask::detail {

struct grammar_data {
  loaded_grammar loaded;
  std::vector<problem> problems;
  std::vector<file_info> files;
  std::string start_category;
};

// One sentence's memory: what it was given, the sentence made of it, its
// nodes and the analysis that refers to them. A result owns one; the
// analyser reuses the one of its last result once nothing else refers to it.
struct result_data {
  std::shared_ptr<const grammar_data> grammar;
  parse_options options;
  std::string text;     // as given, UTF-8
  std::string as_read;  // in the convention
  bool given_as_bytes = false;  // as_read was given, text made from it
  std::vector<unsigned char> sentence;
  std::string problem;  // why an unreadable sentence is one
  // A first block of 4 KiB, which the nodes of most sentences fill: a
  // program may keep thousands of results at once (parse_many).
  node_list nodes{4096};
  sentence_analysis analysis;

  // The complete analyses, found the first time they are asked for; a parse
  // that stopped at the first analysis is then taken to its end in `full`.
  mutable std::mutex complete_mutex;
  mutable std::unique_ptr<result_data> full;
  mutable std::optional<std::vector<const parse_node*>> complete;
};

// What a grammar holds, for the rooms above the library that run on the
// loaded grammar itself (the server's suite runs read its delimiters).
inline const grammar_data& data_of(const mirask::grammar& g) { return *g.data_; }

struct analyser_data {
  explicit analyser_data(const mirask::grammar& g, std::shared_ptr<const grammar_data> d)
      : grammar(g), data(std::move(d)), core(data->loaded) {}
  mirask::grammar grammar;
  std::shared_ptr<const grammar_data> data;
  sentence_analyser core;
  std::shared_ptr<result_data> spare;  // the store of the last result
  long parsed = 0;
};

// The analysis of `store->text` (of `store->as_read` when given as bytes)
// under `store->options` into the store, with `core`'s side tables: the one
// way a result is made.
void analyse_into(result_data& store, sentence_analyser& core);

// The error for a failed load or analysis: the framed text, with its file,
// line and column when known.
error error_of(const fatal_end& end);

}  // namespace mirask::detail
