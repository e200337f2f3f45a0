#pragma once
// Whether uploaded bytes are a control-surface parameter-order file.

#include <optional>
#include <string>
#include <string_view>

namespace ovserver {

// Nothing when the bytes are an XML or binary property list whose root is a dictionary with a
// "ControlSurfaceParameterOrder" array of strings; otherwise a sentence that says what is wrong.
std::optional<std::string> parameterOrderFileProblem(std::string_view bytes);

}  // namespace ovserver
