#pragma once
// The server's command line.

#include "storage/Storage.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ovserver {

struct Options {
    std::string listenAddress = "127.0.0.1";
    int port = 8080;                           // 0 picks a free port
    std::string databasePath;                  // a SQLite file or a PostgreSQL URI; after parsing, never empty
    std::size_t maxUploadBytes = 1048576;      // the largest parameter-order file accepted
    std::size_t threads = 64;                  // requests handled at once
    std::size_t dbConnections = 0;             // connections to the store; 0 takes the engine's default
    std::size_t maxConnectionsPerAddress = 16; // open connections one client address may hold; 0: no limit
    int headerTimeoutSeconds = 10;             // a request's headers must arrive whole within this
    int idleTimeoutSeconds = 5;                // a connection without a request under way is closed after this
    VolumeLimits limits;
    bool requireUploadPin = false;
    std::vector<std::string> trustedProxies; // besides loopback, peers whose X-Forwarded-For is believed
    std::string metricsListen;               // ADDR:PORT of the metrics listener, as given; empty: none
    std::string metricsAddress;              // metricsListen taken apart
    int metricsPort = -1;
};

struct ParsedOptions {
    Options options;
    bool showHelp = false;
    bool showVersion = false;
    std::string error; // empty when the command line is good
};

// args are the arguments after the program name. home and xdgDataHome (either may be null) give the
// default database path, $XDG_DATA_HOME/ovcorvanta/community.sqlite or ~/.local/share/...
ParsedOptions parseOptions(const std::vector<std::string> &args, const char *home, const char *xdgDataHome);

std::string usage();

// "ovcommunity-server VERSION", for --version.
std::string versionLine();

} // namespace ovserver
