#include "handler/Pin.h"

#include <sodium.h>

#include <sys/resource.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <pthread/qos.h>
#elif defined(__linux__)
#include <sys/syscall.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace ovserver::pin {

namespace {

// Lowers the calling thread's scheduling priority, best effort. Linux takes a nice value per
// thread; macOS gives a thread a lower quality-of-service class instead.
void lowerThisThreadPriority(int niceness)
{
#if defined(__APPLE__)
    (void)niceness;
    pthread_set_qos_class_self_np(QOS_CLASS_UTILITY, 0);
#elif defined(__linux__)
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), niceness);
#else
    (void)niceness;
#endif
}

// Two passes over 8 MiB take about 15 ms on a small server: a guess costs an attacker real work,
// and sign-in checks under load stay cheap. The limits travel in the hash string, so raising
// them later leaves stored hashes verifiable.
constexpr unsigned long long kOpsLimit = 2;
constexpr std::size_t kMemLimit = 8 * 1024 * 1024;

// Hashes are computed by a few threads of their own, at most half the processors' worth, at a
// lower scheduling priority than the request threads. Each hash is 15 ms of work and 8 MiB, on
// purpose; a burst of sign-ins (or of guesses) would otherwise take every processor and leave the
// cheap requests, listing and fetching, waiting behind them. Under such a burst the sign-ins wait
// instead.
class HashWorkers {
public:
    HashWorkers()
    {
        const unsigned count = std::max(1u, std::thread::hardware_concurrency() / 2);
        for (unsigned i = 0; i < count; ++i)
            std::thread([this] {
                lowerThisThreadPriority(kNiceness);
                for (;;) {
                    std::function<void()> job;
                    {
                        std::unique_lock lock(m_mutex);
                        m_queued.wait(lock, [this] { return !m_jobs.empty(); });
                        job = std::move(m_jobs.front());
                        m_jobs.pop_front();
                    }
                    job();
                }
            }).detach();
    }

    // Runs the work on a hashing thread and returns its result.
    int run(const std::function<int()> &work)
    {
        std::packaged_task<int()> task(work);
        std::future<int> result = task.get_future();
        {
            const std::lock_guard lock(m_mutex);
            m_jobs.emplace_back([&task] { task(); });
        }
        m_queued.notify_one();
        return result.get();
    }

private:
    static constexpr int kNiceness = 10;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<std::function<void()>> m_jobs;
};

// Made once and never destroyed: its threads wait for work until the process ends.
HashWorkers &hashWorkers()
{
    static HashWorkers *const workers = new HashWorkers();
    return *workers;
}

} // namespace

bool initialise()
{
    return sodium_init() >= 0;
}

std::string generate()
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06u", static_cast<unsigned>(randombytes_uniform(1000000)));
    return digits;
}

std::string hash(std::string_view pin)
{
    char out[crypto_pwhash_STRBYTES];
    const int failed = hashWorkers().run([&] {
        return crypto_pwhash_str_alg(out, pin.data(), pin.size(), kOpsLimit, kMemLimit, crypto_pwhash_ALG_ARGON2ID13);
    });
    if (failed != 0)
        throw std::runtime_error("the PIN hash could not be computed (out of memory)");
    return out;
}

bool verify(const std::string &storedHash, std::string_view pin)
{
    if (storedHash.size() >= crypto_pwhash_STRBYTES)
        return false;
    return hashWorkers().run([&] { return crypto_pwhash_str_verify(storedHash.c_str(), pin.data(), pin.size()); }) == 0;
}

} // namespace ovserver::pin
