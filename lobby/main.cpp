// tumblebout-lobby [--port PORT]: the invite service. Hosts get short codes, joiners
// find them by code, both are told each other's addresses for punching through their
// routers, and when that fails the service relays their datagrams. UDP only, on PORT
// (default 27616, every address) and on ports the system picks for relays. Runs until
// SIGINT or SIGTERM; logs on stderr.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lobby/lobby_server.h"

namespace {

volatile std::sig_atomic_t stopping = 0;

void stop(int) { stopping = 1; }

void log(const std::string& line) { std::fprintf(stderr, "tumblebout-lobby: %s\n", line.c_str()); }

int usage(FILE* out, int status) {
    std::fputs("Usage: tumblebout-lobby [--port PORT]\n\n"
               "The invite service of Tumblebout's online play, on UDP port PORT (default 27616)\n"
               "of every address, relaying on ports the system picks.\n",
               out);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    LobbyServerConfig config;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") return usage(stdout, 0);
        if (arg != "--port" || i + 1 >= argc) return usage(stderr, 2);
        char* end = nullptr;
        const long port = std::strtol(argv[++i], &end, 10);
        if (*end != '\0' || port < 1 || port > 65535) return usage(stderr, 2);
        config.port = static_cast<uint16_t>(port);
    }
    std::string error;
    const std::unique_ptr<LobbyServer> server = LobbyServer::open(config, log, error);
    if (!server) {
        log(error);
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = stop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    log("serving on UDP port " + std::to_string(server->port()));
    while (stopping == 0) server->serve(100);
    log("stopped");
    return 0;
}
