#include "Pin.h"

#include <sodium.h>

#include <cstdio>
#include <stdexcept>

namespace ovserver::pin {

namespace {

// Two passes over 8 MiB take about 15 ms on a small server: a guess costs an attacker real work,
// and sign-in checks under load stay cheap. The limits travel in the hash string, so raising
// them later leaves stored hashes verifiable.
constexpr unsigned long long kOpsLimit = 2;
constexpr std::size_t kMemLimit = 8 * 1024 * 1024;

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
    if (crypto_pwhash_str_alg(out, pin.data(), pin.size(), kOpsLimit, kMemLimit, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("the PIN hash could not be computed (out of memory)");
    return out;
}

bool verify(const std::string& storedHash, std::string_view pin)
{
    if (storedHash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(storedHash.c_str(), pin.data(), pin.size()) == 0;
}

}  // namespace ovserver::pin
