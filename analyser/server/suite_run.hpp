// POST /api/suite: a suite's items run through the reading, verdicts,
// summary and profile records of -test -profile, and compared with an
// earlier run's profile as -compare compares. This file is the server's one
// use of the suite code.
#pragma once

#include <chrono>
#include <string>

#include "analyser/library/mirask.hpp"
#include "analyser/server/request_decoding.hpp"

// The answer, one JSON object:
//   {"header": {...the profile's header...}, "records": [{...one per item...}],
//    "end": {...}, "summary": {"items": 80, "passed": 80, ...},
//    "report": "what -test prints: the failing items, the summary[, the changes]",
//    "changes": [{"change": "worse", "line": 17, "text": "...", "before": "pass", "now": "fail"}],
//    "compare_problems": "..."}
// ("changes" and "compare_problems" with "compare"). The suite's text is
// UTF-8, as -test -utf8 reads a suite. The whole run shares the request's
// time limit; each item gets what is left of it.
std::string suite_answer(mirask::analyser& analyser, const suite_request& request);
