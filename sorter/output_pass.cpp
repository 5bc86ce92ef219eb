#include "sorter/output_pass.hpp"

#include "sorter/sorter_state.hpp"

namespace {

// Writes one output line. A failing write of the count or of the line feed
// fails the entry as well: every byte of the list must reach the file.
bool write_entry(const SorterState& state, const word_entry& entry, std::FILE* file) {
  if (std::fputs(reinterpret_cast<const char*>(entry.text()), file) == EOF) return false;
  if (state.with_frequencies) std::fprintf(file, " %d", entry.count);
  std::fputc('\n', file);
  return !std::ferror(file);
}

}  // namespace

bool write_list(const SorterState& state, std::FILE* file) {
  const int highest_level = state.by_frequency ? state.highest_count : 1;
  for (int level = highest_level; level > 0; --level) {
    const bool written = for_each_entry(state.chain_table, [&](const word_entry& entry) {
      if (state.by_frequency && entry.count != level) return true;
      return write_entry(state, entry, file);
    });
    if (!written) return false;
  }
  return true;
}
