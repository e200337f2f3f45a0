#include "Pin.h"

#include <sodium.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace ovserver::pin {

namespace {

// Two passes over 8 MiB take about 15 ms on a small server: a guess costs an attacker real work,
// and sign-in checks under load stay cheap. The limits travel in the hash string, so raising
// them later leaves stored hashes verifiable.
constexpr unsigned long long kOpsLimit = 2;
constexpr std::size_t kMemLimit = 8 * 1024 * 1024;

// Hashes take turns, at most half the processors' worth at once: each is 15 ms of work and 8 MiB,
// so a burst of sign-ins (or of guesses) would otherwise take every processor and leave the cheap
// requests, listing and fetching, waiting behind them.
class HashTurns {
public:
    HashTurns() : m_free(std::max(1u, std::thread::hardware_concurrency() / 2)) {}

    template <typename Work>
    auto run(Work work)
    {
        {
            std::unique_lock lock(m_mutex);
            m_freed.wait(lock, [this] { return m_free > 0; });
            --m_free;
        }
        struct Release {
            HashTurns& turns;
            ~Release()
            {
                {
                    const std::lock_guard lock(turns.m_mutex);
                    ++turns.m_free;
                }
                turns.m_freed.notify_one();
            }
        } release{*this};
        return work();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_freed;
    unsigned m_free;
};

HashTurns& hashTurns()
{
    static HashTurns turns;
    return turns;
}

}  // namespace

bool initialise() { return sodium_init() >= 0; }

std::string generate()
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06u", static_cast<unsigned>(randombytes_uniform(1000000)));
    return digits;
}

std::string hash(std::string_view pin)
{
    char out[crypto_pwhash_STRBYTES];
    const int failed = hashTurns().run([&] {
        return crypto_pwhash_str_alg(out, pin.data(), pin.size(), kOpsLimit, kMemLimit, crypto_pwhash_ALG_ARGON2ID13);
    });
    if (failed != 0)
        throw std::runtime_error("the PIN hash could not be computed (out of memory)");
    return out;
}

bool verify(const std::string& storedHash, std::string_view pin)
{
    if (storedHash.size() >= crypto_pwhash_STRBYTES) return false;
    return hashTurns().run([&] { return crypto_pwhash_str_verify(storedHash.c_str(), pin.data(), pin.size()); }) == 0;
}

}  // namespace ovserver::pin
