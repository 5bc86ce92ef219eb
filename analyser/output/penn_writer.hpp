// The analyses as Penn Treebank brackets with the words as leaves, in UTF-8,
// as NLTK's Tree.fromstring reads them: "(SATZ (NPHR (DETA DER) (NOMN HUND))
// (VPHR (VERB BELLT)))". One line per sentence, empty when it has no
// analysis, so that line n belongs to sentence n. With every analysis (-all)
// each sentence is a block: one line per analysis, then an empty line.
#pragma once

#include <cstdio>
#include <string>

#include "analyser/output/result_writer.hpp"

// Labels and leaves never hold a blank or a parenthesis: "(" and ")" are
// written -LRB- and -RRB-, white space "_". With `values` a label carries
// the node's value set: "NPHR[1,2][3]", "[*]" for a group of all values.
std::string penn_tree(const parse_node* root, const sentence_analysis& analysis, bool values);

class penn_writer : public result_writer {
 public:
  penn_writer(std::FILE* out, bool values, bool all, long limit)
      : out_(out), values_(values), all_(all), limit_(limit) {}
  // No memory: fatal "print_results: malloc Fehler".
  void sentence_analysed(const sentence_analysis& analysis) override;

 private:
  std::FILE* out_;
  bool values_;
  bool all_;
  long limit_;
};
