#include "analyser/driver/console.hpp"

void wait_for_user(analyser_state& state) {
  show_message(state.loaded.messages, state.out, kMessageWait, state.added.utf8);
  std::fflush(state.out);
  char reply[kWaitReplyCapacity];
  if (std::fgets(reply, sizeof reply, state.console) == nullptr) return;
}
