// mirask::analyser: one thread's parses, each into a result of its own.
#include "analyser/base/fatal_error.hpp"
#include "analyser/base/sentence_text.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/library/library_data.hpp"

namespace mirask {
namespace {
// The text without one trailing line end (LF or CR LF).
std::string_view without_line_end(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

analysis_request request_of(const detail::result_data& store) {
  const parse_options& options = store.options;
  analysis_request request;
  request.start_category =
      options.start.empty() ? std::string_view(store.grammar->start_category) : options.start;
  request.stop_at_first_analysis = !(options.all || options.nodes);
  request.count_analyses = options.count;
  request.node_limit = options.node_limit;
  request.time_limit = options.timeout;
  return request;
}

// A sentence that cannot be read gets a result without analysis.
void make_unreadable(detail::result_data& store, const utf8_fault& fault) {
  store.problem = utf8_fault_problem(fault);
  store.nodes.clear();
  sentence_analysis& a = store.analysis;
  a = sentence_analysis{};
  a.outcome = sentence_outcome::unreadable;
  a.problem = store.problem;
  a.as_read = store.text;
  a.as_read_utf8 = true;
  a.nodes = &store.nodes;
}
}  // namespace

void detail::analyse_into(result_data& store, sentence_analyser& core) {
  if (!store.given_as_bytes) {
    utf8_fault fault;
    store.as_read.clear();
    if (!from_utf8(store.text, store.as_read, fault)) {
      make_unreadable(store, fault);
      return;
    }
  }
  const int length = static_cast<int>(store.as_read.size());
  store.sentence.assign(store.as_read.begin(), store.as_read.end());
  store.sentence.resize(store.as_read.size() + 2);
  const bool visible =
      make_sentence(store.sentence.data(), length, store.grammar->loaded.sentence_end_chars,
                    letter_case_of(store.grammar->loaded.utf8));
  // A text without a visible character is a sentence without words.
  if (!visible) store.sentence.assign(2, 0);
  store.analysis = core.analyse(store.sentence.data(), store.nodes, request_of(store),
                                log_output{nullptr});
  store.analysis.as_read = store.as_read;
}

namespace {
// A store with the sentence that `give` puts into it, analysed under
// `options`: the store of the analyser's last result when nothing else holds
// it, else a fresh one.
template <typename Give>
std::shared_ptr<detail::result_data> analysed(detail::analyser_data& d,
                                              const parse_options& options, Give&& give) {
  std::shared_ptr<detail::result_data> store = std::move(d.spare);
  if (store == nullptr || store.use_count() > 1) store = std::make_shared<detail::result_data>();
  store->full.reset();
  store->complete.reset();
  store->grammar = d.data;
  store->options = options;
  try {
    give(*store);
    detail::analyse_into(*store, d.core);
  } catch (const fatal_end& end) {
    throw detail::error_of(end);
  } catch (const std::bad_alloc&) {
    throw error("malloc Fehler");
  }
  ++d.parsed;
  store->analysis.number = static_cast<int>(options.number > 0 ? options.number : d.parsed);
  d.spare = store;
  return store;
}
}  // namespace

analyser::analyser(const mirask::grammar& g)
    : data_(std::make_unique<detail::analyser_data>(g, g.data_)) {}
analyser::~analyser() = default;
analyser::analyser(analyser&&) noexcept = default;
analyser& analyser::operator=(analyser&&) noexcept = default;

const mirask::grammar& analyser::grammar() const { return data_->grammar; }

result analyser::parse(std::string_view sentence, const parse_options& options) {
  return result(analysed(*data_, options, [&](detail::result_data& store) {
    store.given_as_bytes = false;
    store.text = without_line_end(sentence);
  }));
}

result analyser::parse_bytes(std::string_view sentence, const parse_options& options) {
  return result(analysed(*data_, options, [&](detail::result_data& store) {
    store.given_as_bytes = true;
    store.as_read = without_line_end(sentence);
    store.text = to_utf8(store.as_read);
  }));
}

}  // namespace mirask
