// Waiting for the user in console mode.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Characters of one reply that `wait_for_user` takes; the rest of a longer
// reply stays in the console input.
constexpr int kWaitReplyCapacity = 64;

// Shows message 11 and reads one line of at most 63 characters from the
// console, discarding it; the end of the console input is ignored.
void wait_for_user(analyser_state& state);
