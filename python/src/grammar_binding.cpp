// mirask.Grammar: a loaded grammar and the analysers that parse with it,
// one per thread at a time, the GIL released while they work.
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "python/src/bindings.hpp"

namespace mirask_python {
namespace {
constexpr long kMostThreads = 1024;

// Analysers of one grammar, lent out one per parsing thread and kept for
// the next parse (their side tables stay grown).
class analyser_pool {
 public:
  explicit analyser_pool(mirask::grammar grammar) : grammar_(std::move(grammar)) {}

  // A lent analyser goes back to the pool when the lease ends.
  class lease {
   public:
    lease(analyser_pool& pool, std::unique_ptr<mirask::analyser> a)
        : pool_(pool), analyser_(std::move(a)) {}
    lease(lease&&) = default;
    ~lease() {
      if (analyser_ != nullptr) pool_.give_back(std::move(analyser_));
    }
    mirask::analyser& operator*() const { return *analyser_; }

   private:
    analyser_pool& pool_;
    std::unique_ptr<mirask::analyser> analyser_;
  };

  lease take() {
    std::unique_ptr<mirask::analyser> a;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!free_.empty()) {
        a = std::move(free_.back());
        free_.pop_back();
      }
    }
    if (a == nullptr) a = std::make_unique<mirask::analyser>(grammar_);
    return lease(*this, std::move(a));
  }

  const mirask::grammar& grammar() const { return grammar_; }

 private:
  void give_back(std::unique_ptr<mirask::analyser> a) {
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(std::move(a));
  }

  mirask::grammar grammar_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<mirask::analyser>> free_;
};

mirask::result parse_with(mirask::analyser& a, const sentence_text& s,
                          const mirask::parse_options& options) {
  return s.bytes ? a.parse_bytes(s.text, options) : a.parse(s.text, options);
}

mirask::result parse_one(analyser_pool& g, const py::handle& sentence, const py::object& number,
                         const py::kwargs& keywords) {
  const sentence_text s = sentence_of(sentence, "parse");
  mirask::parse_options options = options_of(keywords, "parse");
  options.number = record_number(number, "parse", "number");
  py::gil_scoped_release unlocked;
  return parse_with(*g.take(), s, options);
}

// The sentences parsed by `threads` threads, each with an analyser of its
// own taking the next sentence not yet taken; results in input order. The
// first error of any thread is thrown once all have stopped.
std::vector<mirask::result> parse_all(analyser_pool& g, const std::vector<sentence_text>& sentences,
                                      long threads, mirask::parse_options options) {
  std::vector<mirask::result> results;
  results.reserve(sentences.size());
  std::vector<std::optional<mirask::result>> found(sentences.size());
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_mutex;
  const long first_number = options.number;
  auto work = [&] {
    try {
      analyser_pool::lease a = g.take();
      mirask::parse_options mine = options;
      for (std::size_t i; (i = next++) < sentences.size();) {
        mine.number = first_number + static_cast<long>(i);
        found[i] = parse_with(*a, sentences[i], mine);
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(failure_mutex);
      if (!failure) failure = std::current_exception();
      next = sentences.size();
    }
  };
  const long count = std::min<long>(threads, static_cast<long>(sentences.size()));
  std::vector<std::thread> helpers;
  for (long t = 1; t < count; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& t : helpers) t.join();
  if (failure) std::rethrow_exception(failure);
  for (std::optional<mirask::result>& r : found) results.push_back(std::move(*r));
  return results;
}

std::vector<mirask::result> parse_many(analyser_pool& g, const py::iterable& sentences,
                                       const py::object& threads, const py::object& first_number,
                                       const py::kwargs& keywords) {
  mirask::parse_options options = options_of(keywords, "parse_many");
  const long thread_count = [&] {
    if (!py::isinstance<py::int_>(threads) || py::isinstance<py::bool_>(threads) ||
        py::int_(threads) < py::int_(1) || py::int_(threads) > py::int_(kMostThreads)) {
      throw py::value_error("parse_many: threads must be a whole number from 1 to " +
                            std::to_string(kMostThreads) + ", not " +
                            std::string(py::repr(threads)));
    }
    return threads.cast<long>();
  }();
  options.number = record_number(first_number, "parse_many", "first_number");
  std::vector<sentence_text> texts;
  for (const py::handle& s : sentences) texts.push_back(sentence_of(s, "parse_many"));
  if (options.number - 1 + static_cast<long>(texts.size()) > INT_MAX) {
    throw py::value_error("parse_many: the records' numbers would go beyond " +
                          std::to_string(INT_MAX));
  }
  py::gil_scoped_release unlocked;
  return parse_all(g, texts, thread_count, options);
}

std::string path_of(const py::object& path) {
  const py::object name = py::module_::import("os").attr("fsdecode")(path);
  return name.cast<std::string>();
}

mirask::load_options load_options_of(bool utf8, const std::string& start,
                                     const std::string& relative_to) {
  mirask::load_options options;
  options.utf8 = utf8;
  if (start.empty()) throw py::value_error("Grammar: start must be a category, not empty");
  options.start_category = start;
  if (relative_to == "configuration") {
    options.names = mirask::names_relative_to::configuration_folder;
  } else if (relative_to == "current") {
    options.names = mirask::names_relative_to::current_folder;
  } else {
    throw py::value_error("Grammar: relative_to must be 'configuration' or 'current', not '" +
                          relative_to + "'");
  }
  return options;
}

std::unique_ptr<analyser_pool> load(const py::object& configuration, bool utf8,
                                     const std::string& start, const std::string& relative_to) {
  const std::string path = path_of(configuration);
  const mirask::load_options options = load_options_of(utf8, start, relative_to);
  py::gil_scoped_release unlocked;
  return std::make_unique<analyser_pool>(mirask::grammar::load(path, options));
}

std::unique_ptr<analyser_pool> from_texts(const std::string& rules, const std::string& lexicon,
                                           const std::string& endings,
                                           const std::string& messages,
                                           const std::string& word_delimiters,
                                           const std::string& sentence_delimiters, bool utf8,
                                           const std::string& start) {
  mirask::grammar_texts texts;
  texts.rules = rules;
  texts.lexicon = lexicon;
  texts.endings = endings;
  texts.messages = messages;
  texts.word_delimiters = word_delimiters;
  texts.sentence_delimiters = sentence_delimiters;
  const mirask::load_options options = load_options_of(utf8, start, "configuration");
  py::gil_scoped_release unlocked;
  return std::make_unique<analyser_pool>(mirask::grammar::from_texts(texts, options));
}

py::list problems_of(const analyser_pool& g) {
  py::list out;
  for (const mirask::problem& p : g.grammar().problems()) {
    out.append(py::dict(py::arg("file") = p.file, py::arg("line") = p.line,
                        py::arg("column") = p.column, py::arg("text") = p.text));
  }
  return out;
}

py::list files_of(const analyser_pool& g) {
  py::list out;
  for (const mirask::file_info& f : g.grammar().files()) {
    out.append(py::dict(py::arg("role") = f.role, py::arg("name") = f.name,
                        py::arg("checksum") = f.checksum));
  }
  return out;
}
}  // namespace

