// The stored forms of category names, subcategory texts and condition
// texts, and the first-letter index that enters the lexicon, the endings and
// the rules. All texts are counted: a pointer and a length.
#pragma once

#include <cstdint>
#include <string_view>

#include "analyser/base/arena.hpp"
#include "analyser/base/text_utils.hpp"

// Slots of a first-letter index: bytes 0x41 ("A") to 0x60.
constexpr int kLetterSlots = 32;
// Groups a value set (and digits a condition) can hold: the count is one byte.
constexpr int kMaxGroups = 255;
// The group byte that holds all eight values, as "()" gives it.
constexpr unsigned char kAllValues = 0xFF;

// Value sets and conditions are counted byte strings: byte 0 is the count n,
// bytes 1..n follow. A null pointer is "no set", distinct from n = 0.
using subcat_value_set = unsigned char;
using condition_values = unsigned char;

// Characters of a category name that identify the category for the rules.
// A shorter name is read as filled up with blanks, so "NP" is "NP  " and
// differs from "NPRO".
constexpr int kCategoryKeyLength = 4;

// One interned category name, stored once in `category_table`.
struct category_entry {
  category_entry* next;
  int name_length;
  const unsigned char* name;  // name_length bytes, no terminator
  std::uint32_t key;          // category_key_of(name, name_length)
};

// The identifying bytes of a name as one number, the first byte highest:
// two categories are the same for the rules when their keys are equal.
std::uint32_t category_key_of(const unsigned char* name, int length);

// Byte i (0 <= i < kCategoryKeyLength) of the category's identifying key.
unsigned char category_key_byte(const category_entry& category, int i);

// First byte of the category's name, 0 for an empty name.
inline unsigned char category_first_byte(const category_entry& category) {
  return category.name_length > 0 ? category.name[0] : 0;
}

// The category's name as a text.
inline std::string_view category_name(const category_entry& category) {
  return text_view(category.name, category.name_length);
}

// Every category of the grammar and the lexicon, in order of first use,
// with the storage of their names.
struct category_table {
  arena storage;
  category_entry* head = nullptr;
  category_entry* tail = nullptr;
};

// The entry for `text`: the first entry whose whole name begins the text, or
// a new entry appended at the tail. Never null.
category_entry* put_category(category_table& categories, const unsigned char* text, int length);

// The value set of a subcategory text, stored in `storage`: one group per
// "(", value digits 1-8 added (not or-ed) into the current group, "()"
// giving 0xFF, ";" ending the scan. Null for an empty text. Digits before the
// first "(" and groups past kMaxGroups are ignored.
const subcat_value_set* put_scv(arena& storage, const unsigned char* text, int length);

// Adds the value of digit `digit` ("0" adds nothing) to a group byte, modulo 256.
unsigned char add_group_digit(unsigned char group, unsigned char digit);

// The digits 0-9 of a condition text in order, stored in `storage`; null for
// an empty text. Digits past kMaxGroups are ignored.
const condition_values* put_condition(arena& storage, const unsigned char* text, int length);

// Slot of a text that begins with byte c, or -1 when c lies outside 0x41..0x60.
int letter_slot(unsigned char c);

template <typename Record>
void clear_letter_index(Record* (&index)[kLetterSlots]) {
  for (Record*& slot : index) slot = nullptr;
}
