#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace strikeline {

// Maps the path of a request onto a regular file inside the served folder. `root` must be
// canonical. False for anything that could reach outside the folder ("..", a link leading
// out of it) and for anything that is not a regular file, so the server answers 404.
bool ResolveServedFile(const std::filesystem::path& root, std::string_view requestPath,
                       std::filesystem::path& file);

// The content type the feed sends for a file: text/csv, text/plain, or a byte stream.
std::string ServedContentType(const std::filesystem::path& file);

} // namespace strikeline
