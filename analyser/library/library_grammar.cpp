// mirask::error, mirask::problem and mirask::grammar: loading a grammar for
// the library.
#include <map>

#include "analyser/base/checksum.hpp"
#include "analyser/base/fatal_error.hpp"
#include "analyser/library/library_data.hpp"

namespace mirask {
namespace {
// "FILE:LINE:COL: ", or as much of it as is known.
std::string place_text(const std::string& file, long line, long column) {
  if (file.empty()) return "";
  std::string text = file + ":";
  if (line > 0) text += std::to_string(line) + ":";
  if (line > 0 && column > 0) text += std::to_string(column) + ":";
  return text + " ";
}

// Opens the names of a configuration relative to a folder ("" for the
// current folder, else ending in "/"); a name that begins with "/" stands
// for itself.
class folder_opener : public text_opener {
 public:
  explicit folder_opener(std::string folder) : folder_(std::move(folder)) {}
  std::string path_of(const std::string& name) const {
    return name.starts_with('/') ? name : folder_ + name;
  }
  unique_file open(const std::string& name, bool utf8) const override {
    return open_text_file(path_of(name), utf8);
  }

 private:
  std::string folder_;
};

// Hands out texts it was given, by name.
class text_set_opener : public text_opener {
 public:
  explicit text_set_opener(std::map<std::string, std::string> texts) : texts_(std::move(texts)) {}
  unique_file open(const std::string& name, bool utf8) const override {
    const auto found = texts_.find(name);
    return found == texts_.end() ? nullptr : open_text(found->second, name, utf8);
  }

 private:
  std::map<std::string, std::string> texts_;
};

// Loads `data` through `config` and `opener`; a failure becomes an error.
void load_into(detail::grammar_data& data, FILE* config, const text_opener& opener,
               const load_options& options) {
  try {
    load_configuration(data.loaded, config, opener, log_output{nullptr, false, options.utf8});
  } catch (const fatal_end& end) {
    throw detail::error_of(end);
  }
  data.start_category = options.start_category;
  for (const load_problem& p : data.loaded.problems.problems) {
    data.problems.push_back({p.file, p.line, p.column, p.text});
  }
}

// The folder of `path` with its closing "/"; "" for a name without one.
std::string folder_of(const std::string& path) {
  return path.substr(0, path.rfind('/') + 1);
}

// The first line of `text`, as a configuration line holds it.
std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }
}  // namespace

error::error(std::string message, std::string file, long line, long column)
    : message_(std::move(message)), file_(std::move(file)), line_(line), column_(column) {
  what_ = place_text(file_, line_, column_) + message_;
}

std::string problem::to_string() const {
  return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": error: " + text;
}

error detail::error_of(const fatal_end& end) {
  std::string message = end.text;
  const std::string place = place_text(end.file, end.line, end.column);
  // A text that names its place already (a UTF-8 fault) is not given it twice.
  if (!place.empty() && message.compare(0, place.size(), place) == 0) message.erase(0, place.size());
  return error(message, end.file, end.line, end.column);
}

grammar grammar::load(const std::string& configuration, const load_options& options) {
  auto data = std::make_shared<detail::grammar_data>();
  unique_file config = open_text_file(configuration);
  if (config == nullptr) throw error("Konfig.: Dateifehler", configuration);
  const bool in_folder = options.names == names_relative_to::configuration_folder;
  const folder_opener opener(in_folder ? folder_of(configuration) : "");
  load_into(*data, config.get(), opener, options);
  const loaded_grammar& g = data->loaded;
  const std::pair<const char*, std::string> files[] = {
      {"configuration", configuration}, {"messages", g.message_file_name},
      {"rules", g.grammar.file_name},   {"lexicon", g.lexicon_file_name},
      {"endings", g.endings_file_name},
  };
  for (const auto& [role, name] : files) {
    const std::string path = std::string(role) == "configuration" ? name : opener.path_of(name);
    data->files.push_back({role, name, file_checksum(path)});
  }
  return grammar(std::move(data));
}

grammar grammar::from_texts(const grammar_texts& texts, const load_options& options) {
  auto data = std::make_shared<detail::grammar_data>();
  const std::string config = "messages\n" + first_line(texts.word_delimiters) + "\n" +
                             first_line(texts.sentence_delimiters) + "\nrules\nlexicon\nendings\n";
  const std::pair<const char*, const std::string*> files[] = {
      {"messages", &texts.messages}, {"rules", &texts.rules},
      {"lexicon", &texts.lexicon},   {"endings", &texts.endings},
  };
  std::map<std::string, std::string> by_name;
  for (const auto& [role, text] : files) {
    by_name[role] = *text;
    data->files.push_back({role, role, checksum_text(fnv1a64(*text))});
  }
  unique_file config_stream = open_text(config, "configuration");
  load_into(*data, config_stream.get(), text_set_opener(std::move(by_name)), options);
  return grammar(std::move(data));
}

const std::vector<problem>& grammar::problems() const { return data_->problems; }
const std::vector<file_info>& grammar::files() const { return data_->files; }

long grammar::rule_count() const {
  long count = 0;
  for (const grammar_rule* r = data_->loaded.grammar.rule_list; r != nullptr; r = r->next) ++count;
  return count;
}

long grammar::entry_count() const { return ::entry_count(data_->loaded.lexicon_list); }

long grammar::ending_count() const { return ::entry_count(data_->loaded.lexicon.endings_list); }

long grammar::category_count() const {
  long count = 0;
  for (const category_entry* c = data_->loaded.lexicon.categories.head; c != nullptr; c = c->next) {
    ++count;
  }
  return count;
}

const std::string& grammar::start_category() const { return data_->start_category; }
bool grammar::utf8() const { return data_->loaded.utf8; }

}  // namespace mirask
