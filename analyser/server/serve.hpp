// Mirask -c CONFIG -serve [HOST:]PORT: the analyser as a local web server
// with its workbench page (http_service.hpp), until SIGINT or SIGTERM.
//
// The server is a program of its own, Mirask-serve, beside Mirask: the HTTP
// library and what it links (TLS, compression) stay out of Mirask, which
// starts as lean as before, under any memory limit. Mirask checks the
// command line and replaces itself by Mirask-serve with the same arguments
// (serve_exec.cpp); Mirask-serve (serve_main.cpp) serves (serve.cpp).
#pragma once

#include "analyser/driver/analyser_state.hpp"

// Serves as the options in `state` say: loads the grammar of
// state.config_file_name once, prints "listening on http://HOST:PORT/" on
// state.errors and serves until interrupted. Returns the exit status: 0
// after an interrupt or termination, 1 when the grammar cannot be loaded or
// the address not listened on (with a message on state.errors). In Mirask it
// runs Mirask-serve with `argv` instead, or says that the server is not
// built in and returns 1.
int run_server(analyser_state& state, int argc, char** argv);
