// The executable: its command line, its clean stop on SIGTERM and SIGINT, and a restart on the same
// database that keeps everything.

#include "LiveServer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

extern char** environ;

namespace {

// The server executable with its standard output on a pipe and its standard error in a file.
class ServerProcess {
public:
    explicit ServerProcess(std::vector<std::string> args, const std::filesystem::path& errorLog)
    {
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        args.insert(args.begin(), OVCOMMUNITY_SERVER_EXE);
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_out = out[0];
    }
    ~ServerProcess()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_out);
    }

    // Standard output up to its end or until the time runs out.
    std::string output(std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char buffer[512];
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd fd{m_out, POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
            const ssize_t n = read(m_out, buffer, sizeof buffer);
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
            if (m_untilLineEnd && text.find('\n') != std::string::npos) break;
        }
        return text;
    }

    // The port from the first line, "listening on 127.0.0.1:PORT"; 0 when it does not come.
    int port()
    {
        m_untilLineEnd = true;
        const std::string line = output();
        std::smatch match;
        return std::regex_search(line, match, std::regex("^listening on 127\\.0\\.0\\.1:([0-9]+)\n")) ? std::stoi(match[1]) : 0;
    }

    // The exit status, or -1 when the process did not exit on its own within the time.
    int waitForExit(std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        m_pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = 0;
    int m_out = -1;
    bool m_untilLineEnd = false;
};

// Requests to a server that another process runs.
struct Remote {
    int port;
    ovtest::Answer post(const std::string& target, const std::string& body = {}, const std::string& type = {}) const
    {
        httplib::Client client("127.0.0.1", port);
        client.set_url_encode(false);
        const auto result = client.Post(target.c_str(), body, type.c_str());
        return result ? ovtest::Answer{result->status, result->body} : ovtest::Answer{};
    }
};

}  // namespace

TEST(Process, StopsCleanlyOnSignalsAndARestartKeepsEverything)
{
    ovtest::TempDir dir;
    const std::string db = (dir.path / "nested" / "folder" / "community.sqlite").string();
    const auto errors = dir.path / "stderr.txt";
    std::string pin;
    {
        ServerProcess server({"--port", "0", "--db", db}, errors);
        const Remote remote{server.port()};
        ASSERT_GT(remote.port, 0);
        const auto created = remote.post("/checkuserexists.php?userName=ann&emailAddr=ann@example.com");
        pin = created.body.substr(created.body.find("PIN code is ") + 12, 6);
        ASSERT_EQ(remote.post("/checkuser.php?userName=ann&pinCode=" + pin).body, "\nOK\n");
        ASSERT_EQ(remote.post("/ov_upload.php?user=ann&hardware=12&plugin=Synth&comments=kept",
                              ovtest::uploadBody(ovtest::xmlPlist({"1 A"})), ovtest::kUploadContentType)
                      .status,
                  200);
        kill(server.pid(), SIGTERM);
        EXPECT_EQ(server.waitForExit(), 0);
    }
    using std::filesystem::perms;
    const perms others = perms::group_all | perms::others_all;
    EXPECT_EQ(std::filesystem::status(db).permissions() & others, perms::none);  // PIN hashes stay private
    EXPECT_EQ(std::filesystem::status(dir.path / "nested").permissions() & others, perms::none);
    ServerProcess again({"--port=0", "--db=" + db}, errors);
    const Remote remote{again.port()};
    ASSERT_GT(remote.port, 0);
    EXPECT_EQ(remote.post("/checkuser.php?userName=ann&pinCode=" + pin).body, "\nOK\n");
    const auto list = nlohmann::json::parse(remote.post("/ov_listplists.php?plugin=Synth").body);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["userComments"], "kept");
    kill(again.pid(), SIGINT);
    EXPECT_EQ(again.waitForExit(), 0);
}

TEST(Process, ARequestInFlightFinishesBeforeTheStop)
{
    ovtest::TempDir dir;
    ServerProcess server({"--port", "0", "--db", (dir.path / "c.sqlite").string()}, dir.path / "stderr.txt");
    const Remote remote{server.port()};
    ASSERT_GT(remote.port, 0);
    remote.post("/checkuserexists.php?userName=ann&emailAddr=ann@example.com");

    const std::string body = ovtest::uploadBody(ovtest::xmlPlist({"1 A"}));
    const std::string head = "POST /ov_upload.php?user=ann&hardware=12&plugin=Synth&comments=c HTTP/1.1\r\nHost: x\r\n"
                             "Connection: close\r\nContent-Type: " + ovtest::kUploadContentType +
                             "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(remote.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string firstHalf = head + body.substr(0, body.size() / 2);
    ASSERT_EQ(write(socket, firstHalf.data(), firstHalf.size()), static_cast<ssize_t>(firstHalf.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the request is being read

    kill(server.pid(), SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string secondHalf = body.substr(body.size() / 2);
    ASSERT_EQ(write(socket, secondHalf.data(), secondHalf.size()), static_cast<ssize_t>(secondHalf.size()));
    std::string reply;
    char buffer[1024];
    for (ssize_t n; (n = read(socket, buffer, sizeof buffer)) > 0;) reply.append(buffer, static_cast<std::size_t>(n));
    close(socket);
    EXPECT_EQ(reply.rfind("HTTP/1.1 200", 0), 0u) << reply;
    EXPECT_NE(reply.find("has been shared"), std::string::npos) << reply;
    EXPECT_EQ(server.waitForExit(), 0);
}

TEST(Process, CommandLine)
{
    ovtest::TempDir dir;
    const auto errors = dir.path / "stderr.txt";
    ServerProcess help({"--help"}, errors);
    const std::string usage = help.output();
    for (const char* flag : {"--listen", "--port", "--db", "--max-upload", "--help"})
        EXPECT_NE(usage.find(flag), std::string::npos) << flag;
    EXPECT_EQ(help.waitForExit(), 0);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--port", "70000"}, {"--port"}, {"--max-upload", "0"}, {"--max-upload", "12kb"}}) {
        ServerProcess refused(bad, errors);
        EXPECT_EQ(refused.waitForExit(), 2) << bad[0];
    }

    // A file that is not a database is refused, and left as it was.
    const auto notADatabase = dir.path / "notes.txt";
    std::FILE* file = std::fopen(notADatabase.c_str(), "w");
    std::fputs(std::string(4096, 'n').c_str(), file);
    std::fclose(file);
    ServerProcess refused({"--port", "0", "--db", notADatabase.string()}, errors);
    EXPECT_EQ(refused.waitForExit(), 1);
    EXPECT_EQ(std::filesystem::file_size(notADatabase), 4096u);
}
