#include "analyser/lexicon/dict_reader.hpp"

#include <string>

#include "analyser/driver/fatal_error.hpp"
#include "analyser/driver/text_utils.hpp"
#include "analyser/lexicon/category_table.hpp"

namespace {
// Characters after the "=" that form the category.
constexpr int kCategoryLength = 4;

enum class Field { word, category, label };

// The line being read.
struct DictLine {
  std::string word;
  std::string category;
  std::string subcat;
  std::string label;
  Field field = Field::word;
  bool started = false;  // some character other than CR was read on this line
};

const unsigned char* bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

int length(const std::string& text) { return static_cast<int>(text.size()); }

class DictReader {
 public:
  DictReader(AnalyserState& state, dict_entry* (&index)[kLetterSlots])
      : state_(state), index_(index) {}

  dict_entry* read(FILE* file);

 private:
  void take(int c);
  void end_line();
  void store_entry();
  bool skip_comment(FILE* file);

  AnalyserState& state_;
  dict_entry* (&index_)[kLetterSlots];
  DictLine line_;
  dict_entry* first_ = nullptr;
  dict_entry* last_ = nullptr;
  int line_number_ = 1;
};

// Drops the rest of the physical line; true when it ended at an LF.
bool DictReader::skip_comment(FILE* file) {
  int c;
  while ((c = std::getc(file)) != EOF) {
    if (c == '\n') return true;
  }
  return false;
}

// One character of a line, neither CR nor LF nor part of a comment.
void DictReader::take(int c) {
  if (state_.trace_flag) std::fputc(c, state_.out);
  line_.started = true;
  const auto b = static_cast<unsigned char>(c);
  switch (line_.field) {
    case Field::label:
      if (line_.label.size() < kDictLabelLength && !(b == ' ' && line_.label.empty())) {
        line_.label += static_cast<char>(b);
      }
      return;
    case Field::category:
      if (b == ':') {
        line_.field = Field::label;
      } else {
        (line_.category.size() < kCategoryLength ? line_.category : line_.subcat) +=
            static_cast<char>(b);
      }
      return;
    case Field::word:
      if (b == '=') {
        line_.field = Field::category;
      } else {
        line_.word += static_cast<char>(upcase_char(b));
      }
      return;
  }
}

// Stores the line just ended, or skips it when it is no entry.
void DictReader::end_line() {
  if (line_.field != Field::word && !line_.word.empty() && !line_.category.empty()) {
    store_entry();
  } else if (line_.word.find_first_not_of(' ') != std::string::npos || line_.field != Field::word) {
    std::fprintf(state_.out, "read_dict: line %d skipped (no word, \"=\" or category)\n",
                 line_number_);
  }
  line_ = DictLine{};
}

void DictReader::store_entry() {
  auto* entry = state_.tables.make<dict_entry>();
  auto* word = static_cast<unsigned char*>(state_.tables.allocate(line_.word.size()));
  if (entry == nullptr || word == nullptr) fatal_error(state_, "read_dict: malloc Fehler");
  copy_bytes(word, bytes(line_.word), length(line_.word));
  entry->word = word;
  entry->word_length = length(line_.word);
  const int slot = letter_slot(word[0]);
  if (slot >= 0 && index_[slot] == nullptr) index_[slot] = entry;
  entry->category = put_category(state_, bytes(line_.category), length(line_.category));
  entry->subcat_values = put_scv(state_, bytes(line_.subcat), length(line_.subcat));
  line_.label.copy(entry->label, line_.label.size());
  if (first_ == nullptr) {
    first_ = entry;
  } else {
    last_->next = entry;
  }
  last_ = entry;
}

dict_entry* DictReader::read(FILE* file) {
  int c;
  while ((c = std::getc(file)) != EOF) {
    if (c == '\r') continue;
    if (c == '$' && line_.field != Field::label) {
      // A comment line vanishes whole; behind an entry its line end ends the entry.
      if (!skip_comment(file)) break;
      if (!line_.started) {
        ++line_number_;
        continue;
      }
      c = '\n';
    }
    if (c != '\n') {
      take(c);
      continue;
    }
    if (state_.trace_flag) std::fputc('\n', state_.out);
    end_line();
    ++line_number_;
  }
  if (line_.started) end_line();
  return first_;
}
}  // namespace

dict_entry* read_dict(AnalyserState& state, FILE* file, dict_entry* (&index)[kLetterSlots]) {
  return DictReader(state, index).read(file);
}
