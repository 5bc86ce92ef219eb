// The numbered messages of the message file: the texts the analyser shows
// at its fixed points (rules loaded, word not found, analysis found, ...).
// The driver loads them; the driver and the result output show them.
#pragma once

#include <cstdio>

#include "analyser/base/arena.hpp"

// The numbers the analyser shows.
enum message_number : int {
  kMessageRulesLoaded = 3,
  kMessageLexiconLoaded = 4,
  kMessageEndingsLoaded = 5,
  kMessageWordNotFound = 6,
  kMessageSentencePrompt = 7,
  kMessageAnalysisFound = 9,
  kMessageNoAnalysis = 10,
  kMessageWait = 11,
};

struct message_record {
  int number;
  message_record* next;
  const char* text;  // as stored in the file, escapes unexpanded
};

// The messages in file order, with the storage of their texts; several
// records may carry the same number.
struct message_table {
  arena storage;
  message_record* head = nullptr;
  message_record* tail = nullptr;
};

// Writes message `number` (the first record with that number) to `out` with
// its escapes expanded: backslash-n and backslash-r become line feed and
// carriage return, any other escaped character is dropped with its
// backslash, and so is a backslash at the very end; with `utf8` the text is
// written in UTF-8. Returns 0, or -1 when there is no such message (nothing
// is written).
int show_message(const message_table& messages, std::FILE* out, int number, bool utf8 = false);
