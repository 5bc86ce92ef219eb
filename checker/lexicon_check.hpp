// The lexicon check: reads a lexicon (or endings) file character by
// character, echoes it, and reports the first line that breaks the canonical
// form (with "-all", every such line). Also the categorial-frame test both
// checks share.
//
// A line in canonical form: the word, "=", the main category, then optionally
// one blank and groups such as GEN(1,2)NUM(3). Its categorial frame is the
// main category followed by every character of the subcategory part that is
// not a blank, a parenthesis, a comma or a digit 1 to 8 (so the group names
// and any label). All lines of one main category must begin with the frame of
// its first line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "checker/checker_state.hpp"

// Digits that are never subcategory values.
inline constexpr char kInvalidValueDigits[] = "09";
// Groups a line or rule part may hold.
constexpr int kMaxGroups = 8;

// Checks `file` and returns the number of "=" read, which for a correct file
// is its number of entries. An error gives up the line it is found in; the
// check then stops, or with "-all" goes on with the next line.
long long check_lexicon(checker_state& state, FILE* file);

// Fails when the first character of `word_text` (0 when it is empty), taken
// as a signed byte, is lower than `previous_first`. On success
// `previous_first` becomes that character and `word_text` is emptied.
bool check_sort_letter(std::string& word_text, signed char& previous_first);

// Tests `frame_text` against `frame_table`: the first stored frame that
// shares its first `n` characters decides, and `frame_text` must begin with
// that whole stored frame. A frame no stored frame shares them with is
// stored and passes; an empty frame passes. Reports "parentheses" while the
// line state has an open parenthesis and "# subcategories > 8" for more than
// eight groups.
bool check_frame(checker_state& state, std::string_view frame_text, int n);

// 1 when the first `n` bytes of `a` and `b` are equal, else 0; always 1 for
// `n` of 0 or less. A text reads as zero bytes past its end, as a terminated
// text would at its terminator.
int equal_prefix(std::string_view a, std::string_view b, int n);

// Empties `frame_table`: no reference frame, just the closing zero byte.
void clear_frame_table(checker_state& state);

// Reports "length of categorial frame" when the frame text of the line state
// has grown beyond `limit` characters.
void check_frame_length(checker_state& state, int limit);
