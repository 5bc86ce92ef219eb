// mirask.Result: what a parse found, kept in C++ and turned into Python
// values only when asked for; the complete analyses one at a time.
#include <string>

#include "python/src/bindings.hpp"

namespace mirask_python {
namespace {
// NLTK's Tree class, imported when the first tree is asked for, so that the
// module works without NLTK.
py::object tree_class() { return py::module_::import("mirask._trees").attr("tree_class")(); }

// An analysis as an NLTK tree: categories as labels, words as leaves.
py::object tree_of(const mirask::tree_node& node, const py::object& tree) {
  py::list children;
  if (node.children.empty()) children.append(py::str(node.word));
  for (const mirask::tree_node& child : node.children) children.append(tree_of(child, tree));
  return tree(py::str(node.category), children);
}

// Runs `work` (a call into the library) with the GIL released.
template <typename Work>
auto unlocked(Work&& work) {
  py::gil_scoped_release released;
  return work();
}

py::object from_json(const std::string& text) {
  return py::module_::import("json").attr("loads")(py::str(text));
}

py::object text_or_none(const std::string& text) {
  return text.empty() ? py::object(py::none()) : py::object(py::str(text));
}

// The exact count: a Python int of any size, None when unbounded, 0 for a
// sentence that was not parsed.
py::object count_of(const mirask::result& r) {
  const std::optional<mirask::analysis_count> count = r.count();
  if (!count) return py::int_(0);
  if (count->unbounded) return py::none();
  return py::reinterpret_steal<py::object>(PyLong_FromString(count->digits.c_str(), nullptr, 10));
}

// Every complete analysis in node order, one at a time: the parse is taken
// to its end (GIL released) when the first is asked for.
class tree_iterator {
 public:
  explicit tree_iterator(mirask::result r) : result_(std::move(r)) {}

  py::object next() {
    if (total_ < 0) {
      total_ = unlocked([&] { return result_.complete_analyses(); });
      if (total_ > 0) tree_ = tree_class();
    }
    if (next_ >= total_) throw py::stop_iteration();
    const long k = next_++;
    return tree_of(unlocked([&] { return result_.complete_analysis(k); }), tree_);
  }

 private:
  mirask::result result_;
  long total_ = -1;
  long next_ = 0;
  py::object tree_;
};

std::string repr_of(const mirask::result& r) {
  std::string text = "<mirask.Result " + std::string(py::repr(py::str(r.text()))) + " " +
                     std::string(mirask::outcome_name(r.outcome()));
  const std::string brackets = r.brackets();
  if (!brackets.empty()) text += " " + brackets;
  return text + ">";
}
}  // namespace

void bind_result(py::module_& m) {
  py::class_<tree_iterator>(m, "TreeIterator")
      .def("__iter__", [](py::object self) { return self; })
      .def("__next__", &tree_iterator::next);

  using mirask::result;
  py::class_<result>(m, "Result", "What the analysis of one sentence found.")
      .def_property_readonly(
          "outcome", [](const result& r) { return std::string(mirask::outcome_name(r.outcome())); },
          "analysed, no_analysis, unknown_word, no_number_reading, node_limit, timeout, "
          "no_words or unreadable")
      .def_property_readonly("count", &count_of,
                             "The exact number of complete analyses (an int of any size); None "
                             "when unbounded (a unary cycle), 0 when nothing was parsed.")
      .def_property_readonly(
          "unbounded", [](const result& r) { return r.count() && r.count()->unbounded; })
      .def_property_readonly(
          "brackets", [](const result& r) { return r.brackets(); },
          "The first analysis's bracket line as the printout shows it; '' without one.")
      .def_property_readonly(
          "numbered_brackets", [](const result& r) { return r.brackets(true); },
          "The same with each constituent's ':k' number.")
      .def_property_readonly("text", &result::text, "The sentence as given.")
      .def_property_readonly("sentence", &result::sentence,
                             "As analysed: upper-cased, cut at its first delimiter.")
      .def_property_readonly(
          "unknown_word", [](const result& r) { return text_or_none(r.unknown_word()); })
      .def_property_readonly(
          "problem", [](const result& r) { return text_or_none(r.problem()); },
          "Why an unreadable sentence is one; None otherwise.")
      .def_property_readonly("node_count", &result::node_count)
      .def_property_readonly("time_us", &result::time_us)
      .def_property_readonly(
          "tree",
          [](const result& r) -> py::object {
            const std::optional<mirask::tree_node> first = unlocked([&] { return r.analysis(); });
            if (!first) return py::none();
            return tree_of(*first, tree_class());
          },
          "The first complete analysis as an nltk.Tree (categories as labels, words as "
          "leaves), or None.")
      .def(
          "trees", [](const result& r) { return tree_iterator(r); },
          "Every complete analysis as an nltk.Tree, lazily, in node order; the first is tree.")
      .def(
          "json", [](const result& r) { return unlocked([&] { return r.json(); }); },
          "The record `Mirask -json` prints for the sentence, one line.")
      .def(
          "record", [](const result& r) { return from_json(unlocked([&] { return r.json(); })); },
          "The record as a dict.")
      .def(
          "why", [](const result& r) { return from_json(unlocked([&] { return r.diagnosis_json(); })); },
          "The diagnosis as a dict: fragments and blocked rules for a sentence without "
          "analysis, split_attempts for an unknown word; {} otherwise.")
      .def(
          "svg", [](const result& r) { return unlocked([&] { return r.svg(); }); },
          "The first analysis drawn as SVG; '' without one.")
      .def("_repr_svg_",
           [](const result& r) { return text_or_none(unlocked([&] { return r.svg(); })); })
      .def("__repr__", &repr_of);
}

}  // namespace mirask_python
