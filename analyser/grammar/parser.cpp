#include "analyser/grammar/parser.hpp"

#include "analyser/grammar/chart_parser.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/grammar/reference_parser.hpp"
#include "analyser/output/brackets.hpp"

void parse_sentence(AnalyserState& state) {
  if (state.trace_flag || !indexed_parse_applies(state)) {
    make_all_nodes_reference(state);
  } else {
    indexed_parse_tables tables;
    make_all_nodes_indexed(state, tables);
  }
  if (state.node_limit_reached) {
    report_node_limit(state);
    return;
  }
  print_results(state);
}
