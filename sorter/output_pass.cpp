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
  const EntryOrder order = state.by_frequency ? EntryOrder::by_falling_count : EntryOrder::by_text;
  return for_each_entry(
      state.chain_table, [&](const word_entry& entry) { return write_entry(state, entry, file); },
      order);
}
