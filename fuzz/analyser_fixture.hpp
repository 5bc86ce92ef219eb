// A quiet analyser for the harnesses: everything it prints goes to
// /dev/null, its console is empty unless a harness gives it one, and it
// knows the messages of the bundled example so that every message it shows
// has a text.
#pragma once

#include <string_view>

#include "analyser/base/fatal_error.hpp"
#include "analyser/driver/analyser_state.hpp"
#include "analyser/library/message_file.hpp"
#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"

inline constexpr std::string_view kExampleMessages =
    "3 Regeln geladen.\\n\n"
    "4 Lexikon geladen.\\n\n"
    "5 Endungen geladen.\\n\n"
    "6 Wort weder im Lexikon noch zerlegbar:\n"
    "7 \\nSatz eingeben (leere Zeile beendet):\\n\n"
    "9 Analyse:\n"
    "10 Keine vollstaendige Analyse. Alle Knoten des Satzes:\\n\n"
    "11 Weiter mit der Eingabetaste ...\\n\n";

struct quiet_analyser {
  explicit quiet_analyser(std::string_view console_text = {}) : console(console_text) {
    state.out = null_output();
    state.console = console.file();
  }

  // Loads the example messages; they are fixed text, so this cannot fail.
  void load_messages() {
    memory_input file(kExampleMessages);
    fuzz_expect(read_message_file(state.loaded.messages, file.file(), state.log()),
                "the example messages do not load");
  }

  memory_input console;
  analyser_state state;
};
