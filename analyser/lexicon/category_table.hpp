// Builders for the stored forms of category names, subcategory texts and
// condition texts, and the first-letter index that enters the lexicon, the
// endings and the rules. All texts are counted: a pointer and a length.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// The entry for `text`: the first entry in `category_list` whose whole name
// begins the text, or a new entry appended at the tail. Never null.
category_entry* put_category(AnalyserState& state, const unsigned char* text, int length);

// The value set of a subcategory text: one group per "(", value digits 1-8
// added (not or-ed) into the current group, "()" giving 0xFF, ";" ending the
// scan. Null for an empty text. Digits before the first "(" and groups past
// kMaxGroups are ignored.
const subcat_value_set* put_scv(AnalyserState& state, const unsigned char* text, int length);

// Adds the value of digit `digit` ("0" adds nothing) to a group byte, modulo 256.
unsigned char add_group_digit(unsigned char group, unsigned char digit);

// The digits 0-9 of a condition text in order; null for an empty text.
// Digits past kMaxGroups are ignored.
const condition_values* put_condition(AnalyserState& state, const unsigned char* text, int length);

// Slot of a text that begins with byte c, or -1 when c lies outside 0x41..0x60.
int letter_slot(unsigned char c);

template <typename Record>
void clear_letter_index(Record* (&index)[kLetterSlots]) {
  for (Record*& slot : index) slot = nullptr;
}
