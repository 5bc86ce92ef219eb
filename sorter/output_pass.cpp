#include "sorter/output_pass.hpp"

#include <charconv>
#include <limits>

#include "sorter/sorter_state.hpp"

namespace {

// Room for " " and any int as "%d" writes it: a sign and the digits.
constexpr int kCountCharacters = 2 + std::numeric_limits<int>::digits10 + 1;

// Writes " " and the count of `entry`, as " %d" does.
void write_count(const word_entry& entry, std::FILE* file) {
  char text[kCountCharacters];
  text[0] = ' ';
  const std::to_chars_result end = std::to_chars(text + 1, text + kCountCharacters, entry.count);
  std::fwrite(text, 1, end.ptr - text, file);
}

// Writes one output line. A failing write of the count or of the line feed
// fails the entry as well: every byte of the list must reach the file.
bool write_entry(const sorter_state& state, const word_entry& entry, std::FILE* file) {
  if (std::fputs(reinterpret_cast<const char*>(entry.text()), file) == EOF) return false;
  if (state.with_frequencies) write_count(entry, file);
  std::fputc('\n', file);
  return !std::ferror(file);
}

}  // namespace

bool write_list(const sorter_state& state, std::FILE* file) {
  const entry_order order =
      state.by_frequency ? entry_order::by_falling_count : entry_order::by_text;
  return for_each_entry(
      state.chain_table, [&](const word_entry& entry) { return write_entry(state, entry, file); },
      order, state.resize_table);
}
