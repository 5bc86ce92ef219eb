// The analyses as Graphviz graphs, in UTF-8: one digraph per sentence (per
// analysis with -all), the constituents as boxes carrying their category,
// value set and rule, the words as leaves in sentence order. `dot -Tsvg`
// draws them. A sentence without analysis is a graph with a note only, and
// so is an unreadable line (the note says why), so that graph n belongs to
// line n.
#pragma once

#include <cstdio>
#include <string>

#include "analyser/output/result_writer.hpp"

// The graph of one analysis; `name` is the graph's name and title.
std::string dot_graph(const parse_node* root, const sentence_analysis& analysis,
                      const std::string& name);

class dot_writer : public result_writer {
 public:
  dot_writer(std::FILE* out, bool all, long limit) : out_(out), all_(all), limit_(limit) {}
  // No memory: fatal "print_results: malloc Fehler".
  void sentence_analysed(const sentence_analysis& analysis) override;

 private:
  std::FILE* out_;
  bool all_;
  long limit_;
};
