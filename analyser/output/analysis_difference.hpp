// Where two analyses of one sentence that print the same brackets differ:
// the first constituent, in the order of the bracket line, whose values,
// rule or label are not the same.
#pragma once

#include "analyser/grammar/parse_node.hpp"

struct analysis_difference {
  int number = 0;  // the constituent's number in the bracket line (":k"), 0: none differs
  const parse_node* first = nullptr;   // that constituent in each analysis
  const parse_node* second = nullptr;
  bool values = false;  // they differ in their value sets
  bool rule = false;    // in their rules (values equal)
  bool label = false;   // in their labels (values and rules equal)
};

// The first difference of two analyses with the same brackets (the same
// categories in the same shape); walks both in bracket-line order and stops
// where either ends.
analysis_difference first_difference(const parse_node* first, const parse_node* second);

// True when the two value sets are equal (both absent, or the same groups).
bool same_values(const subcat_value_set* a, const subcat_value_set* b);
