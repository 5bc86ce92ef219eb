#include "fuzz/analyser_loading.hpp"

#include <new>
#include <string>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/file_input.hpp"
#include "fuzz/fuzz_support.hpp"

bool load_with_analyser(std::string_view rules, std::string_view lexicon,
                        std::string_view endings, bool utf8, analyser_grammar& loaded) {
  const log_output quiet{null_output(), false, utf8};
  const auto input = [&](std::string_view text) { return open_text(std::string(text), "part", utf8); };
  try {
    read_rules(loaded.grammar, loaded.lexicon.categories, input(rules).get(), quiet);
    lexicon_tables& l = loaded.lexicon;
    loaded.lexicon_entries =
        read_dict(l.storage, l.categories, input(lexicon).get(), l.lexicon_index, quiet);
    loaded.endings_entries =
        read_dict(l.storage, l.categories, input(endings).get(), l.endings_index, quiet);
  } catch (const fatal_end&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
