// The arguments of a parse as Python gives them, checked and turned into
// the library's values.
#include <climits>
#include <cmath>
#include <string_view>

#include "python/src/bindings.hpp"

namespace mirask_python {
namespace {
std::string type_name(const py::handle& value) {
  return py::str(py::type::handle_of(value).attr("__name__"));
}

[[noreturn]] void value_error(const char* caller, const std::string& what) {
  throw py::value_error(std::string(caller) + ": " + what);
}

// A whole number from `low` to `high`.
long whole_number(const py::handle& value, const char* caller, const char* name, long low,
                  long high) {
  const std::string wanted = std::string(name) + " must be a whole number from " +
                             std::to_string(low) + " to " + std::to_string(high);
  if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value)) {
    throw py::type_error(std::string(caller) + ": " + wanted + ", not " + type_name(value));
  }
  const py::int_ number = py::reinterpret_borrow<py::int_>(value);
  if (number < py::int_(low) || number > py::int_(high)) {
    value_error(caller, wanted + ", not " + std::string(py::str(value)));
  }
  return number.cast<long>();
}

bool flag(const py::handle& value, const char* caller, const char* name) {
  if (!py::isinstance<py::bool_>(value)) {
    throw py::type_error(std::string(caller) + ": " + name + " must be True or False, not " +
                         type_name(value));
  }
  return value.cast<bool>();
}

// Seconds (None or 0 for no limit) as microseconds, at least 1 for any time
// above 0.
std::chrono::microseconds timeout_of(const py::handle& value, const char* caller) {
  if (value.is_none()) return std::chrono::microseconds{0};
  const bool number = py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value);
  if (!number || py::isinstance<py::bool_>(value)) {
    throw py::type_error(std::string(caller) + ": timeout must be a number of seconds or None, not " +
                         type_name(value));
  }
  const double seconds = value.cast<double>();
  if (!(seconds >= 0) || std::isinf(seconds)) {
    value_error(caller, "timeout must be a number of seconds of at least 0, not " +
                            std::string(py::str(value)));
  }
  constexpr double kLongest = 1e12;  // seconds; any longer is no limit in practice
  const double us = std::ceil(std::min(seconds, kLongest) * 1e6);
  return std::chrono::microseconds{static_cast<long long>(us)};
}

std::string start_of(const py::handle& value, const char* caller) {
  if (value.is_none()) return "";
  if (!py::isinstance<py::str>(value)) {
    throw py::type_error(std::string(caller) + ": start must be a category (str) or None, not " +
                         type_name(value));
  }
  return value.cast<std::string>();
}
}  // namespace

mirask::parse_options options_of(const py::kwargs& keywords, const char* caller) {
  mirask::parse_options options;
  for (const auto& [key, value] : keywords) {
    const std::string name = py::str(key);
    if (name == "start") {
      options.start = start_of(value, caller);
    } else if (name == "node_limit") {
      options.node_limit = whole_number(value, caller, "node_limit", 1, LONG_MAX);
    } else if (name == "timeout") {
      options.timeout = timeout_of(value, caller);
    } else if (name == "max_analyses") {
      options.max_analyses = whole_number(value, caller, "max_analyses", 1, LONG_MAX);
    } else if (name == "all") {
      options.all = flag(value, caller, "all");
    } else if (name == "why") {
      options.why = flag(value, caller, "why");
    } else if (name == "nodes") {
      options.nodes = flag(value, caller, "nodes");
    } else {
      throw py::type_error(std::string(caller) + "() got an unexpected keyword argument '" + name +
                           "'");
    }
  }
  return options;
}

long record_number(const py::object& number, const char* caller, const char* name) {
  return whole_number(number, caller, name, 1, INT_MAX);
}

sentence_text sentence_of(const py::handle& sentence, const char* caller) {
  if (py::isinstance<py::bytes>(sentence)) return {sentence.cast<std::string>(), true};
  if (!py::isinstance<py::str>(sentence)) {
    throw py::type_error(std::string(caller) + ": a sentence is str or bytes, not " +
                         type_name(sentence));
  }
  // A lone surrogate cannot be UTF-8; kept as its bytes, it makes the
  // sentence unreadable instead of failing the call. The escapes of a line
  // decoded with "surrogateescape" give back the line's own bytes, so the
  // sentence is unreadable at the column the command line names.
  py::object bytes = py::reinterpret_steal<py::object>(
      PyUnicode_AsEncodedString(sentence.ptr(), "utf-8", "surrogateescape"));
  if (!bytes) {
    PyErr_Clear();
    bytes = py::reinterpret_steal<py::object>(
        PyUnicode_AsEncodedString(sentence.ptr(), "utf-8", "surrogatepass"));
  }
  if (!bytes) throw py::error_already_set();
  return {bytes.cast<std::string>(), false};
}

}  // namespace mirask_python
