#pragma once
// The server executable as a process of its own; ovtest::Remote sends it requests.

#include "LiveServer.h"

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace ovtest {

// The server with its standard output on a pipe and its standard error appended to a file.
class ServerProcess {
public:
    ServerProcess(std::vector<std::string> args, const std::filesystem::path &errorLog);
    ~ServerProcess(); // kills it when it still runs
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Standard output up to its end or until the time runs out.
    std::string output(std::chrono::milliseconds limit = std::chrono::seconds(10));

    // The port from the first line, "listening on 127.0.0.1:PORT"; 0 when it does not come.
    int port();
    // After port(): the metrics listener's, from "metrics on 127.0.0.1:PORT"; 0 when it does not come.
    int metricsPort();

    // The exit status (128 + signal when killed), or -1 when it did not exit within the time.
    int waitForExit(std::chrono::milliseconds limit = std::chrono::seconds(10));

    // SIGKILL, and waits for the end.
    void kill();

    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = 0;
    int m_out = -1;
    bool m_untilLineEnd = false;
    std::string m_firstLines; // of standard output, as port() read them
};

// The whole text of a file, such as a server's error log; empty when it cannot be read.
std::string fileText(const std::filesystem::path &path);

} // namespace ovtest
