#include "plan/PlanCsvWriter.h"

namespace strikeline {

namespace {

constexpr std::string_view kHeadings =
    "Type,Company Code,\"Record Date\nExpiry Date\",Shares,Option Contracts,Share Price,Cost,"
    "Equity Brokerage,Strike Price,ASX Fair Price (Premium),Option Brokerage,Not exercised,,"
    "Exercised,,,Dividends,,BEP\n"
    ",,,,,,,,,,,Net Profit,% Return,Exercise Brokerage,Net Profit,% Return,Value,Date,\n";

void AppendField(std::string& out, const std::string& text) {
    if (text.find('\n') != std::string::npos) {
        out += '"';
        out += text;
        out += '"';
    } else {
        out += text;
    }
}

} // namespace

std::string PlanCsvText(const CPlanExport& content) {
    std::string out(kHeadings);
    for (const CPlanExportRow& row : content.rows) {
        if (row.isCompany) {
            out += row.company;
            out += '\n';
            continue;
        }
        for (std::size_t i = 0; i < row.texts.size(); ++i) {
            if (i > 0) {
                out += ',';
            }
            AppendField(out, row.texts[i]);
        }
        out += '\n';
    }
    out += "Totals\n";
    // The totals line stops before the last column, which has no total.
    for (std::size_t i = 0; i + 1 < content.totals.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendField(out, content.totals[i]);
    }
    out += '\n';
    out += content.timeStamp;
    out += '\n';
    return out;
}

bool WritePlanCsv(const CPlanExport& content, const std::string& path, std::string& error) {
    return WritePlanExportFile(path, PlanCsvText(content), error);
}

} // namespace strikeline
