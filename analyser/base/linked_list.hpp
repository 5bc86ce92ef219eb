// The analyser's tables are singly linked lists in file or creation order,
// each held by its head and its tail: messages, categories, dictionary
// entries, rules and parse nodes.
#pragma once

// Links `record` behind `tail`, or makes it `head` of an empty list, and
// makes it the new tail.
template <typename Record>
void append_record(Record*& head, Record*& tail, Record* record) {
  record->next = nullptr;
  (head == nullptr ? head : tail->next) = record;
  tail = record;
}
