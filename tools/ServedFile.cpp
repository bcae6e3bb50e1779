#include "tools/ServedFile.h"

#include <system_error>

namespace strikeline {

namespace {

// True when `inner` is `outer` or lies below it; both canonical.
bool IsWithin(const std::filesystem::path& outer, const std::filesystem::path& inner) {
    auto innerPart = inner.begin();
    for (auto outerPart = outer.begin(); outerPart != outer.end(); ++outerPart, ++innerPart) {
        if (innerPart == inner.end() || *innerPart != *outerPart) {
            return false;
        }
    }
    return true;
}

} // namespace

bool ResolveServedFile(const std::filesystem::path& root, std::string_view requestPath,
                       std::filesystem::path& file) {
    if (requestPath.empty() || requestPath.front() != '/' ||
        requestPath.find('\0') != std::string_view::npos ||
        requestPath.find('\\') != std::string_view::npos) {
        return false;
    }
    // Segment by segment, so neither ".." nor a doubled slash can climb out or turn the
    // rest into an absolute path.
    std::filesystem::path candidate = root;
    std::size_t start = 1;
    while (start <= requestPath.size()) {
        std::size_t end = requestPath.find('/', start);
        if (end == std::string_view::npos) {
            end = requestPath.size();
        }
        const std::string_view segment = requestPath.substr(start, end - start);
        if (segment == "..") {
            return false;
        }
        if (!segment.empty() && segment != ".") {
            candidate /= std::string(segment);
        }
        start = end + 1;
    }
    // Links are followed, but only to files that stay inside the folder.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(candidate, error);
    if (error || !IsWithin(root, real) || !std::filesystem::is_regular_file(real, error)) {
        return false;
    }
    file = real;
    return true;
}

std::string ServedContentType(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".csv") {
        return "text/csv";
    }
    if (extension == ".txt") {
        return "text/plain";
    }
    return "application/octet-stream";
}

} // namespace strikeline
