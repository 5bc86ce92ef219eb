// An analysis drawn as an SVG picture, for notebooks and the workbench
// page: every constituent a group `g.node` carrying its category, span,
// rule, label and values as data attributes (and a tooltip), with its
// category as text; word nodes stand in sentence order along the bottom of
// their branches with their word below; lines join each constituent to its
// components. The picture needs no fonts or scripts of its own.
#pragma once

#include <string>

#include "analyser/grammar/sentence_analysis.hpp"

// The picture of the tree below `root` (a node of `analysis`), UTF-8.
std::string svg_tree(const parse_node* root, const sentence_analysis& analysis);
