// What the server holds against clients that are slow, idle, many, or send oversized or
// self-contradicting requests. These limits live in the HTTP layer, before any store is reached, so
// they run on SQLite only.

#include "LiveServer.h"
#include "http/AddressGroup.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A server in this process with the limits a test gives it.
struct LimitedServer : ovtest::LiveServer {
    explicit LimitedServer(ovserver::HttpLimits limits)
        : LiveServer(ovtest::Engine::Sqlite, 1024 * 1024, {}, limits) { }

    std::string log() const
    {
        std::string all;
        for (const auto &line : logLines())
            all += line + "\n";
        return all;
    }

    // The server logs a connection it cut after the client has seen it close: give it a moment.
    std::string logOnceItHolds(std::string_view text) const
    {
        for (const auto until = std::chrono::steady_clock::now() + 2s; std::chrono::steady_clock::now() < until;) {
            if (log().find(text) != std::string::npos)
                break;
            std::this_thread::sleep_for(10ms);
        }
        return log();
    }
};

// A raw client connection from a loopback address of its choice.
class Socket {
public:
    Socket(int port, const char *from = "127.0.0.1") : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        // Writing to a connection the server closed must fail, not end the test (macOS has no MSG_NOSIGNAL).
        std::signal(SIGPIPE, SIG_IGN);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from, &local.sin_addr);
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(static_cast<uint16_t>(port));
        server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0
            || ::connect(m_fd, reinterpret_cast<sockaddr *>(&server), sizeof server) != 0)
            throw std::runtime_error("cannot connect");
    }
    ~Socket() { ::close(m_fd); }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;

    // False once the server has closed its side.
    bool send(std::string_view bytes)
    {
        return ::send(m_fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    }

    // What arrives until the server closes the connection or the time runs out; closed tells which.
    std::string receive(std::chrono::milliseconds limit, bool *closed = nullptr)
    {
        std::string text;
        const auto end = Clock::now() + limit;
        if (closed)
            *closed = false;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            pollfd p{m_fd, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
                return text;
            char buffer[4096];
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                if (closed)
                    *closed = true;
                return text;
            }
            text.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // One whole reply of a keep-alive exchange (the tests' replies are short and come in one piece).
    std::string exchange(std::string_view request)
    {
        send(request);
        std::string reply;
        for (auto end = Clock::now() + 2s; Clock::now() < end && reply.find("\r\n\r\n") == std::string::npos;)
            reply += receive(50ms);
        return reply;
    }

private:
    int m_fd;
};

constexpr std::string_view kHealth = "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n";

ovserver::HttpLimits quick()
{
    ovserver::HttpLimits limits;
    limits.headerTimeout = 1s;
    limits.idleTimeout = 400ms;
    return limits;
}

std::string repeated(std::string_view text, int times)
{
    std::string all;
    all.reserve(text.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

TEST(ConnectionLimits, HeadersThatTrickleAreCutAtTheDeadline)
{
    LimitedServer server(quick());
    Socket trickler(server.port);
    const std::string request = "GET /healthz HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(100, 's') + "\r\n\r\n";
    const auto start = Clock::now();
    bool closed = false;
    // One byte every 30 ms: never idle, and the headers would take four seconds.
    for (std::size_t i = 0; i < request.size() - 1 && !closed; ++i) {
        trickler.send(request.substr(i, 1));
        trickler.receive(30ms, &closed);
    }
    ASSERT_TRUE(closed) << "a trickling client kept its connection";
    EXPECT_GT(secondsSince(start), 0.9);
    EXPECT_LT(secondsSince(start), 2.0);
    const std::string log = server.logOnceItHolds("\"GET /healthz\" 408 0B");
    EXPECT_NE(log.find("\"GET /healthz\" 408 0B"), std::string::npos) << log;

    // Headers that come whole are served as before.
    Socket honest(server.port);
    EXPECT_EQ(honest.exchange(kHealth).rfind("HTTP/1.1 200 OK", 0), 0u);
}

TEST(ConnectionLimits, IdleConnectionsAreClosedBeforeAndBetweenRequests)
{
    LimitedServer server(quick());
    Socket silent(server.port);
    Socket kept(server.port);
    EXPECT_NE(kept.exchange(kHealth).find("\r\n\r\nok"), std::string::npos); // kept open for the next request
    const auto start = Clock::now();
    bool closed = false;
    silent.receive(3s, &closed);
    EXPECT_TRUE(closed);
    kept.receive(3s, &closed);
    EXPECT_TRUE(closed);
    EXPECT_LT(secondsSince(start), 1.5);
}

TEST(ConnectionLimits, OneAddressHoldsAtMostTheLimitAndOthersAreServed)
{
    ovserver::HttpLimits limits;
    limits.maxConnectionsPerAddress = 3;
    LimitedServer server(limits);
    std::vector<std::unique_ptr<Socket>> held;
    for (int i = 0; i < 3; ++i)
        held.push_back(std::make_unique<Socket>(server.port, "127.0.0.1"));
    EXPECT_NE(held[0]->exchange(kHealth).find("200 OK"), std::string::npos);

    Socket over(server.port, "127.0.0.1");
    bool closed = false;
    over.receive(2s, &closed);
    EXPECT_TRUE(closed) << "a fourth connection from one address was kept";

#if !defined(__APPLE__) // macOS's loopback has 127.0.0.1 alone
    Socket other(server.port, "127.0.0.2");
    EXPECT_NE(other.exchange(kHealth).find("200 OK"), std::string::npos);
#endif

    held.pop_back(); // a place comes free
    std::this_thread::sleep_for(100ms);
    Socket again(server.port, "127.0.0.1");
    EXPECT_NE(again.exchange(kHealth).find("200 OK"), std::string::npos);
}

TEST(ConnectionLimits, AnIPv6NetworkOfSixtyFourBitsCountsAsOneAddress)
{
    using ovserver::addressGroup;
    EXPECT_EQ(addressGroup("203.0.113.7"), "203.0.113.7");
    EXPECT_EQ(addressGroup("2001:db8:1:2:aaaa:bbbb:cccc:dddd"), "2001:db8:1:2::/64");
    EXPECT_EQ(addressGroup("2001:db8:1:2::1"), addressGroup("2001:db8:1:2:ffff::9"));
    EXPECT_NE(addressGroup("2001:db8:1:2::1"), addressGroup("2001:db8:1:3::1"));
}

TEST(ConnectionLimits, OversizedAndSelfContradictingHeadersAreRefused)
{
    LimitedServer server({});
    std::string lines100, lines101; // with Host and Connection
    for (int i = 0; i < 98; ++i)
        lines100 += "X-Line-" + std::to_string(i) + ": v\r\n";
    lines101 = lines100 + "X-One-More: v\r\n";
    struct Case {
        const char *what;
        std::string head; // after the request line
        int status;
        const char *says;
    };
    const Case cases[] = {
        {"100 lines", lines100, 200, "ok"},
        {"101 lines", lines101, 431, "more than 100 header lines"},
        {"17 KiB in one line", "X-Big: " + std::string(17 * 1024, 'b') + "\r\n", 431, "larger than 16384 bytes"},
        {"a million lines", repeated("X: y\r\n", 1'000'000), 431, "larger than 16384 bytes"},
        {"two equal lengths", "Content-Length: 2\r\nContent-Length: 2\r\n", 400, "gives its length twice"},
        {"two lengths", "Content-Length: 2\r\nContent-Length: 3\r\n", 400, "gives its length twice"},
        {"length, then chunked", "Content-Length: 2\r\nTransfer-Encoding: chunked\r\n", 400, "gives its length twice"},
        {"chunked, then length", "Transfer-Encoding: chunked\r\nContent-Length: 2\r\n", 400, "gives its length twice"},
        {"length not a number", "Content-Length: 2x\r\n", 400, "gives its length twice"},
        {"not chunked", "Transfer-Encoding: gzip\r\n", 400, "not chunked"},
        {"gzip, then chunked", "Transfer-Encoding: gzip, chunked\r\n", 400, "not chunked"},
        {"identity, then chunked", "Transfer-Encoding: identity, chunked\r\n", 400, "not chunked"},
        {"a list of lengths", "Content-Length: 5, 5\r\n", 400, "gives its length twice"},
        {"two hosts", "Host: y\r\n", 400, "exactly one Host header"},
    };
    for (const Case &c : cases) {
        Socket client(server.port);
        client.send("GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + c.head + "\r\n");
        const std::string reply = client.receive(3s);
        EXPECT_EQ(reply.rfind("HTTP/1.1 " + std::to_string(c.status), 0), 0u) << c.what << ": " << reply.substr(0, 200);
        EXPECT_NE(reply.find(c.says), std::string::npos) << c.what << ": " << reply.substr(0, 200);
        EXPECT_NE(reply.find("X-Content-Type-Options: nosniff\r\n"), std::string::npos) << c.what;
    }
    Socket noHost(server.port);
    noHost.send("GET /healthz HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(noHost.receive(3s).rfind("HTTP/1.1 400", 0), 0u);
    Socket page(server.port);
    page.send("GET /library/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_NE(page.receive(3s).find("\r\nContent-Security-Policy: default-src 'none';"), std::string::npos);
}

TEST(ConnectionLimits, ABodyMustKeepItsRateAndAllBodiesTogetherTheirBound)
{
    ovserver::HttpLimits limits = quick();
    limits.minBodyBytesPerSecond = 1000;
    limits.maxBodyBytesInFlight = 100'000;
    LimitedServer server(limits);
    const auto upload = [](std::size_t length) {
        return "POST /ov_upload.php?user=ann&hardware=12&plugin=S&comments=c HTTP/1.1\r\nHost: x\r\nContent-Length: "
               + std::to_string(length) + "\r\n\r\n";
    };
    // One byte every 200 ms is never idle, but is cut once it falls behind 1000 bytes a second.
    Socket trickler(server.port);
    trickler.send(upload(60'000));
    Socket over(server.port, "127.0.0.3");
    over.send(upload(60'000)); // with the trickler's, past the bound of all bodies
    const std::string refused = over.receive(2s);
    EXPECT_EQ(refused.rfind("HTTP/1.1 503", 0), 0u) << refused.substr(0, 200);
    EXPECT_NE(refused.find("receiving many uploads"), std::string::npos);
    const auto start = Clock::now();
    bool closed = false;
    while (!closed && secondsSince(start) < 6) {
        trickler.send("x");
        trickler.receive(200ms, &closed);
    }
    EXPECT_TRUE(closed) << "a trickling body kept its connection";
    EXPECT_LT(secondsSince(start), 3.5);
    // Its share is free again.
    Socket after(server.port, "127.0.0.3");
    after.send(upload(60'000) + std::string(60'000, 'x'));
    EXPECT_EQ(after.receive(2s).find("HTTP/1.1 503"), std::string::npos);
}
