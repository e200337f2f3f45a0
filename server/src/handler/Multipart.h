#pragma once
// A multipart/form-data reader of its own, so that every byte of an upload passes through code that
// can be driven with arbitrary input.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovserver {

struct FormPart {
    std::string name;        // the "name" of the part's Content-Disposition
    std::string filename;    // its "filename", empty when it has none
    std::string contentType; // the part's Content-Type, empty when it has none
    std::string_view data;   // the part's bytes, inside the body that was parsed
};

struct MultipartResult {
    std::vector<FormPart> parts;
    std::string error; // empty when the body was read to its closing boundary
};

// The boundary of a "multipart/form-data; boundary=..." content type (quoted or not), or nothing
// when the type is another one or the boundary is missing or longer than 70 characters.
std::optional<std::string> multipartBoundary(std::string_view contentType);

// Reads the parts of a multipart body. Whatever precedes the first boundary line (the editor sends a
// line break there) and whatever follows the closing one is ignored. Never reads outside the body.
MultipartResult parseMultipart(std::string_view body, std::string_view boundary);

} // namespace ovserver
