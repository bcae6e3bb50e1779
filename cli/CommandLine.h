#pragma once

#include "storage/FileTime.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace strikeline {

// The options of one headless command: "--name value" pairs, "--flag" switches and
// plain arguments, checked against what the command knows.
class CCommandLine {
public:
    // Reads `arguments` (without the program and command names). False with a reason in
    // `error` for an unknown option, a value missing, or an option given twice.
    bool Parse(const std::vector<std::string>& arguments, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flags, std::string& error);

    std::optional<std::string> Value(const std::string& name) const;
    bool Flag(const std::string& name) const { return m_Flags.count(name) > 0; }
    const std::vector<std::string>& Positional() const { return m_Positional; }

private:
    std::map<std::string, std::string> m_Values;
    std::set<std::string> m_Flags;
    std::vector<std::string> m_Positional;
};

// The moment of "--now", a universal time "YYYY-MM-DD HH:MM:SS"; the clock when it is not
// given. False with a reason in `problem` for a text that is no such time.
bool ReadNowOption(const CCommandLine& line, FileTime& now, std::string& problem);

} // namespace strikeline
