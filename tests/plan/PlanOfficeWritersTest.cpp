#include "analytics/MarketAnalytics.h"
#include "plan/PlanAnalyticsTestData.h"
#include "plan/PlanDocxWriter.h"
#include "plan/PlanExport.h"
#include "plan/PlanOfficeCells.h"
#include "plan/PlanOfficeLayout.h"
#include "plan/PlanTestData.h"
#include "plan/PlanXlsxWriter.h"
#include "plan/TradingPlan.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>
#include <xlsxwriter.h>
#include <zip.h>

namespace strikeline {
namespace {

namespace fs = std::filesystem;

// ---- Reading the packages back ----

// Every part of a zip package by name; the test fails when the file is no zip.
std::map<std::string, std::string> ReadPackage(const std::string& path) {
    std::map<std::string, std::string> parts;
    int openError = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError);
    if (!archive) {
        ADD_FAILURE() << path << " is not a zip package (libzip error " << openError << ")";
        return parts;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, index, 0, &stat) != 0) {
            ADD_FAILURE() << "cannot stat entry " << i;
            continue;
        }
        std::string data(static_cast<std::size_t>(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, index, 0);
        EXPECT_TRUE(file) << stat.name;
        if (file) {
            EXPECT_EQ(zip_fread(file, data.data(), stat.size), static_cast<zip_int64_t>(stat.size))
                << stat.name;
            zip_fclose(file);
        }
        parts[stat.name] = std::move(data);
    }
    zip_discard(archive);
    return parts;
}

// Parses XML keeping every blank and line break of the texts, which is what the office
// programs read.
pugi::xml_parse_result ParseExactly(pugi::xml_document& document, const std::string& data) {
    return document.load_buffer(data.data(), data.size(),
                                pugi::parse_default | pugi::parse_ws_pcdata_single,
                                pugi::encoding_utf8);
}

void ExpectEveryXmlPartWellFormed(const std::map<std::string, std::string>& parts) {
    ASSERT_FALSE(parts.empty());
    for (const auto& [name, data] : parts) {
        if (!name.ends_with(".xml") && !name.ends_with(".rels")) {
            continue;
        }
        pugi::xml_document document;
        const pugi::xml_parse_result result = ParseExactly(document, data);
        EXPECT_TRUE(result) << name << ": " << result.description() << " at offset "
                            << result.offset;
        EXPECT_TRUE(document.document_element()) << name;
    }
}

std::unique_ptr<pugi::xml_document> ParsePart(const std::map<std::string, std::string>& parts,
                                              const std::string& name) {
    auto document = std::make_unique<pugi::xml_document>();
    const auto part = parts.find(name);
    if (part == parts.end()) {
        ADD_FAILURE() << "the package has no " << name;
        return document;
    }
    const pugi::xml_parse_result result = ParseExactly(*document, part->second);
    EXPECT_TRUE(result) << name << ": " << result.description();
    return document;
}

std::vector<pugi::xml_node> Children(pugi::xml_node parent, const char* name) {
    std::vector<pugi::xml_node> children;
    for (pugi::xml_node child = parent.child(name); child; child = child.next_sibling(name)) {
        children.push_back(child);
    }
    return children;
}

pugi::xml_node FirstElement(pugi::xml_node parent) {
    return parent.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
}

pugi::xml_node NextElement(pugi::xml_node node) {
    for (node = node.next_sibling(); node && node.type() != pugi::node_element;
         node = node.next_sibling()) {
    }
    return node;
}

std::string Attribute(pugi::xml_node element, const char* name) {
    return element.attribute(name).value();
}

// Checks that every relationship of a package's .rels part points at a part that exists
// and that every part named by the content types exists.
void ExpectRelationshipsResolve(const std::map<std::string, std::string>& parts) {
    const auto types = ParsePart(parts, "[Content_Types].xml");
    for (pugi::xml_node override : Children(types->document_element(), "Override")) {
        const std::string partName = Attribute(override, "PartName");
        ASSERT_TRUE(partName.starts_with("/")) << partName;
        EXPECT_TRUE(parts.contains(partName.substr(1))) << partName;
    }
    for (const auto& [name, data] : parts) {
        if (!name.ends_with(".rels")) {
            continue;
        }
        // "word/_rels/document.xml.rels" speaks of targets beside "word/document.xml".
        const std::string folder = name.substr(0, name.find("_rels/"));
        const auto relationships = ParsePart(parts, name);
        std::set<std::string> ids;
        for (pugi::xml_node relation :
             Children(relationships->document_element(), "Relationship")) {
            EXPECT_TRUE(ids.insert(Attribute(relation, "Id")).second) << name;
            if (Attribute(relation, "TargetMode") == "External") {
                continue;
            }
            std::string target = Attribute(relation, "Target");
            target = target.starts_with("/") ? target.substr(1) : folder + target;
            EXPECT_TRUE(parts.contains(fs::path(target).lexically_normal().string()))
                << name << " -> " << target;
        }
    }
}

std::set<std::string> FolderNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// ---- The workbook ----

struct CSheetCell {
    std::string text;
    std::optional<double> number; // a cell that holds a number has no text
    std::size_t style = 0;
};

