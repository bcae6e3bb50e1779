#include "plan/PlanHtmlWriter.h"

#include "plan/PlanColumns.h"
#include "storage/ColorScheme.h"

#include <array>
#include <cstdio>
#include <map>

namespace strikeline {

namespace {

// The page is made of three templates whose #XYZ# placeholders are filled in one pass, so
// a value that happens to look like a placeholder is never filled in again.
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
<tr class="header">
<td width="3%" rowspan=2 align=center><b>Type</b></td>
<td width="6%" rowspan=2 align=center><b>Company Code</b></td>
<td width="5%" rowspan=2 align=center><b>Record Date<br>Expiry Date</b></td>
<td width="5%" rowspan=2 align=center><b>Shares</b></td>
<td width="6%" rowspan=2 align=center><b>Option Contracts</b></td>
<td width="5%" rowspan=2 align=center><b>Share Price</b></td>
<td width="5%" rowspan=2 align=center><b>Cost</b></td>
<td width="7%" rowspan=2 align=center><b>Equity Brokerage</b></td>
<td width="5%" rowspan=2 align=center><b>Strike Price</b></td>
<td width="7%" rowspan=2 align=center><b>ASX Fair Price (Premium)</b></td>
<td width="8%" rowspan=2 align=center><b>Option Brokerage</b></td>
<td width="10%" colspan=2 align=center><b>Not exercised</b></td>
<td width="15%" colspan=3 align=center><b>Exercised</b></td>
<td width="9%" colspan=2 align=center><b>Dividends</b></td>
<td width="4%" rowspan=2 align=center><b>BEP</b></td>
</tr>
<tr class="header">
<td align=center><b>Net Profit</b></td>
<td align=center><b>% Return</b></td>
<td align=center><b>Exercise Brokerage</b></td>
<td align=center><b>Net Profit</b></td>
<td align=center><b>% Return</b></td>
<td align=center><b>Value</b></td>
<td align=center><b>Date</b></td>
</tr>
)";

constexpr std::string_view kCompanyTemplate = R"(<tr>
<td width="100%" colspan=19><p class=MsoNormal><b>#STE#</b></p></td>
</tr>
)";

constexpr std::string_view kEntryTemplate = R"(<tr>
<td style="background-color:#CLRPUL#">#PUL#</td>
<td style="background-color:#CLROPE#">#OPE#</td>
<td style="background-color:#CLRRDE#">#RDE#<br>#EXE#</td>
<td style="background-color:#CLRSHS#">#SHS#</td>
<td style="background-color:#CLRCOS#">#COS#</td>
<td style="background-color:#CLRPRE#">#PRE#</td>
<td style="background-color:#CLRCOT#">#COT#</td>
<td style="background-color:#CLRBRE#">#BRE#</td>
<td style="background-color:#CLREXP#">#EXP#</td>
<td style="background-color:#CLRPRM#">#PRM#</td>
<td style="background-color:#CLROPB#">#OPB#</td>
<td style="background-color:#CLRDPT#">#DPT#</td>
<td style="background-color:#CLRPRN#">#PRN#</td>
<td style="background-color:#CLREXB#">#EXB#</td>
<td style="background-color:#CLREDP#">#EDP#</td>
<td style="background-color:#CLREPR#">#EPR#</td>
<td style="background-color:#CLRDVE#">#DVE#</td>
<td style="background-color:#CLRDDE#">#DDE#</td>
<td style="background-color:#CLRBEP#">#BEP#</td>
</tr>
)";

constexpr std::string_view kFooterTemplate = R"(<tr>
<td colspan=19><b>Totals</b></td>
</tr>
<tr>
<td></td>
<td></td>
<td></td>
<td></td>
<td></td>
<td></td>
<td>#TCT#</td>
<td>#NTY#</td>
<td></td>
<td></td>
<td>#NTB#</td>
<td>#NTD#</td>
<td>#NTP#</td>
<td>#ETB#</td>
<td>#ETD#</td>
<td>#ETP#</td>
<td></td>
<td></td>
<td></td>
</tr>
<tr>
<td width=568 colspan=19><b>Trading Plan Generated at #GEN#</b></td>
</tr>
</table>
</body>
</html>
)";

// The value placeholder of each export column, in column order. The record and expiry
// dates share the third cell and are filled separately.
constexpr std::array<std::string_view, kPlanExportColumnCount> kCellNames = {
    "PUL", "OPE", "RDE", "SHS", "COS", "PRE", "COT", "BRE", "EXP", "PRM",
    "OPB", "DPT", "PRN", "EXB", "EDP", "EPR", "DVE", "DDE", "BEP"};

// The totals placeholders by export column.
constexpr std::array<std::pair<std::size_t, std::string_view>, 8> kTotalNames = {{
    {6, "TCT"},
    {7, "NTY"},
    {10, "NTB"},
    {11, "NTD"},
    {12, "NTP"},
    {13, "ETB"},
    {14, "ETD"},
    {15, "ETP"},
}};

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

std::string EntryRow(const CPlanExportRow& row, const CColorScheme& scheme) {
    CPlaceholders values;
    for (std::size_t i = 0; i < kPlanExportColumnCount; ++i) {
        const std::string name(kCellNames[i]);
        values["CLR" + name] = HtmlColour(PlanCellPalette(scheme, row.colours[i]));
        values[name] = EscapeHtml(row.texts[i]);
    }
    // The dates cell holds the record date and the expiry date on two lines.
    const std::string& dates = row.texts[2];
    const std::size_t lineBreak = dates.find('\n');
    values["RDE"] = EscapeHtml(dates.substr(0, lineBreak));
    values["EXE"] =
        lineBreak == std::string::npos ? std::string() : EscapeHtml(dates.substr(lineBreak + 1));
    return FillTemplate(kEntryTemplate, values);
}

} // namespace

std::string PlanHtmlText(const CPlanExport& content, const CColorScheme& scheme) {
    const std::string generated = EscapeHtml(content.generatedAt);
    std::string out = FillTemplate(kHeadTemplate,
                                   {{"GEN", generated},
                                    {"FSZ", std::to_string(scheme.FontSize())},
                                    {"FSE", EscapeCssString(scheme.FontStyle())},
                                    {"BKC", HtmlColour(scheme.Get(SchemeColor::ReportBk))},
                                    {"FGC", HtmlColour(scheme.Get(SchemeColor::ReportFg))},
                                    {"STP", HtmlColour(scheme.Get(SchemeColor::OptionsHeaderBk))},
                                    {"STC", HtmlColour(scheme.Get(SchemeColor::OptionsHeaderFg))}});
    for (const CPlanExportRow& row : content.rows) {
        out += row.isCompany ? FillTemplate(kCompanyTemplate, {{"STE", EscapeHtml(row.company)}})
                             : EntryRow(row, scheme);
    }
    CPlaceholders totals{{"GEN", generated}};
    for (const auto& [column, name] : kTotalNames) {
        totals.emplace(name, EscapeHtml(content.totals[column]));
    }
    out += FillTemplate(kFooterTemplate, totals);
    return out;
}

bool WritePlanHtml(const CPlanExport& content, const CColorScheme& scheme, const std::string& path,
                   std::string& error) {
    return WritePlanExportFile(path, PlanHtmlText(content, scheme), error);
}

} // namespace strikeline
