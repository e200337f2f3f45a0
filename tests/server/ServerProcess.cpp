#include "ServerProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace ovtest {

ServerProcess::ServerProcess(std::vector<std::string> args, const std::filesystem::path &errorLog)
{
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    for (const int end : out)
        fcntl(end, F_SETFD, FD_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    args.insert(args.begin(), OVCOMMUNITY_SERVER_EXE);
    std::vector<char *> argv;
    for (auto &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    m_out = out[0];
}

ServerProcess::~ServerProcess()
{
    if (m_pid > 0)
        kill();
    close(m_out);
}

void ServerProcess::kill()
{
    ::kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = 0;
}

std::string ServerProcess::output(std::chrono::milliseconds limit)
{
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    char buffer[512];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd{m_out, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            break;
        const ssize_t n = read(m_out, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (m_untilLineEnd && text.find('\n') != std::string::npos)
            break;
    }
    return text;
}

int ServerProcess::port()
{
    m_untilLineEnd = true;
    m_firstLines = output();
    std::smatch match;
    return std::regex_search(m_firstLines, match, std::regex("^listening on 127\\.0\\.0\\.1:([0-9]+)\n"))
               ? std::stoi(match[1])
               : 0;
}

int ServerProcess::metricsPort()
{
    const std::regex line("\nmetrics on 127\\.0\\.0\\.1:([0-9]+)\n");
    std::smatch match;
    if (!std::regex_search(m_firstLines, match, line))
        m_firstLines += output();
    return std::regex_search(m_firstLines, match, line) ? std::stoi(match[1]) : 0;
}

int ServerProcess::waitForExit(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_pid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string fileText(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace ovtest