// What a spreadsheet shows for `value` in the few number formats the workbook uses: fixed
// decimals with an optional "$" before and "%" after, a section for negative amounts, and
// "dd-mmm-yyyy" for a day counted from 1899-12-30.
std::string Render(double value, const std::string& code) {
    if (code == "dd-mmm-yyyy") {
        using namespace std::chrono;
        const year_month_day day{sys_days{1899y / December / 30} +
                                 days{static_cast<int>(std::floor(value))}};
        static const std::array<const char*, 12> months = {
            "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        char text[16];
        std::snprintf(text, sizeof text, "%02u-%s-%04d", static_cast<unsigned>(day.day()),
                      months[static_cast<unsigned>(day.month()) - 1], static_cast<int>(day.year()));
        return text;
    }
    std::string section = code;
    std::string sign;
    const std::size_t semicolon = code.find(';');
    if (value < 0 && semicolon != std::string::npos) {
        section = code.substr(semicolon + 1);
        value = -value;
    } else if (semicolon != std::string::npos) {
        section = code.substr(0, semicolon);
    }
    if (value < 0) {
        sign = "-";
        value = -value;
    }
    const std::size_t digits = section.find('0');
    EXPECT_NE(digits, std::string::npos) << code;
    const std::string prefix = section.substr(0, digits);
    const bool percent = section.ends_with("%");
    const std::size_t point = section.find('.');
    const auto decimals =
        point == std::string::npos ? 0 : std::count(section.begin() + point, section.end(), '0');
    char number[64];
    std::snprintf(number, sizeof number, "%.*f", static_cast<int>(decimals),
                  percent ? value * 100.0 : value);
    return sign + prefix + number + (percent ? "%" : "");
}

// The worksheet of a written workbook: its cells with their texts resolved, its merges and
// what each cell's format looks like.
class CWorkbook {
public:
    explicit CWorkbook(const std::string& path) : m_Parts(ReadPackage(path)) {
        m_Sheet = ParsePart(m_Parts, "xl/worksheets/sheet1.xml");
        m_Styles = ParsePart(m_Parts, "xl/styles.xml");
        std::vector<std::string> shared;
        if (m_Parts.contains("xl/sharedStrings.xml")) {
            const auto strings = ParsePart(m_Parts, "xl/sharedStrings.xml");
            for (pugi::xml_node item : Children(strings->document_element(), "si")) {
                shared.push_back(AllText(item));
            }
        }
        pugi::xml_node data = Root().child("sheetData");
        for (pugi::xml_node row : Children(data, "row")) {
            for (pugi::xml_node cell : Children(row, "c")) {
                CSheetCell value;
                value.style = static_cast<std::size_t>(std::stoul("0" + Attribute(cell, "s")));
                pugi::xml_node v = cell.child("v");
                const std::string type = Attribute(cell, "t");
                if (type == "s" && v) {
                    const std::size_t index = std::stoul(v.child_value());
                    EXPECT_LT(index, shared.size());
                    value.text = index < shared.size() ? shared[index] : "";
                } else if (type == "inlineStr") {
                    value.text = AllText(cell.child("is"));
                } else if (v && (type.empty() || type == "n")) {
                    value.number = std::stod(v.child_value());
                } else if (v) {
                    ADD_FAILURE() << Attribute(cell, "r") << " holds a value of type " << type;
                }
                m_Cells[Attribute(cell, "r")] = value;
            }
        }
        for (pugi::xml_node merge : Children(Root().child("mergeCells"), "mergeCell")) {
            m_Merges.insert(Attribute(merge, "ref"));
        }
        for (pugi::xml_node row : Children(data, "row")) {
            if (Attribute(row, "customHeight") == "1") {
                m_Heights[std::stoi(Attribute(row, "r"))] = std::stod(Attribute(row, "ht"));
            }
        }
        for (pugi::xml_node column : Children(Root().child("cols"), "col")) {
            for (int i = std::stoi(Attribute(column, "min"));
                 i <= std::stoi(Attribute(column, "max")); ++i) {
                m_Widths[static_cast<char>('A' + i - 1)] = std::stod(Attribute(column, "width"));
            }
        }
    }

    const std::map<std::string, std::string>& Parts() const { return m_Parts; }
    pugi::xml_node Root() const { return m_Sheet->document_element(); }
    const std::map<std::string, CSheetCell>& Cells() const { return m_Cells; }
    const std::set<std::string>& Merges() const { return m_Merges; }
    bool Has(const std::string& ref) const { return m_Cells.contains(ref); }
    std::string Text(const std::string& ref) const {
        const auto cell = m_Cells.find(ref);
        return cell == m_Cells.end() ? "" : cell->second.text;
    }
    std::optional<double> Number(const std::string& ref) const {
        const auto cell = m_Cells.find(ref);
        return cell == m_Cells.end() ? std::nullopt : cell->second.number;
    }
    // The code of the cell's number format; "General" for the default.
    std::string NumberFormat(const std::string& ref) const {
        const std::string id = Format(ref, "numFmtId");
        if (id.empty() || id == "0") {
            return "General";
        }
        for (pugi::xml_node format : Children(StyleElement("numFmts"), "numFmt")) {
            if (Attribute(format, "numFmtId") == id) {
                return Attribute(format, "formatCode");
            }
        }
        return "built-in " + id;
    }
    // What the sheet shows in the cell: its text, or its number in its format.
    std::string Shown(const std::string& ref) const {
        const std::optional<double> number = Number(ref);
        return number ? Render(*number, NumberFormat(ref)) : Text(ref);
    }
    // The stored height of a row in points; 0 for a row of the default height.
    double Height(int row) const {
        const auto height = m_Heights.find(row);
        return height == m_Heights.end() ? 0.0 : height->second;
    }
    // The width of a column in the widths of the default face's digits; 0 when not set.
    double Width(char column) const {
        const auto width = m_Widths.find(column);
        return width == m_Widths.end() ? 0.0 : width->second;
    }
    // The rows that hold at least one cell, by number.
    std::set<int> Rows() const {
        std::set<int> rows;
        for (const auto& [ref, cell] : m_Cells) {
            rows.insert(std::stoi(ref.substr(1)));
        }
        return rows;
    }

    std::size_t FormatCount() const { return Children(CellFormats(), "xf").size(); }
    // The solid fill of a cell as "AARRGGBB", "" when it has none.
    std::string Fill(const std::string& ref) const {
        pugi::xml_node fill = Nth(StyleElement("fills"), "fill", Format(ref, "fillId"));
        pugi::xml_node pattern = !fill ? pugi::xml_node() : FirstElement(fill);
        if (Attribute(pattern, "patternType") != "solid") {
            return "";
        }
        return Attribute(!pattern ? pugi::xml_node() : pattern.child("fgColor"), "rgb");
    }
    bool Bold(const std::string& ref) const {
        pugi::xml_node font = Nth(StyleElement("fonts"), "font", Format(ref, "fontId"));
        return font && font.child("b");
    }
    // The border style of each side, "left right top bottom".
    std::string Borders(const std::string& ref) const {
        pugi::xml_node border = Nth(StyleElement("borders"), "border", Format(ref, "borderId"));
        std::string sides;
        for (const char* side : {"left", "right", "top", "bottom"}) {
            pugi::xml_node line = !border ? pugi::xml_node() : border.child(side);
            sides += (sides.empty() ? "" : " ") + Attribute(line, "style");
        }
        return sides;
    }
    // An attribute of the cell format's alignment ("horizontal", "vertical", "wrapText").
    std::string Alignment(const std::string& ref, const char* name) const {
        pugi::xml_node xf = Nth(CellFormats(), "xf", std::to_string(Style(ref)));
        return Attribute(!xf ? pugi::xml_node() : xf.child("alignment"), name);
    }

private:
    static std::string AllText(pugi::xml_node node) {
        std::string text;
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
                text += child.value();
            } else {
                text += AllText(child);
            }
        }
        return text;
    }
    static pugi::xml_node Nth(pugi::xml_node parent, const char* name, const std::string& index) {
        const std::vector<pugi::xml_node> items = Children(parent, name);
        const std::size_t at = std::stoul("0" + index);
        return at < items.size() ? items[at] : pugi::xml_node();
    }
    pugi::xml_node StyleElement(const char* name) const {
        return m_Styles->document_element().child(name);
    }
    pugi::xml_node CellFormats() const { return StyleElement("cellXfs"); }
    std::size_t Style(const std::string& ref) const {
        const auto cell = m_Cells.find(ref);
        EXPECT_NE(cell, m_Cells.end()) << "no cell " << ref;
        return cell == m_Cells.end() ? 0 : cell->second.style;
    }
    std::string Format(const std::string& ref, const char* name) const {
        return Attribute(Nth(CellFormats(), "xf", std::to_string(Style(ref))), name);
    }

    std::map<std::string, std::string> m_Parts;
    std::unique_ptr<pugi::xml_document> m_Sheet;
    std::unique_ptr<pugi::xml_document> m_Styles;
    std::map<std::string, CSheetCell> m_Cells;
    std::set<std::string> m_Merges;
    std::map<int, double> m_Heights;
    std::map<char, double> m_Widths;
};

std::string Ref(char column, int row) {
    return column + std::to_string(row);
}

// ---- The document ----

// A table cell of a written document: its text (a <w:br/> read as "\n"), its merges,
// shading and whether all of its text is bold.
struct CDocCell {
    std::string text;
    int span = 1;
    std::string vMerge = "none"; // "none", "restart" or "continue"
    std::string fill;
    std::string alignment;
    bool bold = false;
};

