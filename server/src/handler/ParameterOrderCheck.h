#pragma once
// Whether uploaded bytes are a control-surface parameter-order file, and its slots.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovserver {

// The slots of a parameter-order file in order, one entry string each ("12 Filter Cutoff", or "-1"
// for an empty slot), or the sentence that says why the bytes are not such a file.
struct ParameterOrder {
    std::vector<std::string> entries;
    std::optional<std::string> problem;
};

// Reads the bytes as an XML or binary property list whose root is a dictionary with a
// "ControlSurfaceParameterOrder" array of strings.
ParameterOrder readParameterOrder(std::string_view bytes);

// Nothing when the bytes are such a file; otherwise a sentence that says what is wrong.
std::optional<std::string> parameterOrderFileProblem(std::string_view bytes);

} // namespace ovserver
