#include "cli/CommandLine.h"

namespace strikeline {

bool CCommandLine::Parse(const std::vector<std::string>& arguments,
                         const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flags, std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            m_Positional.push_back(argument);
            continue;
        }
        const std::string name = argument.substr(2);
        if (flags.count(name) > 0) {
            m_Flags.insert(name);
        } else if (valueOptions.count(name) > 0) {
            if (i + 1 >= arguments.size()) {
                error = "missing value for " + argument;
                return false;
            }
            if (!m_Values.emplace(name, arguments[++i]).second) {
                error = argument + " given twice";
                return false;
            }
        } else {
            error = "unknown option " + argument;
            return false;
        }
    }
    return true;
}

std::optional<std::string> CCommandLine::Value(const std::string& name) const {
    const auto it = m_Values.find(name);
    if (it == m_Values.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool ReadNowOption(const CCommandLine& line, FileTime& now, std::string& problem) {
    const auto text = line.Value("now");
    if (!text) {
        now = CurrentFileTime();
        return true;
    }
    if (!ParseFileTime(*text, TimeZoneMode::Universal, now)) {
        problem = "--now takes a universal time \"YYYY-MM-DD HH:MM:SS\"";
        return false;
    }
    return true;
}

} // namespace strikeline
