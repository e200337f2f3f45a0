// ovcommunity-server: the community library that the editor shares mappings through.

#include "Admin.h"
#include "handler/Handler.h"
#include "http/HttpServer.h"
#include "storage/Backup.h"
#include "storage/OpenStorage.h"
#include "Options.h"
#include "handler/Pin.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

using namespace ovserver;

int main(int argc, char **argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "backup")
        return backupCommand({argv + 2, argv + argc});
    if (argc >= 2 && std::string_view(argv[1]) == "admin")
        return adminCommand({argv + 2, argv + argc});
    const ParsedOptions parsed =
        parseOptions({argv + 1, argv + argc}, std::getenv("HOME"), std::getenv("XDG_DATA_HOME"));
    if (parsed.showHelp) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (parsed.showVersion) {
        std::fputs(versionLine().c_str(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "ovcommunity-server: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    const Options &options = parsed.options;
    if (!pin::initialise()) {
        std::fputs("ovcommunity-server: libsodium cannot start (no random source)\n", stderr);
        return 1;
    }

    // Blocked before any thread starts, so every thread inherits the mask and only the waiting
    // thread below ever takes these signals; no code runs in a signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Every open connection takes a file descriptor; the usual soft limit of 1,024 is far below
    // what the server can hold, so it takes what the hard limit allows.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
        rlim_t wanted = files.rlim_max;
#if defined(__APPLE__)
        // macOS gives an unlimited hard limit and refuses any soft limit above OPEN_MAX.
        wanted = std::min<rlim_t>(wanted, OPEN_MAX);
#endif
        if (files.rlim_cur < wanted) {
            files.rlim_cur = wanted;
            setrlimit(RLIMIT_NOFILE, &files);
        }
    }

    // The database holds PIN hashes and e-mail addresses: what the server creates is for its own user.
    umask(0077);
    if (!isPostgresUrl(options.databasePath)) {
        const std::filesystem::path database(options.databasePath);
        std::error_code error;
        if (database.has_parent_path())
            std::filesystem::create_directories(database.parent_path(), error);
        if (error) {
            std::fprintf(stderr, "ovcommunity-server: cannot create the folder %s: %s\n",
                         database.parent_path().c_str(), error.message().c_str());
            return 1;
        }
    }
    std::unique_ptr<Storage> storage;
    try {
        storage = openStorage(options.databasePath, options.dbConnections);
    } catch (const StorageError &failure) {
        std::fprintf(stderr, "ovcommunity-server: %s\n", failure.what());
        return 1;
    }

    HandlerConfig config;
    config.maxUploadBytes = options.maxUploadBytes;
    config.limits = options.limits;
    config.requireUploadPin = options.requireUploadPin;
    config.trustedProxies = options.trustedProxies;
    const Handler handler(*storage, config);
    HttpLimits limits;
    limits.threads = options.threads;
    limits.maxConnectionsPerAddress = options.maxConnectionsPerAddress;
    limits.headerTimeout = std::chrono::seconds(options.headerTimeoutSeconds);
    limits.idleTimeout = std::chrono::seconds(options.idleTimeoutSeconds);
    HttpServer server(handler, {}, limits);
    const int port = server.bind(options.listenAddress, options.port);
    if (port < 0) {
        std::fprintf(stderr, "ovcommunity-server: cannot listen on %s port %d\n", options.listenAddress.c_str(),
                     options.port);
        return 1;
    }
    int metricsPort = -1;
    if (!options.metricsAddress.empty()) {
        metricsPort = server.bindMetrics(options.metricsAddress, options.metricsPort);
        if (metricsPort < 0) {
            std::fprintf(stderr, "ovcommunity-server: cannot listen for metrics on %s\n",
                         options.metricsListen.c_str());
            return 1;
        }
    }
    const bool ipv6 = options.listenAddress.find(':') != std::string::npos;
    std::printf("listening on %s%s%s:%d\n", ipv6 ? "[" : "", options.listenAddress.c_str(), ipv6 ? "]" : "", port);
    if (metricsPort >= 0) {
        const bool metricsIpv6 = options.metricsAddress.find(':') != std::string::npos;
        std::printf("metrics on %s%s%s:%d\n", metricsIpv6 ? "[" : "", options.metricsAddress.c_str(),
                    metricsIpv6 ? "]" : "", metricsPort);
    }
    std::fflush(stdout);
    std::fprintf(stderr, "database %s\n", locationForLog(options.databasePath).c_str());

    std::atomic<bool> signalled{false};
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        if (signalled.exchange(true))
            return; // woken by main below: the server has stopped already
        std::fprintf(stderr, "stopping on %s\n", signal == SIGINT ? "SIGINT" : "SIGTERM");
        server.stop();
    });
    const bool served = server.run();
    // The waiter takes SIGTERM with sigwait (blocked in every thread): the signal wakes it, not ends it.
    if (!signalled.exchange(true))
        pthread_kill(waiter.native_handle(), SIGTERM); // NOLINT(bugprone-bad-signal-to-kill-thread)
    waiter.join();
    return served ? 0 : 1;
}
