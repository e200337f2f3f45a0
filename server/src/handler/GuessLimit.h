#pragma once
// What one node remembers of PIN guesses by client address: how many wrong ones each address made
// lately, and which address proved which user's PIN. The lock per user name lives in the store; this
// keeps one address from spending every name's allowance, and keeps a locked name open to the
// address its owner signed in from.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ovserver {

struct GuessPolicy {
    int maxWrongPerAddress = 30; // wrong PINs one address (an IPv6 /64) may give in the window
    std::int64_t windowSeconds = 15 * 60;
    std::int64_t proofSeconds = 7 * 24 * 60 * 60; // how long a right PIN keeps its name open to that address
    std::size_t maxAddresses = 65536;             // of each kind remembered; the oldest go first past it
};

class GuessLimit {
public:
    explicit GuessLimit(GuessPolicy policy = {}) : m_policy(policy) { }

    // True when the address gave its wrong PINs' allowance within the window.
    bool exhausted(const std::string &address, std::int64_t now);
    void wrong(const std::string &address, std::int64_t now);

    // The address gave that user's right PIN; a wrong one from it ends that.
    void proven(std::string_view user, const std::string &address, std::int64_t now);
    bool hasProven(std::string_view user, const std::string &address, std::int64_t now);
    void forget(std::string_view user, const std::string &address);

    const GuessPolicy &policy() const { return m_policy; }

private:
    static std::string proofKey(std::string_view user, const std::string &address);
    void prune(std::int64_t now);

    const GuessPolicy m_policy;
    std::mutex m_mutex;
    std::unordered_map<std::string, std::vector<std::int64_t>> m_wrong; // address -> times of its wrong PINs
    std::unordered_map<std::string, std::int64_t> m_proofs;             // user and address -> when proven
};

} // namespace ovserver
