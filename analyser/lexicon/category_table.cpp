#include "analyser/lexicon/category_table.hpp"

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/linked_list.hpp"
#include "analyser/base/text_utils.hpp"

category_entry* put_category(category_table& categories, const unsigned char* text, int length) {
  for (category_entry* e = categories.head; e != nullptr; e = e->next) {
    if (e->name_length <= length && compare_bytes(text, e->name, e->name_length) == 0) return e;
  }
  return needing_memory("put_category: malloc Fehler", [&] {
    auto* entry = categories.storage.make<category_entry>();
    auto* name = static_cast<unsigned char*>(categories.storage.allocate(length > 0 ? length : 1));
    copy_bytes(name, text, length);
    entry->name = name;
    entry->name_length = length;
    entry->key = category_key_of(name, length);
    append_record(categories.head, categories.tail, entry);
    return entry;
  });
}

std::uint32_t category_key_of(const unsigned char* name, int length) {
  std::uint32_t key = 0;
  for (int i = 0; i < kCategoryKeyLength; ++i) key = key << 8 | (i < length ? name[i] : ' ');
  return key;
}

unsigned char category_key_byte(const category_entry& category, int i) {
  return i < category.name_length ? category.name[i] : ' ';
}

unsigned char add_group_digit(unsigned char group, unsigned char digit) {
  if (digit < '1' || digit > '9') return group;
  return static_cast<unsigned char>(group + (1u << (digit - '1')));
}

// Copies `count` bytes of `bytes` behind a count byte into fresh storage.
static const unsigned char* store_counted(arena& storage, const unsigned char* bytes, int count,
                                          const char* failure) {
  return needing_memory(failure, [&] {
    auto* block = static_cast<unsigned char*>(storage.allocate(count + 1));
    block[0] = static_cast<unsigned char>(count);
    copy_bytes(block + 1, bytes, count);
    return static_cast<const unsigned char*>(block);
  });
}

const subcat_value_set* put_scv(arena& storage, const unsigned char* text, int length) {
  if (length <= 0) return nullptr;
  unsigned char groups[kMaxGroups];
  int n = 0;
  bool past_limit = false;  // more "(" than a count byte can hold: the rest is ignored
  unsigned char previous = 0;
  for (int i = 0; i < length && text[i] != ';'; ++i) {
    unsigned char c = text[i];
    if (c == ')' && previous == '(') {  // a group was opened just before
      if (!past_limit) groups[n - 1] = kAllValues;
    } else if (c == '(') {
      if (n < kMaxGroups) {
        groups[n++] = 0;
      } else {
        past_limit = true;
      }
    } else if (c >= '1' && c <= '8' && n > 0 && !past_limit) {
      groups[n - 1] = add_group_digit(groups[n - 1], c);
    }
    previous = c;
  }
  return store_counted(storage, groups, n, "put_scv: malloc Fehler");
}

const condition_values* put_condition(arena& storage, const unsigned char* text, int length) {
  if (length <= 0) return nullptr;
  unsigned char digits[kMaxGroups];
  int n = 0;
  for (int i = 0; i < length && n < kMaxGroups; ++i) {
    if (text[i] >= '0' && text[i] <= '9') digits[n++] = static_cast<unsigned char>(text[i] - '0');
  }
  return store_counted(storage, digits, n, "put_condition: malloc Fehler");
}

int letter_slot(unsigned char c) {
  if (c < 0x41 || c > 0x60) return -1;
  return c - 0x41;
}
