#include "analyser/grammar/parser.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/grammar/chart_parser.hpp"
#include "analyser/grammar/reference_parser.hpp"

namespace {
void make_all_nodes(parse_work& work) {
  if (work.log.trace || !indexed_parse_applies(work.nodes)) {
    make_all_nodes_reference(work);
    return;
  }
  needing_memory("parse_sentence: malloc Fehler", [&] {
    if (work.tables != nullptr) {
      make_all_nodes_indexed(work, *work.tables);
      return;
    }
    indexed_parse_tables tables;
    make_all_nodes_indexed(work, tables);
  });
}
}  // namespace

parse_end parse_sentence(parse_work& work) {
  if (work.stop_at != nullptr && find_axiom_node(work.nodes.head, *work.stop_at) != nullptr) {
    return parse_end::first_analysis;
  }
  make_all_nodes(work);
  return work.stopped;
}
