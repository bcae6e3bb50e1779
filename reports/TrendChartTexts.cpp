#include "reports/TrendChartTexts.h"

#include <set>

namespace strikeline {

namespace {

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

std::string TrendChartUrl(std::string_view siteUrl, std::string_view code) {
    std::string url(siteUrl);
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    if (url.find("://") == std::string::npos) {
        url.insert(0, "http://");
    }
    return url + "/call/chart.php?code=" + std::string(code) + "&span=year1";
}

std::string TrendChartTitle(std::string_view code, const CCompanyNameTable& names) {
    const std::string name = names.GetName(code);
    return "Trend Chart for " + (name.empty() ? std::string(code) : name);
}

std::vector<std::string> CompanyChoiceLines(const CCompanyNameTable& names,
                                            const CCompanyNameTable& top20) {
    std::set<std::string> lines;
    for (std::size_t i = 0; i < names.GetCount(); ++i) {
        const std::string code = names.GetCodeAt(i);
        const std::string name = names.GetNameAt(i);
        std::string line = top20.GetName(code).empty() ? code : "^" + code;
        if (!name.empty()) {
            line += " - " + name;
        }
        lines.insert(std::move(line));
    }
    return {lines.begin(), lines.end()};
}

std::string CodeFromCompanyChoice(std::string_view line) {
    // Surrounding blanks are no part of a code: " BHP" chooses BHP.
    while (!line.empty() && IsBlankChar(line.front())) {
        line.remove_prefix(1);
    }
    std::size_t end = 0;
    while (end < line.size() && !IsBlankChar(line[end])) {
        ++end;
    }
    std::string_view code = line.substr(0, end);
    if (!code.empty() && code.front() == '^') {
        code.remove_prefix(1);
    }
    return std::string(code);
}

} // namespace strikeline
