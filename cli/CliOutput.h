#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

namespace strikeline {

// Exit statuses of the headless command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadArguments = 2;

// Writes one JSON document and a line break. Texts of the data files are 8-bit; bytes
// that are not UTF-8 are shown as U+FFFD rather than making the output invalid.
inline void PrintJson(std::ostream& out, const nlohmann::ordered_json& document) {
    out << document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

} // namespace strikeline
