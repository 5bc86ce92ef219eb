// The steps of a run that the dialogue and the script form share: taking a
// word list into the store, opening and writing the output file, and the
// final counts.
#pragma once

#include <cstdio>
#include <string>

#include "sorter/owned_stream.hpp"

struct sorter_state;

// How the reading of a word list ended.
enum class list_end { complete, memory_short, read_error };

// Takes every piece of the word list `file` into the store: converted from
// UTF-8 with utf8_input, through the filter when it is active, in capitals
// with capitals_mode, counted (with a progress line at every hundredth
// count) and stored. A line of a UTF-8 list that cannot be converted is
// reported on state.err, naming the list as `name`, counted in
// left_out_lines and left out. When memory runs out, writes
// "\n--- Speichermangel ---\n" to state.err and leaves the rest of the list
// unread. A read error ends the list as its end does.
list_end read_word_list(sorter_state& state, std::FILE* file, const std::string& name);

// Opens the file `name` through state.open_file; null when it cannot be.
owned_stream open_stream(const sorter_state& state, const std::string& name, const char* mode);

// Opens state.output_file_name for writing, anew.
owned_stream open_output(const sorter_state& state);

// Writes the list to `file` and flushes it. Returns true only when every
// byte reached it.
bool write_whole_list(const sorter_state& state, std::FILE* file);

// Writes the list to `file` and closes it. Returns true only when every byte
// reached it; the file is closed either way.
bool write_and_close(const sorter_state& state, owned_stream file);

// The final counts: "Anz. Saetze: %ld\n", "Elim. Doppeleintraege: %d\n",
// and with utf8_input "Ausgelassene Zeilen: %d\n".
void write_counts(const sorter_state& state);
