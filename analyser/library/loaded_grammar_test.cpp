#include "analyser/library/loaded_grammar.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "analyser/base/fatal_error.hpp"
#include "test_support/streams.hpp"

namespace {
// The fatal end of a load from `config` with `files` written beside it,
// traced into `trace`: "TEXT @ FILE", or "loaded".
std::string load_end(const std::string& config, const std::map<std::string, std::string>& files,
                     std::string* trace = nullptr) {
  scratch_directory dir;
  for (const auto& [name, text] : files) dir.write(name, text);
  captured_output out;
  loaded_grammar loaded;
  const unique_file config_file = open_text(config, "configuration");
  std::string end = "loaded";
  try {
    load_configuration(loaded, config_file.get(), text_opener(),
                       log_output{out.file(), trace != nullptr});
  } catch (const fatal_end& e) {
    end = std::string(e.text) + " @ " + e.file;
  }
  if (trace != nullptr) *trace = out.text();
  return end;
}

const std::string kConfig = "msg\n32\n46\nrules\nlexicon\nendings\n";

TEST(LoadConfiguration, AMessageFileWithoutMessagesEndsTheLoad) {
  for (const char* messages : {"", "\n\n", "keine Nummer\n"}) {
    EXPECT_EQ(load_end(kConfig, {{"msg", messages}}), "Message file @ msg") << messages;
  }
}

TEST(LoadConfiguration, AMissingRulesFileIsTracedAndEndsTheLoad) {
  std::string trace;
  EXPECT_EQ(load_end(kConfig, {{"msg", "1 x\n2 y\n3 z\n"}}, &trace),
            "Regeln: Dateifehler @ rules");
  EXPECT_NE(trace.find("read_grammar(): file=rules\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("read_grammar(): error 1: file=rules\n"), std::string::npos) << trace;
  // Untraced, the same end and no such lines.
  EXPECT_EQ(load_end(kConfig, {{"msg", "1 x\n"}}), "Regeln: Dateifehler @ rules");
}

TEST(LoadConfiguration, EveryFileGivenLoads) {
  EXPECT_EQ(load_end(kConfig, {{"msg", "1 x\n"},
                               {"rules", "A + B = C;.\n"},
                               {"lexicon", "A=A\nB=B\n"},
                               {"endings", ""}}),
            "loaded");
}
}  // namespace
