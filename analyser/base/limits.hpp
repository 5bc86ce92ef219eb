// Limits that several layers of the analyser rely on.
#pragma once

// Size of the text the sentence reader is offered: 399 characters and a
// terminator. The sentence buffer holds one byte more for the closing blank.
// Every word takes at least one byte of it, so it also bounds the word
// positions of a sentence.
constexpr int kSentenceCapacity = 400;
