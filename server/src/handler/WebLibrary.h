#pragma once
// The community library as web pages, read-only, under <base>library/:
//   library/                  the plug-ins that have shared mappings, with how many (?q= searches
//                             their names, ?page= turns the pages of a long list)
//   library/plugin?name=NAME  that plug-in's mappings, newest first
//   library/mapping/ID        one mapping drawn as the editor's panel, with its file to download
// Plain HTML with a small stylesheet in each page; no script.

#include "handler/Handler.h"
#include "storage/Storage.h"

#include <optional>
#include <string_view>
#include <vector>

namespace ovserver {

// The page for a request whose decoded path has these components, or nothing when the path is not
// one of the library's (the request is then someone else's). A plug-in's page shows its newest
// listLimit mappings.
std::optional<Reply> libraryPage(Storage &storage, std::string_view method, const std::vector<std::string_view> &parts,
                                 std::string_view query, std::size_t listLimit);

} // namespace ovserver