std::vector<std::vector<CDocCell>> ReadTable(pugi::xml_node table) {
    std::vector<std::vector<CDocCell>> rows;
    for (pugi::xml_node tr : Children(table, "w:tr")) {
        std::vector<CDocCell> cells;
        for (pugi::xml_node tc : Children(tr, "w:tc")) {
            CDocCell cell;
            pugi::xml_node properties = tc.child("w:tcPr");
            if (pugi::xml_node span =
                    !properties ? pugi::xml_node() : properties.child("w:gridSpan")) {
                cell.span = std::stoi(Attribute(span, "w:val"));
            }
            if (pugi::xml_node merge =
                    !properties ? pugi::xml_node() : properties.child("w:vMerge")) {
                cell.vMerge = Attribute(merge, "w:val") == "restart" ? "restart" : "continue";
            }
            cell.fill =
                Attribute(!properties ? pugi::xml_node() : properties.child("w:shd"), "w:fill");
            const std::vector<pugi::xml_node> paragraphs = Children(tc, "w:p");
            EXPECT_EQ(paragraphs.size(), 1u) << "a cell holds one paragraph";
            bool allBold = true;
            bool anyRun = false;
            for (pugi::xml_node p : paragraphs) {
                pugi::xml_node pPr = p.child("w:pPr");
                cell.alignment = Attribute(!pPr ? pugi::xml_node() : pPr.child("w:jc"), "w:val");
                for (pugi::xml_node run : Children(p, "w:r")) {
                    anyRun = true;
                    pugi::xml_node rPr = run.child("w:rPr");
                    allBold = allBold && rPr && rPr.child("w:b");
                    for (pugi::xml_node part = FirstElement(run); part; part = NextElement(part)) {
                        const std::string name = part.name();
                        if (name == "w:t") {
                            cell.text += part.child_value();
                        } else if (name == "w:br") {
                            cell.text += "\n";
                        } else if (name == "w:tab") {
                            cell.text += "\t";
                        }
                    }
                }
            }
            cell.bold = anyRun && allBold;
            cells.push_back(cell);
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

class CDocument {
public:
    explicit CDocument(const std::string& path) : m_Parts(ReadPackage(path)) {
        m_Document = ParsePart(m_Parts, "word/document.xml");
        pugi::xml_node body = Body();
        m_Table = !body ? pugi::xml_node() : body.child("w:tbl");
        m_Rows = ReadTable(m_Table);
    }

    const std::map<std::string, std::string>& Parts() const { return m_Parts; }
    const std::string& Xml() const { return m_Parts.at("word/document.xml"); }
    pugi::xml_node Root() const { return m_Document->document_element(); }
    pugi::xml_node Body() const { return !Root() ? pugi::xml_node() : Root().child("w:body"); }
    pugi::xml_node Table() const { return m_Table; }
    const std::vector<std::vector<CDocCell>>& Rows() const { return m_Rows; }

private:
    std::map<std::string, std::string> m_Parts;
    std::unique_ptr<pugi::xml_document> m_Document;
    pugi::xml_node m_Table;
    std::vector<std::vector<CDocCell>> m_Rows;
};

// ---- Content ----

constexpr const char* kTimeStamp = "Trading Plan Generated at 2010-04-13 17:05:09 ";

// What an empty plan exports: no rows, totals of nothing.
CPlanExport EmptyPlan() {
    CPlanExport content;
    content.totals = {"",   "",   "",   "",   "",   "",   "$0", "$0", "", "",
                      "$0", "$0", "0%", "$0", "$0", "0%", "",   "",   ""};
    for (const std::size_t column : {6, 7, 10, 11, 12, 13, 14, 15}) {
        content.totalFigures[column] = 0.0;
    }
    content.generatedAt = "2010-04-13 17:05:09";
    content.timeStamp = kTimeStamp;
    return content;
}

CPlanExportRow EntryRow(std::string marker) {
    CPlanExportRow row;
    for (std::size_t i = 0; i < kPlanExportColumnCount; ++i) {
        row.texts[i] = marker + "-" + std::to_string(i + 1);
    }
    return row;
}

CPlanExportRow CompanyRow(std::string code) {
    CPlanExportRow row;
    row.isCompany = true;
    row.company = std::move(code);
    return row;
}

// A plan of one company with two sold calls, exported as the plan window would in Sydney.
// A written call whose series the market has and one whose series it has not, exported
// with the analytics.
CPlanExport WithAnalytics() {
    const FileTime now = test::Utc("2027-03-10 20:00:00");
    const test::CFrankedCallMarket market(now);
    CTradingPlan plan;
    plan.Append(market.Row());
    plan.Append(market.Row(test::CFrankedCallMarket::kMissingSeries));
    CPlanExportAnalytics analytics;
    const std::shared_ptr<const CMarketSnapshot> snapshot =
        CMarketSnapshot().WithCalls(market.calls)->WithDividends(market.dividends);
    analytics.market =
        ComputeMarketAnalytics(*snapshot, MakeAnalyticsContext(now, analytics.settings), 1);
    return BuildPlanExport(plan, now, &analytics);
}

// The analytics columns follow BEP.
constexpr std::size_t kDaysColumn = kPlanExportColumnCount;
const std::vector<std::string> kAnalyticsHeadings = {"Days", "Ann. Return %", "Warnings"};

class OfficePlanTest : public test::CSydneyTimeTest {
protected:
    CPlanExport TwoEntries() {
        CTradingPlan plan;
        CTradingPlanEntry first = test::SoldCall("BHP", "BHPXY9");
        first.m_RecordDate = test::Utc("2010-04-13 02:00:00");
        first.m_DateExpiry = test::Utc("2010-05-20 02:00:00");
        // The 4th of May in Sydney, still the 3rd in universal time.
        first.m_DividendsDate = test::Utc("2010-05-03 14:30:00");
        first.m_DividendsValue = 0.85;
        CTradingPlanEntry second = test::RowWithProfit("BHP", 200);
        second.m_ContractID = "BHPZZ1";
        second.m_RecordDate = test::Utc("2010-04-14 02:00:00");
        second.m_DateExpiry = first.m_DateExpiry;
        second.SetCellColour("Cost", 1);
        second.SetCellColour("BEP", 3);
        plan.Append(second);
        plan.Append(first);
        return BuildPlanExport(plan, test::Utc("2010-04-13 07:05:09"));
    }
    test::CTempFolder m_Folder;
};

TEST_F(OfficePlanTest, EveryFigureOfTheExportIsTheNumberItsTextShows) {
    CTradingPlan plan;
    CTradingPlanEntry sold = test::SoldCall("BHP", "BHPXY9");
    sold.m_DividendsValue = 0.85;
    sold.m_DividendsDate = test::Utc("2010-05-03 14:30:00");
    CTradingPlanEntry bought = test::SoldCall("ANZ", "ANZPZ9");
    bought.m_SourceType = TYPE_BUY_PUT;
    CTradingPlanEntry empty = test::SoldCall("CBA", "CBAXA1");
    empty.m_Shares = UNSET_VALUE;
    for (const CTradingPlanEntry& entry : {sold, bought, empty}) {
        plan.Append(entry);
    }
    const CPlanExport content = BuildPlanExport(plan, test::Utc("2010-04-13 07:05:09"));
    const auto shown = [](std::size_t column, double figure) {
        const CPlanExportColumn& info = PlanExportColumns[column];
        switch (info.kind) {
        case PlanValueKind::Count:
            return FormatNumber(figure, info.decimals);
        case PlanValueKind::Money:
            return FormatMoney(figure, info.decimals);
        case PlanValueKind::Percent:
            return FormatPercent(figure, info.decimals);
        default:
            EXPECT_EQ(figure, UNSET_VALUE) << column;
            return std::string();
        }
    };
    int figures = 0;
    for (const CPlanExportRow& row : content.rows) {
        for (std::size_t column = 0; column < kPlanExportColumnCount && !row.isCompany; ++column) {
            const PlanValueKind kind = PlanExportColumns[column].kind;
            if (kind != PlanValueKind::Text && kind != PlanValueKind::Date) {
                EXPECT_EQ(shown(column, row.figures[column]), row.texts[column]) << column;
                figures += IsValue(row.figures[column]) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(figures, 20);
    for (std::size_t column = 0; column < kPlanExportColumnCount; ++column) {
        if (content.totals[column].empty()) {
            EXPECT_EQ(content.totalFigures[column], UNSET_VALUE) << column;
        } else {
            EXPECT_EQ(shown(column, content.totalFigures[column]), content.totals[column]);
        }
    }
    // The dividends date of the sold call, which is shown alone in its cell.
    const CPlanExportRow& bhp = content.rows.at(3);
    ASSERT_EQ(bhp.texts[1], "BHPXY9");
    EXPECT_EQ(bhp.dates[17], sold.m_DividendsDate);
    EXPECT_EQ(bhp.dates[2], kNoDate);
}

// ---- Workbook tests ----

class OfficeXlsxTest : public OfficePlanTest {
protected:
    CWorkbook Write(const CPlanExport& content) {
        const std::string path = m_Folder.File("plan.xlsx");
        std::string error;
        EXPECT_TRUE(WritePlanXlsx(content, path, error)) << error;
        EXPECT_EQ(error, "");
        return CWorkbook(path);
    }
};

const std::map<std::string, std::string> kWorkbookHeadings = {
    {"A1", "Type"},
    {"B1", "Company Code"},
    {"C1", "Record Date\nExpiry Date"},
    {"D1", "Shares"},
    {"E1", "Option Contracts"},
    {"F1", "Share Price"},
    {"G1", "Cost"},
    {"H1", "Equity Brokerage"},
    {"I1", "Strike Price"},
    {"J1", "ASX Fair Price (Premium)"},
    {"K1", "Option Brokerage"},
    {"L1", "Not exercised"},
    {"N1", "Exercised"},
    {"Q1", "Dividends"},
    {"S1", "BEP"},
    {"L2", "Net Profit"},
    {"M2", "% Return"},
    {"N2", "Exercise Brokerage"},
    {"O2", "Net Profit"},
    {"P2", "% Return"},
    {"Q2", "Value"},
    {"R2", "Date"},
};

const std::set<std::string> kHeadingMerges = {"A1:A2", "B1:B2", "C1:C2", "D1:D2", "E1:E2",
                                              "F1:F2", "G1:G2", "H1:H2", "I1:I2", "J1:J2",
                                              "K1:K2", "S1:S2", "L1:M1", "N1:P1", "Q1:R1"};

TEST_F(OfficeXlsxTest, EmptyPlanHasHeadingsTotalsAndTimeStampInRowsOneToFive) {
    const CWorkbook book = Write(EmptyPlan());
    ExpectEveryXmlPartWellFormed(book.Parts());

    for (const auto& [ref, text] : kWorkbookHeadings) {
        EXPECT_EQ(book.Text(ref), text) << ref;
    }
    std::set<std::string> merges = kHeadingMerges;
    merges.insert({"A3:S3", "A5:S5"});
    EXPECT_EQ(book.Merges(), merges);

    EXPECT_EQ(book.Text("A3"), "Totals");
    const std::map<char, std::string> totals = {{'G', "$0"}, {'H', "$0"}, {'K', "$0"}, {'L', "$0"},
                                                {'M', "0%"}, {'N', "$0"}, {'O', "$0"}, {'P', "0%"}};
    for (char column = 'A'; column <= 'R'; ++column) {
        const auto total = totals.find(column);
        EXPECT_EQ(book.Shown(Ref(column, 4)), total == totals.end() ? "" : total->second) << column;
    }
    EXPECT_EQ(book.Text("A5"), kTimeStamp);
    EXPECT_EQ(book.Rows(), (std::set<int>{1, 2, 3, 4, 5}));
}

TEST_F(OfficeXlsxTest, OneCompanyWithTwoEntriesPutsTheGroupInRowThreeAndTheEntriesBelow) {
    const CPlanExport content = TwoEntries();
    ASSERT_EQ(content.rows.size(), 3u);
    const CWorkbook book = Write(content);
    ExpectEveryXmlPartWellFormed(book.Parts());

    EXPECT_EQ(book.Text("A3"), "BHP");
    for (int row = 4; row <= 5; ++row) {
        const CPlanExportRow& entry = content.rows[static_cast<std::size_t>(row - 3)];
        for (std::size_t i = 0; i < kPlanExportColumnCount; ++i) {
            const std::string ref = Ref(static_cast<char>('A' + i), row);
            EXPECT_EQ(book.Shown(ref), entry.texts[i]) << ref;
        }
    }
    // Display order: the higher profit first.
    EXPECT_EQ(book.Text("A4"), "C (Sell)");
    EXPECT_EQ(book.Text("B4"), "BHPXY9");
    EXPECT_EQ(book.Text("C4"), "13-Apr-2010\n20-May-2010");
    EXPECT_EQ(book.Text("B5"), "BHPZZ1");
    EXPECT_EQ(book.Text("A6"), "Totals");
    EXPECT_EQ(book.Shown("G7"), content.totals[6]);
    EXPECT_EQ(book.Shown("L7"), content.totals[11]);
    EXPECT_EQ(book.Text("A8"), "Trading Plan Generated at 2010-04-13 17:05:09 ");

    std::set<std::string> merges = kHeadingMerges;
    merges.insert({"A3:S3", "A6:S6", "A8:S8"});
    EXPECT_EQ(book.Merges(), merges);
    EXPECT_EQ(book.Rows(), (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(OfficeXlsxTest, HeadingCellsAreGreyBoldCentredWrappedAndBordered) {
    const CWorkbook book = Write(EmptyPlan());
    // Both cells of a merged heading, a group heading's covered cell and sub-headings.
    for (const char* ref : {"A1", "A2", "C1", "L1", "M1", "P1", "L2", "R2", "S1", "S2"}) {
        EXPECT_EQ(book.Fill(ref), "FF969696") << ref;
        EXPECT_TRUE(book.Bold(ref)) << ref;
        EXPECT_EQ(book.Alignment(ref, "horizontal"), "center") << ref;
        EXPECT_EQ(book.Alignment(ref, "vertical"), "center") << ref;
        EXPECT_EQ(book.Alignment(ref, "wrapText"), "1") << ref;
        EXPECT_EQ(book.Borders(ref), "thin thin thin thin") << ref;
    }
}

TEST_F(OfficeXlsxTest, PremiumIsCyanAndColourIndexesGiveTheirFills) {
    const CWorkbook book = Write(TwoEntries());
    // A new row's premium is cyan; the second row has a green cost and a red BEP.
    EXPECT_EQ(book.Fill("J4"), "FF00FFFF");
    EXPECT_EQ(book.Fill("J5"), "FF00FFFF");
    EXPECT_EQ(book.Fill("G5"), "FF008000");
    EXPECT_EQ(book.Fill("S5"), "FFFF0000");
    EXPECT_EQ(book.Fill("G4"), "FFFFFFFF");
    EXPECT_EQ(book.Fill("A4"), "FFFFFFFF");

    struct CCase {
        std::int32_t index;
        const char* fill;
    };
    const std::vector<CCase> cases = {{0, "FFFFFFFF"},  {1, "FF008000"},  {2, "FFFFFF00"},
                                      {3, "FFFF0000"},  {4, "FF00FFFF"},  {5, "FFFFFFFF"},
                                      {-1, "FFFFFFFF"}, {100, "FFFFFFFF"}};
    CPlanExport content = EmptyPlan();
    for (const CCase& c : cases) {
        CPlanExportRow row = EntryRow(std::to_string(c.index));
        row.colours.fill(c.index);
        content.rows.push_back(row);
    }
    const CWorkbook coloured = Write(content);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        for (char column = 'A'; column <= 'S'; ++column) {
            const std::string ref = Ref(column, static_cast<int>(i) + 3);
            EXPECT_EQ(coloured.Fill(ref), cases[i].fill) << ref << " index " << cases[i].index;
            EXPECT_FALSE(coloured.Bold(ref)) << ref;
            EXPECT_EQ(coloured.Borders(ref), "thin thin thin thin") << ref;
        }
    }
}

TEST_F(OfficeXlsxTest, EntryCellsAlignByValueKind) {
    CPlanExport content = EmptyPlan();
    content.rows.push_back(EntryRow("x"));
    const CWorkbook book = Write(content);
    // Text centred, counts on the left, money, dates and percentages as the sheet shows
    // them by default.
    const std::map<char, std::string> expected = {
        {'A', "center"}, {'B', "center"}, {'C', ""}, {'D', "left"}, {'E', "left"}, {'F', ""},
        {'G', ""},       {'J', ""},       {'M', ""}, {'P', ""},     {'R', ""},     {'S', ""}};
    for (const auto& [column, horizontal] : expected) {
        const std::string ref = Ref(column, 3);
        EXPECT_EQ(book.Alignment(ref, "horizontal"), horizontal) << ref;
        EXPECT_EQ(book.Alignment(ref, "vertical"), "center") << ref;
        EXPECT_EQ(book.Alignment(ref, "wrapText"), "1") << ref;
        EXPECT_EQ(book.Text(ref), std::string("x-") + std::to_string(column - 'A' + 1)) << ref;
    }
}

TEST_F(OfficeXlsxTest, BandsAreBoldWhiteCentredAndTheTotalsRowIsPlainWithoutBep) {
    const CWorkbook book = Write(TwoEntries());
    for (const char* ref : {"A3", "S3", "A6", "S6", "A8", "S8"}) {
        EXPECT_EQ(book.Fill(ref), "FFFFFFFF") << ref;
        EXPECT_TRUE(book.Bold(ref)) << ref;
        EXPECT_EQ(book.Alignment(ref, "horizontal"), "center") << ref;
        EXPECT_EQ(book.Alignment(ref, "vertical"), "center") << ref;
        EXPECT_EQ(book.Borders(ref), "thin thin thin thin") << ref;
    }
    for (char column = 'A'; column <= 'R'; ++column) {
        const std::string ref = Ref(column, 7);
        ASSERT_TRUE(book.Has(ref)) << ref;
        EXPECT_EQ(book.Fill(ref), "FFFFFFFF") << ref;
        EXPECT_FALSE(book.Bold(ref)) << ref;
        EXPECT_EQ(book.Borders(ref), "thin thin thin thin") << ref;
    }
    EXPECT_FALSE(book.Has("S7"));
}

TEST_F(OfficeXlsxTest, PageIsLandscapeFittedToOnePage) {
    const CWorkbook book = Write(EmptyPlan());
    pugi::xml_node setup = book.Root().child("pageSetup");
    ASSERT_TRUE(setup);
    EXPECT_EQ(Attribute(setup, "orientation"), "landscape");
    // One page is what an absent attribute means.
    for (const char* name : {"fitToWidth", "fitToHeight"}) {
        const std::string pages = Attribute(setup, name);
        EXPECT_TRUE(pages.empty() || pages == "1") << name << "=" << pages;
    }
    pugi::xml_node properties = book.Root().child("sheetPr");
    ASSERT_TRUE(properties);
    EXPECT_EQ(Attribute(properties.child("pageSetUpPr"), "fitToPage"), "1");
}

TEST_F(OfficeXlsxTest, FiguresAreNumbersInFormatsThatShowThemAsThePlanDoes) {
    struct CCase {
        std::size_t column;
        double figure;
        const char* shown; // the plan's text of the figure
        double value;
        const char* format;
    };
    const std::vector<CCase> cases = {
        {3, 1000, "1000", 1000, "0"},
        {4, 1.5, "1.5", 1.5, "0.0"},
        {4, 0.12345, "0.12345", 0.12345, "0.00000"},
        {6, 10000, "$10000", 10000, "$0;$-0"},
        {5, 2.5, "$2.5", 2.5, "$0.0;$-0.0"},
        {11, -12.25, "$-12.25", -12.25, "$0.00;$-0.00"},
        {7, 1234567.891, "$1234567.89", 1234567.891, "$0.00;$-0.00"},
        {12, 4.5, "4.5%", 0.045, "0.0%"},
        {15, -3.25, "-3.25%", -0.0325, "0.00%"},
        // Shown as nothing but zero: written as zero, never as "-0".
        {11, -0.001, "$0", 0.0, "$0;$-0"},
        {16, 0.004, "$0", 0.0, "$0;$-0"},
    };
    CPlanExport content = EmptyPlan();
    for (const CCase& c : cases) {
        CPlanExportRow row = EntryRow("n");
        row.texts[c.column] = c.shown;
        row.figures[c.column] = c.figure;
        content.rows.push_back(row);
    }
    const CWorkbook book = Write(content);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string ref =
            Ref(static_cast<char>('A' + cases[i].column), static_cast<int>(i) + 3);
        ASSERT_TRUE(book.Number(ref).has_value()) << ref << " " << cases[i].shown;
        EXPECT_DOUBLE_EQ(*book.Number(ref), cases[i].value) << ref;
        EXPECT_EQ(book.NumberFormat(ref), cases[i].format) << ref;
        EXPECT_EQ(book.Shown(ref), cases[i].shown) << ref;
        EXPECT_EQ(book.Text(ref), "") << ref;
    }
    // The totals are numbers as well.
    const std::string totals = Ref('G', static_cast<int>(cases.size()) + 4);
    ASSERT_TRUE(book.Number(totals).has_value());
    EXPECT_EQ(book.Shown(totals), "$0");
}

TEST_F(OfficeXlsxTest, AnEntryOfThePlanHoldsNumbersAndADayWhereItShowsFigures) {
    const CPlanExport content = TwoEntries();
    const CWorkbook book = Write(content);
    // Every figure of both rows and of the totals is a number; texts and the two dates of
    // a row stay texts.
    for (int row : {4, 5}) {
        for (char column = 'A'; column <= 'S'; ++column) {
            const std::string ref = Ref(column, row);
            const std::string& shown = content.rows[static_cast<std::size_t>(row - 3)]
                                           .texts[static_cast<std::size_t>(column - 'A')];
            const bool number = column > 'C' && !shown.empty();
            EXPECT_EQ(book.Number(ref).has_value(), number) << ref << " " << shown;
        }
    }
    for (char column : {'G', 'H', 'K', 'L', 'M', 'N', 'O', 'P'}) {
        EXPECT_TRUE(book.Number(Ref(column, 7)).has_value()) << column;
    }
    // The dividends date is the day in Sydney, 4 May 2010, day 40302 of the sheet's count.
    EXPECT_EQ(book.Number("R4"), 40302.0);
    EXPECT_EQ(book.NumberFormat("R4"), "dd-mmm-yyyy");
    EXPECT_EQ(book.Shown("R4"), "04-May-2010");
    EXPECT_EQ(book.Shown("Q4"), "$0.85");
    EXPECT_DOUBLE_EQ(book.Number("M4").value_or(0), content.rows[1].figures[12] / 100.0);
}

TEST_F(OfficeXlsxTest, MissingFiguresStayBlankAndTextsStayTexts) {
    CPlanExport content = EmptyPlan();
    CPlanExportRow row = EntryRow("m");
    row.texts[1] = "12345"; // a series code that looks like a number
    row.texts[6] = "";      // no cost: no shares entered
    row.figures[6] = UNSET_VALUE;
    row.texts[13] = "N/A"; // a bought option has no exercise brokerage
    row.figures[13] = NA_VALUE;
    row.texts[17] = "01-Jan-1850"; // before the sheet's first day
    row.dates[17] = test::Utc("1850-01-01 12:00:00");
    row.colours[6] = 3;
    row.texts[7] = "";
    row.figures[7] = std::numeric_limits<double>::infinity();
    content.rows.push_back(row);
    const CWorkbook book = Write(content);
    EXPECT_EQ(book.Text("B3"), "12345");
    EXPECT_FALSE(book.Number("B3").has_value());
    ASSERT_TRUE(book.Has("G3"));
    EXPECT_FALSE(book.Number("G3").has_value());
    EXPECT_EQ(book.Text("G3"), "");
    EXPECT_EQ(book.Fill("G3"), "FFFF0000");
    EXPECT_EQ(book.Borders("G3"), "thin thin thin thin");
    ASSERT_TRUE(book.Has("H3"));
    EXPECT_FALSE(book.Number("H3").has_value());
    EXPECT_EQ(book.Text("H3"), "");
    EXPECT_EQ(book.Text("N3"), "N/A");
    EXPECT_FALSE(book.Number("N3").has_value());
    EXPECT_EQ(book.Text("R3"), "01-Jan-1850");
    EXPECT_FALSE(book.Number("R3").has_value());
}

TEST_F(OfficeXlsxTest, ColumnsFitTheirWordsAndFiguresAndRowsTheirLines) {
    CPlanExport content = TwoEntries();
    content.rows[1].texts[6] = "$-123456789.25";
    const CWorkbook book = Write(content);
    // The default face's digits are 7 pixels wide; it is 11 points, 96 dots an inch.
    const auto pixels = [](int width) {
        return width * 11.0 * 96.0 / 72.0 / 1000.0;
    };
    const std::vector<std::string> headings = {"Type",
                                               "Company Code",
                                               "Record Date\nExpiry Date",
                                               "Shares",
                                               "Option Contracts",
                                               "Share Price",
                                               "Cost",
                                               "Equity Brokerage",
                                               "Strike Price",
                                               "ASX Fair Price (Premium)",
                                               "Option Brokerage",
                                               "Net Profit",
                                               "% Return",
                                               "Exercise Brokerage",
                                               "Net Profit",
                                               "% Return",
                                               "Value",
                                               "Date",
                                               "BEP"};
    for (std::size_t i = 0; i < kPlanExportColumnCount; ++i) {
        const char column = static_cast<char>('A' + i);
        int need = PlanTextNeed(headings[i], true).word;
        for (const CPlanExportRow& row : content.rows) {
            need = std::max(need, PlanTextNeed(row.texts[i], false).line);
        }
        EXPECT_GE(book.Width(column) * 7.0, pixels(need)) << column;
        EXPECT_GE(book.Width(column), 8.43) << column;
    }
    // Rows without a stored height are one line of 15 points.
    const auto points = [&](int row) {
        return book.Height(row) == 0.0 ? 15.0 : book.Height(row);
    };
    const int premiumLines = PlanWrappedLines(
        "ASX Fair Price (Premium)", true,
        static_cast<int>((book.Width('J') - 1.0) * 7.0 / (11.0 * 96.0 / 72.0) * 1000.0));
    EXPECT_GE(premiumLines, 2);
    EXPECT_GE(points(1) + points(2), 15.0 * premiumLines);
    EXPECT_GE(points(1) + points(2), 30.0);
    // Two dates on two lines in every entry row; one line in the others.
    EXPECT_GE(points(4), 30.0);
    EXPECT_GE(points(5), 30.0);
    for (int row : {3, 6, 7, 8}) {
        EXPECT_EQ(points(row), 15.0) << row;
    }
}

TEST_F(OfficeXlsxTest, FormatsAreSharedBetweenCellsThatLookAlike) {
    CPlanExport small = EmptyPlan();
    small.rows.push_back(CompanyRow("AAA"));
    small.rows.push_back(EntryRow("a"));
    CPlanExport large = small;
    for (int i = 0; i < 40; ++i) {
        large.rows.push_back(CompanyRow("C" + std::to_string(i)));
        large.rows.push_back(EntryRow(std::to_string(i)));
    }
    const std::size_t fewRows = Write(small).FormatCount();
    const CWorkbook many = Write(large);
    EXPECT_EQ(many.FormatCount(), fewRows);
    // Default, heading, band, the three alignments of white cells and the two number
    // formats of the totals.
    EXPECT_LE(fewRows, 8u);
    EXPECT_EQ(many.Text("A83"), "C39");
}

TEST_F(OfficeXlsxTest, TextsAreKeptExactlyAndBytesThatAreNotUtf8BecomeReplacementCharacters) {
    CPlanExport content = EmptyPlan();
    content.rows.push_back(CompanyRow("<b>&X"));
    CPlanExportRow row = EntryRow("y");
    row.texts[1] = "A\"B'C <i> & \xC3\xA9";
    row.texts[2] = "01-Jan-2010\n02-Feb-2011";
    row.texts[3] = "caf\xE9 \x01 end";
    content.rows.push_back(row);
    const CWorkbook book = Write(content);
    ExpectEveryXmlPartWellFormed(book.Parts());
    EXPECT_EQ(book.Text("A3"), "<b>&X");
    EXPECT_EQ(book.Text("B4"), "A\"B'C <i> & \xC3\xA9");
    EXPECT_EQ(book.Text("C4"), "01-Jan-2010\n02-Feb-2011");
    EXPECT_EQ(book.Text("D4"), "caf\xEF\xBF\xBD  end");
}

TEST_F(OfficeXlsxTest, ReplacesAnExistingFileAndLeavesNothingElse) {
    const std::string path = m_Folder.File("plan.xlsx");
    test::WriteTextFile(path, "an older export");
    std::string error;
    ASSERT_TRUE(WritePlanXlsx(EmptyPlan(), path, error)) << error;
    EXPECT_EQ(CWorkbook(path).Text("A3"), "Totals");
    EXPECT_EQ(FolderNames(m_Folder.Path()), std::set<std::string>{"plan.xlsx"});
}

TEST_F(OfficeXlsxTest, AnalyticsColumnsFollowBepWhenAskedFor) {
    const CPlanExport content = WithAnalytics();
    ASSERT_EQ(content.ColumnCount(), kPlanExportColumnLimit);
    const CWorkbook book = Write(content);
    ExpectEveryXmlPartWellFormed(book.Parts());
    EXPECT_EQ(book.Text("S1"), "BEP");
    const std::set<std::string> merges = book.Merges();
    for (std::size_t i = 0; i < kAnalyticsHeadings.size(); ++i) {
        const char column = static_cast<char>('A' + kDaysColumn + i);
        EXPECT_EQ(book.Text(Ref(column, 1)), kAnalyticsHeadings[i]);
        EXPECT_EQ(merges.count(Ref(column, 1) + ":" + Ref(column, 2)), 1u) << column;
    }
    // The company's band spans them too.
    EXPECT_EQ(merges.count("A3:V3"), 1u);
    int warnings = 0;
    for (std::size_t r = 0; r < content.rows.size(); ++r) {
        const CPlanExportRow& row = content.rows[r];
        for (std::size_t column = kDaysColumn; column < kPlanExportColumnLimit && !row.isCompany;
             ++column) {
            const std::string ref = Ref(static_cast<char>('A' + column), static_cast<int>(r) + 3);
            EXPECT_EQ(book.Shown(ref), row.texts[column]) << ref;
            warnings += column + 1 == kPlanExportColumnLimit && !row.texts[column].empty() ? 1 : 0;
        }
    }
    EXPECT_EQ(warnings, 2);
}

// ---- Document tests ----

class OfficeDocxTest : public OfficePlanTest {
protected:
    CDocument Write(const CPlanExport& content) {
        const std::string path = m_Folder.File("plan.docx");
        std::string error;
        EXPECT_TRUE(WritePlanDocx(content, path, error)) << error;
        EXPECT_EQ(error, "");
        return CDocument(path);
    }
};

const std::vector<std::string> kDocumentHeadings = {"Type",
                                                    "Company Code",
                                                    "Record Date Expiry Date",
                                                    "Shares",
                                                    "Option Contracts",
                                                    "Share Price",
                                                    "Cost",
                                                    "Equity Brokerage",
                                                    "Strike Price",
                                                    "ASX Fair Price (Premium)",
                                                    "Option Brokerage",
                                                    "Not exercised",
                                                    "Exercised",
                                                    "Dividends",
                                                    "BEP"};
const std::vector<std::string> kDocumentSubHeadings = {
    "Profit", "% Return", "Exercise Brokerage", "Profit", "% Return", "Value", "Date"};

TEST_F(OfficeDocxTest, AnalyticsColumnsFollowBepWhenAskedFor) {
    const CPlanExport content = WithAnalytics();
    const CDocument document = Write(content);
    ExpectEveryXmlPartWellFormed(document.Parts());
    ASSERT_TRUE(document.Table());
    EXPECT_EQ(Children(document.Table().child("w:tblGrid"), "w:gridCol").size(),
              kPlanExportColumnLimit);
    const auto& rows = document.Rows();
    // Two heading rows, the company, its two rows, "Totals", the totals and the time stamp.
    ASSERT_EQ(rows.size(), 8u);
    ASSERT_GE(rows[0].size(), kAnalyticsHeadings.size());
    for (std::size_t i = 0; i < kAnalyticsHeadings.size(); ++i) {
        EXPECT_EQ(rows[0][rows[0].size() - kAnalyticsHeadings.size() + i].text,
                  kAnalyticsHeadings[i]);
    }
    EXPECT_EQ(rows[1].size(), kPlanExportColumnLimit);
    EXPECT_EQ(rows[2][0].span, static_cast<int>(kPlanExportColumnLimit));
    for (std::size_t r = 3; r <= 4; ++r) {
        const CPlanExportRow& row = content.rows[r - 2];
        ASSERT_EQ(rows[r].size(), kPlanExportColumnLimit);
        for (std::size_t column = kDaysColumn; column < kPlanExportColumnLimit; ++column) {
            EXPECT_EQ(rows[r][column].text, row.texts[column]) << r << " " << column;
        }
        EXPECT_FALSE(row.texts[kPlanExportColumnLimit - 1].empty());
    }
}

TEST_F(OfficeDocxTest, PackageIsComplete) {
    const CDocument document = Write(EmptyPlan());
    ExpectEveryXmlPartWellFormed(document.Parts());
    ExpectRelationshipsResolve(document.Parts());

    const auto types = ParsePart(document.Parts(), "[Content_Types].xml");
    ASSERT_TRUE(types->document_element());
    EXPECT_EQ(Attribute(types->document_element(), "xmlns"),
              "http://schemas.openxmlformats.org/package/2006/content-types");
    std::map<std::string, std::string> overrides;
    for (pugi::xml_node override : Children(types->document_element(), "Override")) {
        overrides[Attribute(override, "PartName")] = Attribute(override, "ContentType");
    }
    EXPECT_EQ(overrides["/word/document.xml"],
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    std::map<std::string, std::string> defaults;
    for (pugi::xml_node type : Children(types->document_element(), "Default")) {
        defaults[Attribute(type, "Extension")] = Attribute(type, "ContentType");
    }
    EXPECT_EQ(defaults["rels"], "application/vnd.openxmlformats-package.relationships+xml");

    const auto relationships = ParsePart(document.Parts(), "_rels/.rels");
    const std::vector<pugi::xml_node> relations =
        Children(relationships->document_element(), "Relationship");
    ASSERT_EQ(relations.size(), 1u);
    EXPECT_EQ(Attribute(relations[0], "Type"),
              "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument");
    EXPECT_EQ(Attribute(relations[0], "Target"), "word/document.xml");

    ASSERT_TRUE(document.Root());
    EXPECT_STREQ(document.Root().name(), "w:document");
    EXPECT_EQ(Attribute(document.Root(), "xmlns:w"),
              "http://schemas.openxmlformats.org/wordprocessingml/2006/main");
}

TEST_F(OfficeDocxTest, EmptyPlanHasHeadingsTotalsAndTimeStamp) {
    const CDocument document = Write(EmptyPlan());
    ASSERT_TRUE(document.Table());
    EXPECT_EQ(Children(document.Table().child("w:tblGrid"), "w:gridCol").size(),
              kPlanExportColumnCount);
    const auto& rows = document.Rows();
    ASSERT_EQ(rows.size(), 5u);

    // Row 1: eleven headings over two rows, the three groups across their columns, BEP.
    ASSERT_EQ(rows[0].size(), kDocumentHeadings.size());
    const std::vector<int> spans = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 3, 2, 1};
    for (std::size_t i = 0; i < rows[0].size(); ++i) {
        const CDocCell& cell = rows[0][i];
        EXPECT_EQ(cell.text, kDocumentHeadings[i]) << i;
        EXPECT_EQ(cell.span, spans[i]) << i;
        EXPECT_EQ(cell.vMerge, spans[i] == 1 ? "restart" : "none") << i;
        EXPECT_EQ(cell.fill, "A6A6A6") << i;
        EXPECT_TRUE(cell.bold) << i;
    }
    // Row 2: the continued headings and the seven sub-headings.
    ASSERT_EQ(rows[1].size(), kPlanExportColumnCount);
    for (std::size_t column = 0; column < kPlanExportColumnCount; ++column) {
        const CDocCell& cell = rows[1][column];
        const bool sub = column >= 11 && column <= 17;
        EXPECT_EQ(cell.vMerge, sub ? "none" : "continue") << column;
        EXPECT_EQ(cell.text, sub ? kDocumentSubHeadings[column - 11] : "") << column;
        EXPECT_EQ(cell.fill, "A6A6A6") << column;
        EXPECT_EQ(cell.bold, sub) << column;
    }

    ASSERT_EQ(rows[2].size(), 1u);
    EXPECT_EQ(rows[2][0].text, "Totals");
    EXPECT_EQ(rows[2][0].span, 19);
    EXPECT_TRUE(rows[2][0].bold);
    EXPECT_EQ(rows[2][0].fill, "FFFFFF");

    ASSERT_EQ(rows[3].size(), kPlanExportColumnCount);
    for (std::size_t column = 0; column < kPlanExportColumnCount; ++column) {
        EXPECT_EQ(rows[3][column].text, EmptyPlan().totals[column]) << column;
        EXPECT_EQ(rows[3][column].fill, "FFFFFF") << column;
        EXPECT_FALSE(rows[3][column].bold) << column;
    }

    ASSERT_EQ(rows[4].size(), 1u);
    EXPECT_EQ(rows[4][0].text, kTimeStamp);
    EXPECT_EQ(rows[4][0].span, 19);
    EXPECT_TRUE(rows[4][0].bold);
}

TEST_F(OfficeDocxTest, OneCompanyWithTwoEntries) {
    const CPlanExport content = TwoEntries();
    const CDocument document = Write(content);
    ExpectEveryXmlPartWellFormed(document.Parts());
    const auto& rows = document.Rows();
    ASSERT_EQ(rows.size(), 8u);
    ASSERT_EQ(rows[2].size(), 1u);
    EXPECT_EQ(rows[2][0].text, "BHP");
    EXPECT_EQ(rows[2][0].span, 19);
    EXPECT_TRUE(rows[2][0].bold);
    EXPECT_EQ(rows[2][0].fill, "FFFFFF");
    for (std::size_t r = 3; r <= 4; ++r) {
        const CPlanExportRow& entry = content.rows[r - 2];
        ASSERT_EQ(rows[r].size(), kPlanExportColumnCount);
        for (std::size_t column = 0; column < kPlanExportColumnCount; ++column) {
            EXPECT_EQ(rows[r][column].text, entry.texts[column]) << r << "," << column;
            EXPECT_FALSE(rows[r][column].bold) << r << "," << column;
        }
    }
    EXPECT_EQ(rows[3][2].text, "13-Apr-2010\n20-May-2010");
    EXPECT_EQ(rows[5][0].text, "Totals");
    EXPECT_EQ(rows[6][6].text, content.totals[6]);
    EXPECT_EQ(rows[7][0].text, kTimeStamp);

    // Premium cyan on both rows; green cost and red BEP on the second.
    EXPECT_EQ(rows[3][9].fill, "00FFFF");
    EXPECT_EQ(rows[4][9].fill, "00FFFF");
    EXPECT_EQ(rows[4][6].fill, "008000");
    EXPECT_EQ(rows[4][18].fill, "FF0000");
    EXPECT_EQ(rows[3][6].fill, "FFFFFF");
}

TEST_F(OfficeDocxTest, CellShadingFollowsTheColourIndex) {
    const std::vector<std::pair<std::int32_t, std::string>> cases = {
        {0, "FFFFFF"}, {1, "008000"}, {2, "FFFF00"}, {3, "FF0000"},
        {4, "00FFFF"}, {5, "FFFFFF"}, {-3, "FFFFFF"}};
    CPlanExport content = EmptyPlan();
    for (const auto& [index, fill] : cases) {
        CPlanExportRow row = EntryRow("c");
        row.colours.fill(index);
        content.rows.push_back(row);
    }
    const CDocument document = Write(content);
    ASSERT_EQ(document.Rows().size(), 2 + cases.size() + 3);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::vector<CDocCell>& row = document.Rows()[i + 2];
        ASSERT_EQ(row.size(), kPlanExportColumnCount);
        for (const CDocCell& cell : row) {
            EXPECT_EQ(cell.fill, cases[i].second) << "index " << cases[i].first;
        }
    }
}

TEST_F(OfficeDocxTest, SpecialCharactersAreEscapedAndLineBreaksBecomeBreaks) {
    CPlanExport content = EmptyPlan();
    content.rows.push_back(CompanyRow("<b>&X"));
    CPlanExportRow row = EntryRow("z");
    row.texts[1] = "A\"B'C";
    row.texts[2] = "01-Jan-2010\n02-Feb-2011";
    row.texts[3] = "caf\xE9\x02";
    content.rows.push_back(row);
    const CDocument document = Write(content);
    ExpectEveryXmlPartWellFormed(document.Parts());

    EXPECT_NE(document.Xml().find("&lt;b&gt;&amp;X"), std::string::npos);
    EXPECT_EQ(document.Xml().find("<b>"), std::string::npos);
    EXPECT_NE(document.Xml().find("A&quot;B&apos;C"), std::string::npos);
    const auto& rows = document.Rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[2][0].text, "<b>&X");
    EXPECT_EQ(rows[3][1].text, "A\"B'C");
    EXPECT_EQ(rows[3][2].text, "01-Jan-2010\n02-Feb-2011");
    EXPECT_EQ(rows[3][3].text, "caf\xEF\xBF\xBD");
    EXPECT_NE(
        document.Xml().find("01-Jan-2010</w:t><w:br/><w:t xml:space=\"preserve\">02-Feb-2011"),
        std::string::npos);
}

TEST_F(OfficeDocxTest, DataCellsAlignByValueKind) {
    CPlanExport content = EmptyPlan();
    content.rows.push_back(EntryRow("k"));
    const CDocument document = Write(content);
    const std::vector<CDocCell>& row = document.Rows().at(2);
    ASSERT_EQ(row.size(), kPlanExportColumnCount);
    for (std::size_t column = 0; column < kPlanExportColumnCount; ++column) {
        const PlanValueKind kind = PlanExportColumns[column].kind;
        const std::string expected =
            kind == PlanValueKind::Count                                     ? "left"
            : kind == PlanValueKind::Money || kind == PlanValueKind::Percent ? "right"
                                                                             : "center";
        EXPECT_EQ(row[column].alignment, expected) << column;
    }
}

TEST_F(OfficeDocxTest, TableHasThinBordersOnALandscapePage) {
    const CDocument document = Write(EmptyPlan());
    ASSERT_TRUE(document.Table());
    pugi::xml_node properties = document.Table().child("w:tblPr");
    ASSERT_TRUE(properties);
    pugi::xml_node borders = properties.child("w:tblBorders");
    ASSERT_TRUE(borders);
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        pugi::xml_node line = borders.child(side);
        ASSERT_TRUE(line) << side;
        EXPECT_EQ(Attribute(line, "w:val"), "single") << side;
        EXPECT_EQ(Attribute(line, "w:sz"), "4") << side;
        EXPECT_EQ(Attribute(line, "w:color"), "auto") << side;
    }
    // The grid fits between the margins.
    int gridWidth = 0;
    for (pugi::xml_node column : Children(document.Table().child("w:tblGrid"), "w:gridCol")) {
        gridWidth += std::stoi(Attribute(column, "w:w"));
    }
    pugi::xml_node section = document.Body().child("w:sectPr");
    ASSERT_TRUE(section);
    EXPECT_FALSE(NextElement(section)) << "the section closes the body";
    pugi::xml_node size = section.child("w:pgSz");
    EXPECT_EQ(Attribute(size, "w:w"), "16838");
    EXPECT_EQ(Attribute(size, "w:h"), "11906");
    EXPECT_EQ(Attribute(size, "w:orient"), "landscape");
    pugi::xml_node margins = section.child("w:pgMar");
    ASSERT_TRUE(margins);
    EXPECT_LE(gridWidth, 16838 - std::stoi(Attribute(margins, "w:left")) -
                             std::stoi(Attribute(margins, "w:right")));
    EXPECT_GT(gridWidth, 16838 / 2);
}

// ---- Failures ----

struct COfficeWriter {
    const char* name;
    std::function<bool(const CPlanExport&, const std::string&, std::string&)> write;
    std::string failure; // the message for an error code and its description
    std::string File() const { return std::string("plan.") + name; }
    std::string Message(int code, const std::string& description) const {
        std::string text = failure;
        text.replace(text.find("%u"), 2, std::to_string(code));
        text.replace(text.find("%s"), 2, description);
        return text;
    }
};

const std::vector<COfficeWriter> kWriters = {
    {"xlsx", WritePlanXlsx,
     "Unable to create Excel file (error code: %u, %s)\n\nPlease try exporting to CSV format."},
    {"docx", WritePlanDocx,
     "Unable to create Word file (error code: %u, %s)\n\nPlease try exporting to HTML format."},
};

TEST(OfficeWriters, FolderThatDoesNotExistFailsWithTheSystemReasonAndWritesNothing) {
    for (const COfficeWriter& writer : kWriters) {
        test::CTempFolder folder;
        const std::string path = (folder.Path() / "missing" / writer.File()).string();
        std::string error;
        EXPECT_FALSE(writer.write(EmptyPlan(), path, error)) << writer.name;
        EXPECT_EQ(error, writer.Message(ENOENT, std::strerror(ENOENT))) << writer.name;
        EXPECT_TRUE(FolderNames(folder.Path()).empty()) << writer.name;
    }
}

TEST(OfficeWriters, TargetThatIsAFolderFailsAndLeavesNoTemporaryFile) {
    for (const COfficeWriter& writer : kWriters) {
        test::CTempFolder folder;
        const fs::path target = folder.Path() / writer.File();
        fs::create_directory(target);
        fs::path inside = target / "kept.txt";
        test::WriteTextFile(inside.string(), "kept");
        std::string error;
        EXPECT_FALSE(writer.write(EmptyPlan(), target.string(), error)) << writer.name;
        EXPECT_EQ(error, writer.Message(EISDIR, std::strerror(EISDIR))) << writer.name;
        EXPECT_EQ(FolderNames(folder.Path()), std::set<std::string>{writer.File()});
        EXPECT_EQ(test::ReadTextFile(inside.string()), "kept");
    }
}

TEST(OfficeWriters, WorkbookRefusingATextKeepsTheOldFile) {
    test::CTempFolder folder;
    const std::string path = folder.File("plan.xlsx");
    test::WriteTextFile(path, "the previous export");
    CPlanExport content = EmptyPlan();
    content.rows.push_back(CompanyRow(std::string(40000, 'A')));
    std::string error;
    EXPECT_FALSE(WritePlanXlsx(content, path, error));
    EXPECT_EQ(error, kWriters[0].Message(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED,
                                         lxw_strerror(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)));
    EXPECT_EQ(test::ReadTextFile(path), "the previous export");
    EXPECT_EQ(FolderNames(folder.Path()), std::set<std::string>{"plan.xlsx"});
}

TEST(OfficeWriters, BothWritersAcceptTheSameContent) {
    for (const COfficeWriter& writer : kWriters) {
        test::CTempFolder folder;
        CPlanExport content = EmptyPlan();
        content.rows.push_back(CompanyRow("ANZ"));
        content.rows.push_back(EntryRow("e"));
        const std::string path = folder.File(writer.File());
        std::string error;
        ASSERT_TRUE(writer.write(content, path, error)) << writer.name << ": " << error;
        const std::map<std::string, std::string> parts = ReadPackage(path);
        ExpectEveryXmlPartWellFormed(parts);
        ExpectRelationshipsResolve(parts);
        EXPECT_EQ(FolderNames(folder.Path()), std::set<std::string>{writer.File()});
    }
}

TEST_F(OfficeDocxTest, ColumnsHoldTheirLongestWordsAndTheHeadingRowsRepeat) {
    CPlanExport content = TwoEntries();
    content.rows[1].texts[6] = "$-123456789.25";
    content.rows[1].texts[1] = "ABCXYZW9";
    const CDocument document = Write(content);
    ASSERT_TRUE(document.Table());

    // The two heading rows repeat at the top of every page; no other row does.
    const std::vector<pugi::xml_node> rows = Children(document.Table(), "w:tr");
    ASSERT_EQ(rows.size(), 8u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        pugi::xml_node properties = rows[i].child("w:trPr");
        const bool repeated = properties && properties.child("w:tblHeader");
        EXPECT_EQ(repeated, i < 2) << "row " << i;
    }

    std::vector<int> grid;
    for (pugi::xml_node column : Children(document.Table().child("w:tblGrid"), "w:gridCol")) {
        grid.push_back(std::stoi(Attribute(column, "w:w")));
    }
    ASSERT_EQ(grid.size(), kPlanExportColumnCount);
    // The page between its margins is shared out whole.
    EXPECT_EQ(std::accumulate(grid.begin(), grid.end(), 0), 16838 - 2 * 720);

    // A word of the 8-point face (a width of 1000 is 8 points, 160 twentieths) and the
    // cell's two margins of 57 fit in every column, for every word of its headings and
    // cells; a group heading in the columns below it.
    const auto room = [](int width) {
        return width * 160 / 1000 + 2 * 57;
    };
    const std::vector<std::vector<std::string>> headings = {{"Type"},
                                                            {"Company Code"},
                                                            {"Record Date Expiry Date"},
                                                            {"Shares"},
                                                            {"Option Contracts"},
                                                            {"Share Price"},
                                                            {"Cost"},
                                                            {"Equity Brokerage"},
                                                            {"Strike Price"},
                                                            {"ASX Fair Price (Premium)"},
                                                            {"Option Brokerage"},
                                                            {"Profit"},
                                                            {"% Return"},
                                                            {"Exercise Brokerage"},
                                                            {"Profit"},
                                                            {"% Return"},
                                                            {"Value"},
                                                            {"Date"},
                                                            {"BEP"}};
    for (std::size_t column = 0; column < kPlanExportColumnCount; ++column) {
        int word = PlanTextNeed(headings[column][0], true).word;
        for (const CPlanExportRow& row : content.rows) {
            word = std::max(word, PlanTextNeed(row.texts[column], false).word);
        }
        word = std::max(word, PlanTextNeed(content.totals[column], false).word);
        EXPECT_GE(grid[column], room(word)) << column;
    }
    EXPECT_GE(grid[11] + grid[12], room(PlanTextNeed("Not exercised", true).word));
    EXPECT_GE(grid[16] + grid[17], room(PlanTextNeed("Dividends", true).word));

    // Every cell is as wide as the grid columns it covers.
    for (pugi::xml_node row : rows) {
        std::size_t column = 0;
        for (pugi::xml_node cell : Children(row, "w:tc")) {
            pugi::xml_node properties = cell.child("w:tcPr");
            ASSERT_TRUE(properties);
            pugi::xml_node span = properties.child("w:gridSpan");
            const std::size_t columns = !span ? 1 : std::stoul(Attribute(span, "w:val"));
            ASSERT_LE(column + columns, grid.size());
            const int width =
                std::accumulate(grid.begin() + static_cast<std::ptrdiff_t>(column),
                                grid.begin() + static_cast<std::ptrdiff_t>(column + columns), 0);
            EXPECT_EQ(Attribute(properties.child("w:tcW"), "w:w"), std::to_string(width));
            column += columns;
        }
        EXPECT_EQ(column, grid.size());
    }
}

TEST(PlanOfficeLayout, TextWidthsAreThoseOfTheCommonSansSerifFace) {
    struct CCase {
        const char* text;
        bool bold;
        int width;
    };
    const std::vector<CCase> cases = {
        {"", false, 0},
        {"0123456789", false, 5560},
        {"$-12.5%", false, 556 + 333 + 556 + 556 + 278 + 556 + 889},
        {"Brokerage", true, 722 + 389 + 611 + 556 + 556 + 389 + 556 + 611 + 556},
        {"Il", false, 278 + 222},
        {"Il", true, 278 + 278},
        {"caf\xC3\xA9", false, 500 + 556 + 278 + 778}, // one wide letter for the accent
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(PlanTextWidth(c.text, c.bold), c.width) << c.text;
    }
    const CPlanTextNeed need = PlanTextNeed("Record Date\nExpiry Date", false);
    EXPECT_EQ(need.word, std::max(PlanTextWidth("Record", false), PlanTextWidth("Expiry", false)));
    EXPECT_EQ(need.line,
              std::max(PlanTextWidth("Record Date", false), PlanTextWidth("Expiry Date", false)));
}

TEST(PlanOfficeLayout, WrappingCountsLines) {
    const int price = PlanTextWidth("Price", true);
    const int blank = PlanTextWidth(" ", true);
    struct CCase {
        const char* text;
        int width;
        int lines;
    };
    const std::vector<CCase> cases = {
        {"", 100, 1},
        {"Price", price, 1},
        {"Price Price", price * 2 + blank, 1},
        {"Price Price", price * 2 + blank - 1, 2},
        {"Price\nPrice", 100000, 2},
        {"Price  Price Price", price, 3},
        // A word wider than the column breaks over the lines it needs.
        {"Price", price / 2, 2},
        {"Price", price / 2 - 1, 3},
        {"Price", price - 1, 2},
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(PlanWrappedLines(c.text, true, c.width), c.lines) << c.text << " in " << c.width;
    }
}

TEST(PlanOfficeLayout, SharingAWidth) {
    struct CCase {
        std::vector<int> least;
        std::vector<int> wanted;
        int total;
        std::vector<int> widths;
    };
    const std::vector<CCase> cases = {
        // Between least and wanted: the spare goes by the shortfall.
        {{100, 100}, {300, 100}, 300, {200, 100}},
        {{100, 100, 100}, {200, 400, 100}, 500, {150, 250, 100}},
        // All have their wanted width: the rest by the wanted widths.
        {{100, 100}, {300, 100}, 1000, {750, 250}},
        // Too narrow for the leasts: shares of the total in their proportion.
        {{300, 100}, {300, 100}, 200, {150, 50}},
        // Rounding: the units left over go to the first columns.
        {{1, 1, 1}, {1, 1, 1}, 10, {4, 3, 3}},
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(SharePlanWidth(c.least, c.wanted, c.total), c.widths) << c.total;
    }
}

TEST(OfficeText, KeepsUtf8AndReplacesWhatIsNot) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"BHP", "BHP"},
        {"a\tb\nc", "a\tb\nc"},
        {"a\rb\x01\x1F", "ab"},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"caf\xE9", "caf\xEF\xBF\xBD"},
        {"\xC3", "\xEF\xBF\xBD"},                 // cut short at the end
        {"\xE2\x82x", "\xEF\xBF\xBDx"},           // cut short before a letter
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"}, // an over-long slash
        {"\xED\xA0\x80", "\xEF\xBF\xBD"},         // a surrogate
        {"\xEF\xBF\xBE", "\xEF\xBF\xBD"},         // U+FFFE is no character
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD"},     // beyond U+10FFFF
        {"\x80z", "\xEF\xBF\xBDz"},               // a lone continuation byte
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(PlanOfficeText(text), expected) << text;
    }
}

} // namespace
} // namespace strikeline
