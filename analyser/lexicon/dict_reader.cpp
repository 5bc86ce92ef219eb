#include "analyser/lexicon/dict_reader.hpp"

#include <stdio.h>

#include <string>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/linked_list.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
// Characters after the "=" that form the category.
constexpr int kCategoryLength = 4;

enum class line_field { word, category, label };

// The line being read.
struct dict_line {
  std::string word;
  std::string category;
  std::string subcat;
  std::string label;
  line_field field = line_field::word;
  bool started = false;  // some character other than CR was read on this line
};

class dict_reader {
 public:
  dict_reader(arena& storage, category_table& categories, letter_index& index,
              const log_output& log)
      : storage_(storage), categories_(categories), index_(index), log_(log) {}

  dict_entry* read(FILE* file);

 private:
  void take(int c);
  void end_line();
  void store_entry();
  bool skip_comment(FILE* file);

  arena& storage_;
  category_table& categories_;
  letter_index& index_;
  const log_output& log_;
  dict_line line_;
  dict_entry* first_ = nullptr;
  dict_entry* last_ = nullptr;
  int line_number_ = 1;
};

// Both readings below take the file a byte at a time and alone: the unlocked
// form saves taking the stream's lock for every byte.

// Drops the rest of the physical line; true when it ended at an LF.
bool dict_reader::skip_comment(FILE* file) {
  int c;
  while ((c = getc_unlocked(file)) != EOF) {
    if (c == '\n') return true;
  }
  return false;
}

// One character of a line, neither CR nor LF nor part of a comment.
void dict_reader::take(int c) {
  const auto b = static_cast<unsigned char>(c);
  if (log_.trace) write_text(log_.out, &b, 1, log_.utf8);
  line_.started = true;
  if (line_.field == line_field::label) {
    if (line_.label.size() < kDictLabelLength && !(b == ' ' && line_.label.empty())) {
      line_.label += static_cast<char>(b);
    }
  } else if (line_.field == line_field::category) {
    if (b == ':') {
      line_.field = line_field::label;
    } else {
      (line_.category.size() < kCategoryLength ? line_.category : line_.subcat) +=
          static_cast<char>(b);
    }
  } else if (b == '=') {
    line_.field = line_field::category;
  } else {
    line_.word += static_cast<char>(upcase_as(letter_case_of(log_.utf8), b));
  }
}

// Stores the line just ended, or skips it when it is no entry.
void dict_reader::end_line() {
  if (line_.field != line_field::word && !line_.word.empty() && !line_.category.empty()) {
    store_entry();
  } else if (line_.word.find_first_not_of(' ') != std::string::npos || line_.field != line_field::word) {
    const std::string text = "line skipped (no word, \"=\" or category)";
    report_problem(log_, line_number_, 1, text,
                   "read_dict: line " + std::to_string(line_number_) +
                       " skipped (no word, \"=\" or category)\n");
  }
  line_ = dict_line{};
}

void dict_reader::store_entry() {
  auto* entry = storage_.make<dict_entry>();
  auto* word = static_cast<unsigned char*>(storage_.allocate(line_.word.size()));
  copy_bytes(word, byte_data(line_.word), byte_count(line_.word));
  entry->word = word;
  entry->word_length = byte_count(line_.word);
  const int slot = letter_slot(word[0]);
  if (slot >= 0 && index_[slot] == nullptr) index_[slot] = entry;
  entry->category = put_category(categories_, byte_data(line_.category), byte_count(line_.category));
  entry->subcat_values = put_scv(storage_, byte_data(line_.subcat), byte_count(line_.subcat));
  line_.label.copy(entry->label, line_.label.size());
  entry->line = line_number_;
  append_record(first_, last_, entry);
}

dict_entry* dict_reader::read(FILE* file) {
  int c;
  while ((c = getc_unlocked(file)) != EOF) {
    if (c == '\r') continue;
    if (c == '$' && line_.field != line_field::label) {
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
    if (log_.trace) std::fputc('\n', log_.out);
    end_line();
    ++line_number_;
  }
  if (line_.started) end_line();
  return first_;
}
}  // namespace

dict_entry* read_dict(arena& storage, category_table& categories, FILE* file, letter_index& index,
                      const log_output& log) {
  return needing_memory("read_dict: malloc Fehler", [&] {
    return dict_reader(storage, categories, index, log).read(file);
  });
}
