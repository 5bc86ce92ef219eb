// Mirask -c CONFIG -serve [HOST:]PORT: the analyser as a local web server
// with its workbench page (http_service.hpp), until SIGINT or SIGTERM.
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Loads the grammar of state.config_file_name once, prints "listening on
// http://HOST:PORT/" on state.errors and serves until interrupted. Returns
// the exit status: 0 after an interrupt or termination, 1 when the grammar
// cannot be loaded or the address not listened on (with a message on
// state.errors). In a build without the server it says so and returns 1.
int run_server(analyser_state& state);
