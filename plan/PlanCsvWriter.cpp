#include "plan/PlanCsvWriter.h"

#include <span>
#include <string_view>

namespace strikeline {

namespace {

// A spreadsheet takes a cell that starts with one of these for a formula, so a series
// code like "=HYPERLINK(...)" would run on import. Some also skip a leading tab or
// carriage return before such a sign.
bool ReadsAsFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// Quotes a field only when it must be (a comma, quote or line break in it), so the
// columns stay where they are; quotes inside are doubled. Texts that would read as a
// formula get an apostrophe first; figures are left alone, as "-0.48%" is a number.
void AppendField(std::string& out, std::string_view text, bool isText) {
    const bool prefix = isText && ReadsAsFormula(text);
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) {
        if (prefix) {
            out += '\'';
        }
        out += text;
        return;
    }
    out += '"';
    if (prefix) {
        out += '\'';
    }
    for (const char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

// Two heading lines: a column's heading, or its group's over the group's first column,
// then the sub-headings of the grouped columns.
void AppendHeadings(std::string& out, std::span<const CPlanExportColumn> columns) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const CPlanColumn& column = columns[i];
        if (i > 0) {
            out += ',';
        }
        if (column.heading.group == PlanColumnGroup::None) {
            AppendField(out, column.heading.text, false);
        } else if (PlanExportGroupAt(i) != nullptr) {
            AppendField(out, GroupOf(column.heading.group).heading, false);
        }
    }
    out += '\n';
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const CPlanColumn& column = columns[i];
        if (i > 0) {
            out += ',';
        }
        if (column.heading.group != PlanColumnGroup::None) {
            AppendField(out, column.heading.text, false);
        }
    }
    out += '\n';
}

} // namespace

std::string PlanCsvText(const CPlanExport& content) {
    std::string out;
    const std::span<const CPlanExportColumn> columns = content.Columns();
    AppendHeadings(out, columns);
    for (const CPlanExportRow& row : content.rows) {
        if (row.isCompany) {
            AppendField(out, row.company, true);
            out += '\n';
            continue;
        }
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) {
                out += ',';
            }
            AppendField(out, row.texts[i], columns[i].kind == PlanValueKind::Text);
        }
        out += '\n';
    }
    out += "Totals\n";
    // The totals line stops before the last column, which has no total.
    for (std::size_t i = 0; i + 1 < columns.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendField(out, content.totals[i], false);
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
