#include "plan/PlanHtmlWriter.h"

#include "plan/PlanColumns.h"
#include "storage/ColorScheme.h"

#include <array>
#include <cstdio>
#include <map>
#include <span>

namespace strikeline {

namespace {

// The head and the foot of the page are templates whose #XYZ# placeholders are filled in
// one pass, so a value that happens to look like a placeholder is never filled in again;
// the rows between are written column by column.
constexpr std::string_view kHeadTemplate = R"(<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>#GEN# Trading Plan</title>
<style>
body { margin:1cm; font-size:#FSZ#pt; font-family:"#FSE#"; background-color:#BKC#; color:#FGC#; }
.header { border:solid windowtext 1.0pt; background-color:#STP#; color:#STC#; }
</style>
</head>
<body>
<table border=1 cellspacing=0 cellpadding=0 style='border-collapse:collapse;'>
)";

constexpr std::string_view kFooterTemplate = R"(<tr>
<td width=568 colspan=#COL#><b>Trading Plan Generated at #GEN#</b></td>
</tr>
</table>
</body>
</html>
)";

using CPlaceholders = std::map<std::string, std::string, std::less<>>;

std::string FillTemplate(std::string_view text, const CPlaceholders& values) {
    std::string out;
    out.reserve(text.size() + 256);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('#', pos);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = text.find('#', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        const auto found = values.find(text.substr(open + 1, close - open - 1));
        if (found == values.end()) {
            // Not a placeholder: keep the first '#' and look again from the second.
            out.append(text.substr(pos, close - pos));
            pos = close;
            continue;
        }
        out.append(text.substr(pos, open - pos));
        out += found->second;
        pos = close + 1;
    }
    out.append(text.substr(pos));
    return out;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A font name goes into a quoted CSS string inside <style>, where entities mean nothing:
// any character that could end the string or the element is written as a CSS escape.
std::string EscapeCssString(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' || byte < 0x20) {
            std::array<char, 8> escape{};
            std::snprintf(escape.data(), escape.size(), "\\%X ", byte);
            out += escape.data();
        } else {
            out += c;
        }
    }
    return out;
}

std::string HtmlColour(Color color) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "#%02X%02X%02X", RedOf(color), GreenOf(color),
                  BlueOf(color));
    return text.data();
}

// A heading's line break is a break in the page.
std::string HeadingHtml(std::string_view text) {
    std::string out;
    for (const char c : EscapeHtml(text)) {
        out += c == '\n' ? std::string("<br>") : std::string(1, c);
    }
    return out;
}

// Two heading rows: the columns outside a group stand over both, a group's heading over
// the first row, and the sub-headings of the grouped columns in the second.
std::string HeadingRows(std::span<const CPlanExportColumn> columns) {
    std::string out = "<tr class=\"header\">\n";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const CPlanColumn& column = columns[i];
        if (column.heading.group == PlanColumnGroup::None) {
            out += "<td width=\"" + std::to_string(column.htmlWidth) +
                   "%\" rowspan=2 align=center><b>" + HeadingHtml(column.heading.text) +
                   "</b></td>\n";
        } else if (const CPlanGroupSpan* span = PlanExportGroupAt(i)) {
            const CPlanColumnGroup& group = GroupOf(span->group);
            out += "<td width=\"" + std::to_string(group.htmlWidth) +
                   "%\" colspan=" + std::to_string(span->count) + " align=center><b>" +
                   HeadingHtml(group.heading) + "</b></td>\n";
        }
    }
    out += "</tr>\n<tr class=\"header\">\n";
    for (const CPlanColumn& column : columns) {
        if (column.heading.group != PlanColumnGroup::None) {
            out += "<td align=center><b>" + HeadingHtml(column.heading.text) + "</b></td>\n";
        }
    }
    out += "</tr>\n";
    return out;
}

// A row of one bold cell across the table.
std::string BandRow(std::string_view cell) {
    return "<tr>\n<td" + std::string(cell) + "</td>\n</tr>\n";
}

std::string EntryRow(const CPlanExportRow& row, std::span<const CPlanExportColumn> columns,
                     const CColorScheme& scheme) {
    std::string out = "<tr>\n";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        out +=
            "<td style=\"background-color:" + HtmlColour(PlanCellPalette(scheme, row.colours[i])) +
            "\">";
        const std::string& text = row.texts[i];
        if (columns[i].twoLines) {
            // The record date and the expiry date, on two lines.
            const std::size_t lineBreak = text.find('\n');
            out += EscapeHtml(text.substr(0, lineBreak)) + "<br>" +
                   (lineBreak == std::string::npos ? std::string()
                                                   : EscapeHtml(text.substr(lineBreak + 1)));
        } else {
            out += EscapeHtml(text);
        }
        out += "</td>\n";
    }
    out += "</tr>\n";
    return out;
}

} // namespace

std::string PlanHtmlText(const CPlanExport& content, const CColorScheme& scheme) {
    const std::string generated = EscapeHtml(content.generatedAt);
    const std::span<const CPlanExportColumn> shown = content.Columns();
    const std::string columns = std::to_string(shown.size());
    std::string out = FillTemplate(kHeadTemplate,
                                   {{"GEN", generated},
                                    {"FSZ", std::to_string(scheme.FontSize())},
                                    {"FSE", EscapeCssString(scheme.FontStyle())},
                                    {"BKC", HtmlColour(scheme.Get(SchemeColor::ReportBk))},
                                    {"FGC", HtmlColour(scheme.Get(SchemeColor::ReportFg))},
                                    {"STP", HtmlColour(scheme.Get(SchemeColor::OptionsHeaderBk))},
                                    {"STC", HtmlColour(scheme.Get(SchemeColor::OptionsHeaderFg))}});
    out += HeadingRows(shown);
    for (const CPlanExportRow& row : content.rows) {
        out += row.isCompany
                   ? BandRow(" width=\"100%\" colspan=" + columns + "><p class=MsoNormal><b>" +
                             EscapeHtml(row.company) + "</b></p>")
                   : EntryRow(row, shown, scheme);
    }
    out += BandRow(" colspan=" + columns + "><b>Totals</b>");
    out += "<tr>\n";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        out += "<td>";
        if (shown[i].hasTotal) {
            out += EscapeHtml(content.totals[i]);
        }
        out += "</td>\n";
    }
    out += "</tr>\n";
    out += FillTemplate(kFooterTemplate, {{"GEN", generated}, {"COL", columns}});
    return out;
}

bool WritePlanHtml(const CPlanExport& content, const CColorScheme& scheme, const std::string& path,
                   std::string& error) {
    return WritePlanExportFile(path, PlanHtmlText(content, scheme), error);
}

} // namespace strikeline
