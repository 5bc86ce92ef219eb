// The Python module mirask._mirask over the library (mirask.hpp): what its
// parts share.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "analyser/library/mirask.hpp"

namespace mirask_python {
namespace py = pybind11;

// The parse options a call gives as keywords (start, node_limit, timeout,
// max_analyses, all, why, nodes); TypeError for a keyword of another name,
// ValueError for a value out of range. `caller` names the function in the
// messages.
mirask::parse_options options_of(const py::kwargs& keywords, const char* caller);

// A record's number: a whole number from 1 to the largest the records hold;
// ValueError otherwise.
long record_number(const py::object& number, const char* caller, const char* name);

// A sentence as Python gives it: a str (UTF-8 text) or bytes (the grammar's
// own bytes). TypeError for anything else.
struct sentence_text {
  std::string text;
  bool bytes = false;
};
sentence_text sentence_of(const py::handle& sentence, const char* caller);

void bind_grammar(py::module_& m);
void bind_result(py::module_& m);

}  // namespace mirask_python
