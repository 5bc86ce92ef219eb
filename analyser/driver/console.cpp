#include "analyser/driver/console.hpp"

#include "analyser/driver/messages.hpp"

void wait_for_user(AnalyserState& state) {
  show_message(state, 11);
  std::fflush(state.out);
  char reply[kWaitReplyCapacity];
  if (std::fgets(reply, sizeof reply, state.console) == nullptr) return;
}
