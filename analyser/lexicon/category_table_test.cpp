#include "analyser/lexicon/category_table.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/lexicon/test_support.hpp"

namespace {
const unsigned char* u(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}
int n(const std::string& text) { return static_cast<int>(text.size()); }

std::string name_of(const category_entry* entry) {
  return std::string(reinterpret_cast<const char*>(entry->name), entry->name_length);
}

// Count byte and group bytes of a value set or condition; "none" for null.
std::vector<int> counted(const unsigned char* block) {
  if (block == nullptr) return {-1};
  return std::vector<int>(block, block + 1 + block[0]);
}

struct Tables : ::testing::Test {
  category_table categories;
  arena storage;
  category_entry* category(const std::string& text) {
    return put_category(categories, u(text), n(text));
  }
  std::vector<int> scv(const std::string& text) {
    return counted(put_scv(storage, u(text), n(text)));
  }
  std::vector<int> condition(const std::string& text) {
    return counted(put_condition(storage, u(text), n(text)));
  }
  std::vector<std::string> names() {
    std::vector<std::string> result;
    for (category_entry* e = categories.head; e != nullptr; e = e->next)
      result.push_back(name_of(e));
    return result;
  }
};

TEST_F(Tables, SameNameGivesTheSameEntry) {
  category_entry* first = category("NOMN");
  EXPECT_EQ(category("NOMN"), first);
  EXPECT_NE(category("VERB"), first);
  EXPECT_EQ(names(), (std::vector<std::string>{"NOMN", "VERB"}));
  EXPECT_EQ(categories.tail, category("VERB"));
}

TEST_F(Tables, TextBeginningWithAStoredNameIsThatName) {
  category_entry* np = category("NP");
  EXPECT_EQ(category("NPRO"), np);
  EXPECT_EQ(names(), std::vector<std::string>{"NP"});
}

TEST_F(Tables, ShorterNameAfterALongerOneIsNew) {
  category_entry* npro = category("NPRO");
  category_entry* np = category("NP");
  EXPECT_NE(np, npro);
  EXPECT_EQ(name_of(np), "NP");
  // The first entry in list order wins: NPRO is before NP.
  EXPECT_EQ(category("NPROX"), npro);
  EXPECT_EQ(category("NPX"), np);
}

TEST_F(Tables, NamesAreComparedByteForByte) {
  category_entry* upper = category("SATZ");
  EXPECT_NE(category("satz"), upper);
  category_entry* with_zero = category(std::string("A\0BC", 4));
  EXPECT_EQ(category(std::string("A\0BC", 4)), with_zero);
  EXPECT_NE(category(std::string("A\0BD", 4)), with_zero);
}

TEST_F(Tables, ValueSets) {
  struct row {
    const char* text;
    std::vector<int> bytes;
  };
  const std::vector<row> rows = {
      {"", {-1}},  // no text: no set
      {" ", {0}},  // a text without "(": a set of no groups
      {"GEN", {0}},
      {" GEN(1)NUM(12)", {2, 0x01, 0x03}},
      {"(1)()(3)", {3, 0x01, 0xFF, 0x04}},
      {"( )", {1, 0x00}},   // only "()" directly gives all values
      {"(11)", {1, 0x02}},  // addition, not or
      {"(88)", {1, 0x00}},
      {"(12;3)", {1, 0x03}},  // ";" ends the scan
      {"(1);(2)", {1, 0x01}},
      {"(1)X2(3)", {2, 0x03, 0x04}},  // a digit after ")" still counts for the group
      {"(8)", {1, 0x80}},
      {"(09)", {1, 0x00}},   // "0" and "9" are no values
      {"12(3)", {1, 0x04}},  // digits before the first "(" are ignored
      {"(1,2,4)", {1, 0x0B}},
      {"()5", {1, 0x0F}},  // 0xFF + 16 wraps within the byte
      {"(12345678)", {1, 0xFF}},
  };
  for (const row& row : rows) EXPECT_EQ(scv(row.text), row.bytes) << row.text;
}

TEST_F(Tables, ValueSetGroupLimit) {
  std::string at_limit;
  for (int i = 0; i < kMaxGroups; ++i) at_limit += "(1)";
  const std::vector<int> full = scv(at_limit);
  ASSERT_EQ(full.size(), static_cast<std::size_t>(kMaxGroups + 1));
  EXPECT_EQ(full[0], kMaxGroups);
  EXPECT_EQ(full[kMaxGroups], 0x01);
  // One past: the extra group, its digits and its "()" are ignored.
  const std::vector<int> past = scv(at_limit + "(2)" + "()");
  EXPECT_EQ(past, full);
}

TEST_F(Tables, AddGroupDigit) {
  EXPECT_EQ(add_group_digit(0, '0'), 0);
  EXPECT_EQ(add_group_digit(0, '1'), 1);
  EXPECT_EQ(add_group_digit(0, '8'), 0x80);
  EXPECT_EQ(add_group_digit(0x80, '8'), 0x00);
  EXPECT_EQ(add_group_digit(0x05, '9'), 0x05);  // 1 shifted by 8 is lost within 8 bits
  EXPECT_EQ(add_group_digit(0x05, 'x'), 0x05);
}

TEST_F(Tables, Conditions) {
  EXPECT_EQ(condition(""), std::vector<int>{-1});
  EXPECT_EQ(condition("x"), std::vector<int>{0});
  EXPECT_EQ(condition("2;13"), (std::vector<int>{3, 2, 1, 3}));
  EXPECT_EQ(condition("0 9,5"), (std::vector<int>{3, 0, 9, 5}));
}

TEST_F(Tables, ConditionDigitLimit) {
  const std::string at_limit(kMaxGroups, '7');
  const std::vector<int> full = condition(at_limit);
  ASSERT_EQ(full.size(), static_cast<std::size_t>(kMaxGroups + 1));
  EXPECT_EQ(full[0], kMaxGroups);
  EXPECT_EQ(condition(at_limit + "1"), full);
}

TEST_F(Tables, EveryCallMakesAFreshBlock) {
  const unsigned char* a = put_scv(storage, u("(1)"), 3);
  const unsigned char* b = put_scv(storage, u("(1)"), 3);
  EXPECT_NE(a, b);
  EXPECT_EQ(counted(a), counted(b));
  EXPECT_NE(put_condition(storage, u("1"), 1), put_condition(storage, u("1"), 1));
}

TEST_F(Tables, OutOfMemoryEndsWithTheBuildersText) {
  categories.storage.set_limit(1);
  storage.set_limit(1);
  EXPECT_EQ(test_support::fatal_text_of([&] { category("NOMN"); }), "put_category: malloc Fehler");
  EXPECT_EQ(test_support::fatal_text_of([&] { scv("(1)"); }), "put_scv: malloc Fehler");
  EXPECT_EQ(test_support::fatal_text_of([&] { condition("1"); }), "put_condition: malloc Fehler");
}

TEST(LetterSlot, CoversTheBytesFrom0x41To0x60) {
  EXPECT_EQ(letter_slot('A'), 0);
  EXPECT_EQ(letter_slot('Z'), 25);
  EXPECT_EQ(letter_slot('['), 26);
  EXPECT_EQ(letter_slot('^'), 29);
  EXPECT_EQ(letter_slot(0x60), 31);
  EXPECT_EQ(letter_slot(0x40), -1);
  EXPECT_EQ(letter_slot(0x61), -1);
  EXPECT_EQ(letter_slot(0), -1);
  EXPECT_EQ(letter_slot(0xC4), -1);
}

TEST(ClearLetterIndex, EmptiesEverySlot) {
  dict_entry entry{};
  letter_index index;
  for (dict_entry*& slot : index) slot = &entry;
  clear_letter_index(index);
  for (dict_entry* slot : index) EXPECT_EQ(slot, nullptr);
}
}  // namespace
