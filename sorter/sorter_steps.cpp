#include "sorter/sorter_steps.hpp"

#include <new>
#include <string_view>
#include <utility>

#include "sorter/filter_file.hpp"
#include "sorter/input_lines.hpp"
#include "sorter/output_pass.hpp"
#include "sorter/sorter_state.hpp"
#include "sorter/utf8_text.hpp"

namespace {

// entry_count is reported each time it reaches a multiple of this.
constexpr long kProgressStep = 100;

void count_line(sorter_state& state) {
  using progress_stream = sorter_state::progress_stream;
  ++state.entry_count;
  if (state.progress == progress_stream::none || state.entry_count % kProgressStep != 0) return;
  std::fprintf(state.progress == progress_stream::out ? state.out : state.err, "%ld Eintraege\n",
               state.entry_count);
}

// Reports a line of the UTF-8 list `name` that is left out, showing the
// bytes of its fault.
void report_left_out(sorter_state& state, const std::string& name, long line_number,
                     std::string_view line, const utf8_fault& fault) {
  ++state.left_out_lines;
  const std::string bytes = hex_bytes(line.data() + fault.offset, fault.length);
  if (fault.kind == utf8_fault_kind::not_utf8) {
    std::fprintf(state.err,
                 "\n--- %s, Zeile %ld, Spalte %zu: kein UTF-8 (%s), Zeile ausgelassen ---\n",
                 name.c_str(), line_number, fault.column, bytes.c_str());
    return;
  }
  std::fprintf(
      state.err,
      "\n--- %s, Zeile %ld, Spalte %zu: U+%04X ohne 7-Bit-Code (%s), Zeile ausgelassen ---\n",
      name.c_str(), line_number, fault.column, static_cast<unsigned>(fault.character),
      bytes.c_str());
}

list_end take_pieces(sorter_state& state, piece_reader& reader) {
  const high_bytes meaning = state.utf8_input ? high_bytes::latin_1 : high_bytes::code_page_437;
  line_piece piece;
  while (read_piece(reader, piece)) {
    if (state.filter_active) apply_filter(state, piece);
    if (state.capitals_mode) piece = piece.first(to_capitals(piece, meaning));
    count_line(state);
    if (make_entry(state, std::string_view(reinterpret_cast<const char*>(piece.data()),
                                           piece.size())) == -1)
      return list_end::memory_short;
  }
  return std::ferror(reader.file) ? list_end::read_error : list_end::complete;
}

}  // namespace

// A UTF-8 line is held whole, however long; running out of memory for it
// ends the list as a full store does.
list_end read_word_list(sorter_state& state, std::FILE* file, const std::string& name) {
  utf8_lines utf8([&](long line_number, std::string_view line, const utf8_fault& fault) {
    report_left_out(state, name, line_number, line, fault);
  });
  piece_reader reader(file, state.utf8_input ? &utf8 : nullptr);
  list_end end = list_end::memory_short;
  try {
    end = take_pieces(state, reader);
  } catch (const std::bad_alloc&) {
  }
  if (end == list_end::memory_short) std::fputs("\n--- Speichermangel ---\n", state.err);
  return end;
}

owned_stream open_stream(const sorter_state& state, const std::string& name, const char* mode) {
  return owned_stream(state.open_file(name.c_str(), mode));
}

owned_stream open_output(const sorter_state& state) {
  return open_stream(state, state.output_file_name, "w");
}

bool write_whole_list(const sorter_state& state, std::FILE* file) {
  return write_list(state, file) && std::fflush(file) == 0;
}

bool write_and_close(const sorter_state& state, owned_stream file) {
  const bool written = write_whole_list(state, file.get());
  return close_stream(std::move(file)) && written;
}

void write_counts(const sorter_state& state) {
  std::fprintf(state.out, "Anz. Saetze: %ld\n", state.entry_count);
  std::fprintf(state.out, "Elim. Doppeleintraege: %d\n", state.duplicate_count);
  if (state.utf8_input) std::fprintf(state.out, "Ausgelassene Zeilen: %d\n", state.left_out_lines);
}
