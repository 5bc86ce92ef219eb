// The extension module mirask._mirask: Grammar and Result over the library,
// and mirask::error raised as mirask.Error.
#include "python/src/bindings.hpp"

PYBIND11_MODULE(_mirask, m) {
  namespace py = pybind11;
  m.doc() = "German sentences analysed with a categorial lexicon and combination rules.";
  // Kept for the life of the process: a translator may run at any time.
  static PyObject* error_class =
      py::object(py::module_::import("mirask._error").attr("Error")).release().ptr();
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const mirask::error& e) {
      const py::object error = py::reinterpret_borrow<py::object>(error_class)(
          e.what(), e.message(), e.file(), e.line(), e.column());
      PyErr_SetObject(error_class, error.ptr());
    }
  });
  m.def("outcomes", [] {
    py::list names;
    for (int o = 0; o <= static_cast<int>(mirask::outcome::unreadable); ++o) {
      names.append(std::string(mirask::outcome_name(static_cast<mirask::outcome>(o))));
    }
    return names;
  }, "The names of the outcomes a sentence can have.");
  mirask_python::bind_result(m);
  mirask_python::bind_grammar(m);
}
