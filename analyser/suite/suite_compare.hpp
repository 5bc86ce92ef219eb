// The comparison of a run with an old profile: which items got better,
// worse or different. Items are matched by their sentence text as written;
// the k-th item of a text in one run with the k-th of the same text in the
// other. Malformed lines take no part.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analyser/suite/suite_item.hpp"

enum class item_change {
  unchanged,
  better,     // fail, now pass
  worse,      // pass, now fail
  different,  // the same verdict, but another count or first analysis
  added,      // only in the new run ("new")
  gone,       // only in the old profile
};

// "unchanged", "better", "worse", "different", "new", "gone".
const char* change_name(item_change change);

struct compared_item {
  item_change change;
  const item_result* before;  // null for an added item
  const item_result* now;     // null for a gone item
};

// Every item of both runs, paired: first the new run's items in its order,
// then the old items that it lacks, in their order.
std::vector<compared_item> compare_items(const std::vector<item_result>& before,
                                         const std::vector<item_result>& now);

// Writes an empty line, one line for every item that changed, then the tally:
//   SUITE:LINE: worse: SENTENCE | before: pass, FOUND | now: fail, FOUND
//   SUITE:LINE: new: SENTENCE | now: VERDICT, FOUND
//   OLD-SUITE:LINE: gone: SENTENCE | before: VERDICT, FOUND
//   Changes against OLD: W worse, B better, D different, N new, G gone; U unchanged
void print_comparison(std::FILE* out, const std::string& old_name,
                      const std::vector<compared_item>& items, bool utf8);