void bind_grammar(py::module_& m) {
  const mirask::grammar_texts defaults;
  py::class_<analyser_pool>(m, "Grammar", R"(A loaded grammar, shared by every parse and thread.

Grammar(configuration, *, utf8=False, start="SATZ", relative_to="configuration")
loads the six-line configuration and the files it names, relative to the
configuration's folder (relative_to="current": to the current folder, as
`Mirask -c` does). Raises mirask.Error for a file that cannot be loaded.)")
      .def(py::init(&load), py::arg("configuration"), py::kw_only(), py::arg("utf8") = false,
           py::arg("start") = "SATZ", py::arg("relative_to") = "configuration")
      .def_static("from_texts", &from_texts,
                  "A grammar from the files' texts; problems and errors name the files "
                  "'messages', 'rules', 'lexicon' and 'endings'.",
                  py::kw_only(), py::arg("rules"), py::arg("lexicon"), py::arg("endings") = "",
                  py::arg("messages") = defaults.messages,
                  py::arg("word_delimiters") = defaults.word_delimiters,
                  py::arg("sentence_delimiters") = defaults.sentence_delimiters,
                  py::arg("utf8") = false, py::arg("start") = "SATZ")
      .def("parse", &parse_one, R"(Analyses one sentence and returns its Result.

A str is UTF-8 text; bytes are the grammar's own bytes, as Mirask reads an
input file without -utf8. A trailing line end is ignored. Keywords: start,
node_limit, timeout (seconds), max_analyses, all, why, nodes, and number
(the record's, default 1).)",
           py::arg("sentence"), py::kw_only(), py::arg("number") = 1)
      .def("parse_many", &parse_many, R"(Analyses every sentence; the Results in input order.

threads: how many threads parse at once, each with an analyser of its own;
the records are numbered from first_number. The other keywords are parse's.)",
           py::arg("sentences"), py::kw_only(), py::arg("threads") = 1,
           py::arg("first_number") = 1)
      .def_property_readonly("problems", &problems_of,
                             "The lines and rules the loaders skipped: dicts of file, line, "
                             "column and text.")
      .def_property_readonly("files", &files_of,
                             "The files loaded: dicts of role, name and checksum.")
      .def_property_readonly("rule_count", [](const analyser_pool& g) { return g.grammar().rule_count(); })
      .def_property_readonly("entry_count", [](const analyser_pool& g) { return g.grammar().entry_count(); })
      .def_property_readonly("ending_count", [](const analyser_pool& g) { return g.grammar().ending_count(); })
      .def_property_readonly("category_count", [](const analyser_pool& g) { return g.grammar().category_count(); })
      .def_property_readonly("start", [](const analyser_pool& g) { return g.grammar().start_category(); })
      .def_property_readonly("utf8", [](const analyser_pool& g) { return g.grammar().utf8(); })
      .def("__repr__", [](const analyser_pool& g) {
        const std::vector<mirask::file_info>& files = g.grammar().files();
        const std::string name = files.empty() ? "" : files.front().name;
        return "<mirask.Grammar " + name + ": " + std::to_string(g.grammar().rule_count()) +
               " rules, " + std::to_string(g.grammar().entry_count()) + " entries>";
      });
}

}  // namespace mirask_python
