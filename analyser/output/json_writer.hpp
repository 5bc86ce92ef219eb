// The JSON record of every sentence, one line each (JSON Lines), for scripts
// and other tools. The fields are described in the README ("JSON records");
// `version` changes whenever a field changes its meaning.
#pragma once

#include <cstdio>
#include <string>

#include "analyser/lexicon/lexicon.hpp"
#include "analyser/output/result_writer.hpp"

constexpr int kRecordVersion = 1;

// What a record holds beyond its fixed fields.
struct record_settings {
  bool nodes = false;         // every node made (-list)
  bool all = false;           // every complete analysis (-all)
  long analysis_limit = 100;  // of which at most this many
  bool why = false;           // the diagnosis of a sentence without analysis (-why)
  const grammar_tables* grammar = nullptr;  // what the diagnosis looks at
  const lexicon_tables* lexicon = nullptr;
};

// The record of one sentence, without a line end.
std::string json_record(const sentence_analysis& analysis, const record_settings& settings);

// The fields of -why alone, as one object: "fragments", "blocked" and
// "missing" for a sentence without analysis, "split_attempts" for an unknown word, "{}"
// otherwise (settings.grammar and settings.lexicon are what it looks at).
std::string json_diagnosis(const sentence_analysis& analysis, const record_settings& settings);

class json_writer : public result_writer {
 public:
  json_writer(std::FILE* out, const record_settings& settings) : out_(out), settings_(settings) {}
  // No memory: fatal "json_record: malloc Fehler".
  void sentence_analysed(const sentence_analysis& analysis) override;

 private:
  std::FILE* out_;
  record_settings settings_;
  std::string record_;  // the text of a record, its room kept for the next one
};
