#include "sorter/filter_file.hpp"

#include <cctype>

#include "sorter/input_lines.hpp"
#include "sorter/sorter_state.hpp"

namespace {

constexpr int kNoValue = -1;
constexpr long kHighestByte = kByteValues - 1;
constexpr int kDecimalBase = 10;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The byte value that one side of an item names, read as "%d" reads a
// number: white space first, an optional sign, at least one digit; what
// follows the digits does not count. kNoValue when there is no number, the
// side is too long, or the value lies outside 0 to 255.
int side_value(const std::string& side) {
  if (side.size() > kSideCapacity) return kNoValue;
  std::size_t i = 0;
  while (i < side.size() && std::isspace(static_cast<unsigned char>(side[i]))) ++i;
  bool negative = false;
  if (i < side.size() && (side[i] == '+' || side[i] == '-')) negative = side[i++] == '-';
  if (i == side.size() || !is_digit(side[i])) return kNoValue;
  long value = 0;
  for (; i < side.size() && is_digit(side[i]) && value <= kHighestByte; ++i) {
    value = value * kDecimalBase + (side[i] - '0');
  }
  if (negative) value = -value;
  return value >= 0 && value <= kHighestByte ? static_cast<int>(value) : kNoValue;
}

// Enters the item of one line (its line feed, if any, comes last). Returns
// false when the item is wrong: a side without a number or out of range, or
// no "=" before the line end.
bool take_item(sorter_state& state, const std::string& line) {
  int left = kNoValue;
  std::string side;
  for (const char c : line) {
    if (c == ' ' || c == '\n') continue;
    if (c != '=') {
      side += c;
      continue;
    }
    left = side_value(side);
    if (left == kNoValue) return false;
    side.clear();
  }
  const int right = side_value(side);
  if (left == kNoValue || right == kNoValue) return false;
  state.filter_map[left] = static_cast<unsigned char>(right);
  return true;
}

bool is_item_line(const std::string& line) { return line[0] != '!' && line[0] != '\n'; }

void report_not_found(sorter_state& state) {
  std::fputs("\n--- Filter File not Found ---", state.out);
}

}  // namespace

int read_filter(sorter_state& state, const std::string& name) {
  state.filter_map = identity_filter();
  std::FILE* file = state.open_file(name.c_str(), "r");
  if (file == nullptr) {
    report_not_found(state);
    return -1;
  }
  const int result = read_filter_items(state, file);
  std::fclose(file);
  return result;
}

int read_filter_items(sorter_state& state, std::FILE* file) {
  state.filter_map = identity_filter();
  state.filter_active = true;
  std::string line;
  while (read_line(file, line)) {
    if (is_item_line(line) && !take_item(state, line)) {
      std::fprintf(state.err, "\n--- wrong filter item %s ---\n", line.c_str());
      return -1;
    }
  }
  if (std::ferror(file)) {
    report_not_found(state);
    return -1;
  }
  return 0;
}

void apply_filter(const sorter_state& state, std::span<unsigned char> line) {
  for (std::size_t i = 0; i < line.size() && line[i] != '\0'; ++i) line[i] = state.filter_map[line[i]];
}
