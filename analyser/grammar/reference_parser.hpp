// The straightforward pass-wise parse: the definition of which nodes a
// sentence has and in which order they are made. It is what runs when the
// parse is traced, and it is the judge of the indexed parser in the tests.
#pragma once

#include "analyser/grammar/parse_node.hpp"

// Makes every node the rules allow over the nodes in `work.nodes`. Each pass
// walks the list from its head (nodes made during the pass are reached in the
// same pass) and tries every node as first component of the rules of its
// initial letter, in file order; for a binary rule every node that starts
// right behind it, searched from the head of the list, is tried as second
// component. `make_node` refuses combinations made before. Passes repeat
// until one makes no node. With `work.log.trace` every step is printed.
// Stops early, with the reason in `work.stopped`, at the node limit, at the
// analysis `work.stop_at` asks for, or when `work.deadline` has passed.
void make_all_nodes_reference(parse_work& work);
