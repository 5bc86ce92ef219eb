// The pass-wise bottom-up parse of one sentence.
#pragma once

#include "analyser/grammar/parse_node.hpp"

// Makes every node the rules allow over the word nodes in `work.nodes` and
// returns how that ended. Each pass tries every node, in list order, as first
// component of the rules of its initial letter (in file order) and, for a
// binary rule, every node starting right behind it (in list order) as second
// component; passes repeat until one makes no node. That order decides which
// analysis comes first. With `work.stop_at` the parse ends as soon as the
// first node of that analysis is made (or is a word node already); with
// `work.deadline` it ends with parse_end::timeout once that time has passed,
// keeping the nodes made so far.
// The nodes are made by the indexed parser (chart_parser.hpp); a traced parse
// prints every combination it examines and so runs the reference
// (reference_parser.hpp), which makes the same nodes in the same order.
// Precondition: `work.nodes` holds the sentence's word nodes.
// No memory for the parser's tables: fatal "parse_sentence: malloc Fehler".
parse_end parse_sentence(parse_work& work);
