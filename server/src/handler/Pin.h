#pragma once
// PIN codes: drawn at random, kept only as Argon2id hashes.

#include <string>
#include <string_view>

namespace ovserver::pin {

// Prepares libsodium; false when it cannot run (no usable random source). Call once before the rest.
bool initialise();

// Six decimal digits drawn uniformly from the system's cryptographic random source.
std::string generate();

// An Argon2id hash string of the PIN with a fresh salt, ready to store; throws std::runtime_error
// when the hash cannot be computed (out of memory).
std::string hash(std::string_view pin);

// True when the PIN matches the stored hash string; false also for a malformed hash.
bool verify(const std::string &storedHash, std::string_view pin);

} // namespace ovserver::pin
