#pragma once

// Checks a property list's bytes before libplist reads them. libplist 2.2 reads, copies, writes and
// frees nested containers recursively, copies a binary list's object at every reference to it, and
// keeps the full length of a text that holds a NUL while copying only up to the NUL. So a file that
// nests deeply, refers to itself, expands to millions of objects or holds a NUL in a text can crash
// it; such files are refused here. Qt-free: the editor and the community server both use it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ov::plist {

// A parameter-order file nests two containers deep; anything beyond this is refused.
inline constexpr std::size_t kMaxNesting = 32;
// The entries of one array or dictionary: a parameter-order file of 3,000 pages holds 96,000.
inline constexpr std::uint64_t kMaxContainerEntries = 100'000;
// The objects a binary list may expand to once every reference is copied.
inline constexpr std::uint64_t kMaxExpandedObjects = std::uint64_t{1} << 20;
// The bytes of texts and data a binary list may expand to: no more than the largest file holds.
inline constexpr std::uint64_t kMaxExpandedBytes = std::uint64_t{256} << 20;

// Why libplist must not read these bytes, or nothing when it may.
std::optional<std::string> shapeProblem(std::string_view bytes);

} // namespace ov::plist
