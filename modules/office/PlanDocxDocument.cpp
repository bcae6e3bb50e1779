// The Trading Plan export as a word-processing document (.docx), the one part of the program that
// links libzip: in the module strikeline-office, which WritePlanDocx opens on the first export.

#include "plan/PlanDocxWriter.h"
#include "plan/PlanOfficeCells.h"
#include "plan/PlanOfficeLayout.h"
#include "platform/AtomicFileWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <zip.h>

namespace strikeline {

namespace {

// A4 landscape with half-inch margins, in twentieths of a point.
constexpr int kPageWidth = 16838;
constexpr int kPageHeight = 11906;
constexpr int kMargin = 720;
constexpr int kTableWidth = kPageWidth - 2 * kMargin;
// The face of the styles is 8 points, so a text width (in thousandths of the font size)
// times 8 * 20 / 1000 is twentieths of a point.
constexpr int kFontPoints = 8;
// The left and right margins inside a cell, and a little room for rounding in the office
// program's own measuring.
constexpr int kCellMargin = 57;
constexpr int kCellSlack = 30;

// One width for each column the export shows.
using CColumnWidths = std::vector<int>;

constexpr std::string_view kHeadingFill = "A6A6A6";

constexpr std::string_view kWordNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// The width of a cell that shows a text `width` wide on one line.
int CellWidthFor(int width) {
    return (width * kFontPoints * 20 + 999) / 1000 + 2 * kCellMargin + kCellSlack;
}

// Widens the columns from `first` on, `span` of them, evenly until together they hold
// `need`.
void Cover(std::vector<int>& widths, std::size_t first, int span, int need) {
    const auto begin = widths.begin() + static_cast<std::ptrdiff_t>(first);
    const int have = std::accumulate(begin, begin + span, 0);
    for (int i = 0; i < span && have < need; ++i) {
        *(begin + i) += (need - have + span - 1) / span;
    }
}

// Each column at least as wide as the widest word of its heading and of its cells, so that
// no word breaks inside a cell; the rest of the page goes to the columns whose heading
// or figures would take fewer lines with more room.
CColumnWidths ColumnWidths(const CPlanExport& content) {
    const std::array<CPlanTextNeed, kPlanExportColumnLimit> cells = PlanCellNeeds(content);
    const std::size_t columns = content.ColumnCount();
    std::vector<int> least(columns);
    std::vector<int> wanted(columns);
    for (std::size_t column = 0; column < columns; ++column) {
        const CPlanTextNeed need =
            Widest(cells[column], PlanTextNeed(PlanExportColumns[column].DocxHeading(), true));
        least[column] = CellWidthFor(need.word);
        wanted[column] = CellWidthFor(need.line);
    }
    for (const CPlanGroupSpan& group : PlanExportGroupSpans) {
        if (group.count == 0) {
            continue;
        }
        const CPlanTextNeed need = PlanTextNeed(GroupOf(group.group).heading, true);
        const int span = static_cast<int>(group.count);
        Cover(least, group.first, span, CellWidthFor(need.word));
        Cover(wanted, group.first, span, CellWidthFor(need.line));
    }
    return SharePlanWidth(least, wanted, kTableWidth);
}

std::string WordFailure(unsigned code, const std::string& description) {
    return "Unable to create Word file (error code: " + std::to_string(code) + ", " + description +
           ")\n\nPlease try exporting to HTML format.";
}

std::string WordFailure(zip_error_t* zipError) {
    return WordFailure(static_cast<unsigned>(zip_error_code_zip(zipError)),
                       zip_error_strerror(zipError));
}

std::string HexColour(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb & 0xFFFFFFu));
    return text;
}

void AppendEscaped(std::string& xml, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            xml += "&amp;";
            break;
        case '<':
            xml += "&lt;";
            break;
        case '>':
            xml += "&gt;";
            break;
        case '"':
            xml += "&quot;";
            break;
        case '\'':
            xml += "&apos;";
            break;
        default:
            xml += c;
        }
    }
}

enum class VerticalMerge { None, Restart, Continue };

struct CDocxCell {
    std::string_view text;
    std::string fill;
    bool bold = false;
    std::string_view alignment = "center";
    int span = 1;
    VerticalMerge merge = VerticalMerge::None;
};

CDocxCell MakeCell(std::string_view text, std::string fill, bool bold) {
    CDocxCell cell;
    cell.text = text;
    cell.fill = std::move(fill);
    cell.bold = bold;
    return cell;
}

std::string_view Alignment(PlanValueKind kind) {
    switch (kind) {
    case PlanValueKind::Count:
        return "left";
    case PlanValueKind::Money:
    case PlanValueKind::Percent:
        return "right";
    default:
        return "center";
    }
}

// The runs of a text: a line break starts a new line, a tab stays a tab.
void AppendRuns(std::string& xml, std::string_view rawText, bool bold) {
    const std::string text = PlanOfficeText(rawText);
    if (text.empty()) {
        return;
    }
    xml += bold ? "<w:r><w:rPr><w:b/><w:bCs/></w:rPr>" : "<w:r>";
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t stop = std::min(text.find_first_of("\n\t", start), text.size());
        if (stop > start) {
            xml += "<w:t xml:space=\"preserve\">";
            AppendEscaped(xml, std::string_view(text).substr(start, stop - start));
            xml += "</w:t>";
        }
        if (stop == text.size()) {
            break;
        }
        xml += text[stop] == '\n' ? "<w:br/>" : "<w:tab/>";
        start = stop + 1;
    }
    xml += "</w:r>";
}

// Appends the cell that starts at grid column `column` and returns the column after it.
std::size_t AppendCell(std::string& xml, const CColumnWidths& widths, std::size_t column,
                       const CDocxCell& cell) {
    int width = 0;
    for (int i = 0; i < cell.span; ++i) {
        width += widths[column + static_cast<std::size_t>(i)];
    }
    xml += "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(width) + "\" w:type=\"dxa\"/>";
    if (cell.span > 1) {
        xml += "<w:gridSpan w:val=\"" + std::to_string(cell.span) + "\"/>";
    }
    if (cell.merge == VerticalMerge::Restart) {
        xml += "<w:vMerge w:val=\"restart\"/>";
    } else if (cell.merge == VerticalMerge::Continue) {
        xml += "<w:vMerge/>";
    }
    xml += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"" + cell.fill + "\"/>";
    xml += "<w:vAlign w:val=\"center\"/></w:tcPr>";
    xml += "<w:p><w:pPr><w:jc w:val=\"";
    xml += cell.alignment;
    xml += "\"/></w:pPr>";
    AppendRuns(xml, cell.text, cell.bold);
    xml += "</w:p></w:tc>";
    return column + static_cast<std::size_t>(cell.span);
}

void AppendHeadingRows(std::string& xml, const CColumnWidths& widths) {
    const std::string fill(kHeadingFill);
    // Headings repeat at the top of every page the table runs onto.
    xml += "<w:tr><w:trPr><w:tblHeader/></w:trPr>";
    std::size_t column = 0;
    while (column < widths.size()) {
        const CPlanColumn& info = PlanExportColumns[column];
        CDocxCell cell = MakeCell(info.DocxHeading(), fill, true);
        if (const CPlanGroupSpan* group = PlanExportGroupAt(column)) {
            cell.text = GroupOf(group->group).heading;
            cell.span = static_cast<int>(group->count);
        } else {
            cell.merge = VerticalMerge::Restart;
        }
        column = AppendCell(xml, widths, column, cell);
    }
    xml += "</w:tr><w:tr><w:trPr><w:tblHeader/></w:trPr>";
    for (column = 0; column < widths.size(); ++column) {
        const CPlanColumn& info = PlanExportColumns[column];
        CDocxCell cell = MakeCell("", fill, true);
        if (info.heading.group != PlanColumnGroup::None) {
            cell.text = info.DocxHeading();
        } else {
            cell.merge = VerticalMerge::Continue;
        }
        AppendCell(xml, widths, column, cell);
    }
    xml += "</w:tr>";
}

// A row of one bold cell across the table: a company heading, "Totals", the time stamp.
void AppendBandRow(std::string& xml, const CColumnWidths& widths, std::string_view text) {
    xml += "<w:tr>";
    CDocxCell cell = MakeCell(text, HexColour(PlanOfficeCellColour(0)), true);
    cell.span = static_cast<int>(widths.size());
    AppendCell(xml, widths, 0, cell);
    xml += "</w:tr>";
}

void AppendValuesRow(std::string& xml, const CColumnWidths& widths,
                     const std::array<std::string, kPlanExportColumnLimit>& texts,
                     const std::array<std::int32_t, kPlanExportColumnLimit>& colours) {
    xml += "<w:tr>";
    for (std::size_t column = 0; column < widths.size(); ++column) {
        CDocxCell cell =
            MakeCell(texts[column], HexColour(PlanOfficeCellColour(colours[column])), false);
        cell.alignment = Alignment(PlanExportColumns[column].kind);
        AppendCell(xml, widths, column, cell);
    }
    xml += "</w:tr>";
}

std::string DocumentXml(const CPlanExport& content) {
    const CColumnWidths widths = ColumnWidths(content);
    std::string xml(kXmlDeclaration);
    xml += "<w:document xmlns:w=\"";
    xml += kWordNamespace;
    xml += "\"><w:body><w:tbl><w:tblPr><w:tblW w:w=\"" + std::to_string(kTableWidth) +
           "\" w:type=\"dxa\"/><w:tblBorders>";
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        xml += "<w:";
        xml += side;
        xml += " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>";
    }
    xml += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar>"
           "<w:left w:w=\"57\" w:type=\"dxa\"/><w:right w:w=\"57\" w:type=\"dxa\"/>"
           "</w:tblCellMar></w:tblPr><w:tblGrid>";
    for (std::size_t column = 0; column < widths.size(); ++column) {
        xml += "<w:gridCol w:w=\"" + std::to_string(widths[column]) + "\"/>";
    }
    xml += "</w:tblGrid>";

    AppendHeadingRows(xml, widths);
    for (const CPlanExportRow& row : content.rows) {
        if (row.isCompany) {
            AppendBandRow(xml, widths, row.company);
        } else {
            AppendValuesRow(xml, widths, row.texts, row.colours);
        }
    }
    AppendBandRow(xml, widths, "Totals");
    AppendValuesRow(xml, widths, content.totals, {});
    AppendBandRow(xml, widths, content.timeStamp);

    // A document ends with a paragraph, never with a table.
    xml += "</w:tbl><w:p/><w:sectPr><w:pgSz w:w=\"" + std::to_string(kPageWidth) + "\" w:h=\"" +
           std::to_string(kPageHeight) + "\" w:orient=\"landscape\"/><w:pgMar w:top=\"" +
           std::to_string(kMargin) + "\" w:right=\"" + std::to_string(kMargin) + "\" w:bottom=\"" +
           std::to_string(kMargin) + "\" w:left=\"" + std::to_string(kMargin) +
           "\" w:header=\"360\" w:footer=\"360\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
    return xml;
}

std::string ContentTypesXml() {
    return std::string(kXmlDeclaration) +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
           "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
           "</Types>";
}

std::string PackageRelationshipsXml() {
    return std::string(kXmlDeclaration) +
           "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
           "2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
           "</Relationships>";
}

std::string DocumentRelationshipsXml() {
    return std::string(kXmlDeclaration) +
           "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
           "2006/relationships/styles\" Target=\"styles.xml\"/>"
           "</Relationships>";
}

// A small sans-serif face and no space between paragraphs, so that the 19 columns fit
// across the page.
std::string StylesXml() {
    return std::string(kXmlDeclaration) + "<w:styles xmlns:w=\"" + std::string(kWordNamespace) +
           "\"><w:docDefaults><w:rPrDefault><w:rPr>"
           "<w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:eastAsia=\"Arial\" w:cs=\"Arial\"/>"
           "<w:sz w:val=\"16\"/><w:szCs w:val=\"16\"/><w:lang w:val=\"en-AU\"/>"
           "</w:rPr></w:rPrDefault><w:pPrDefault><w:pPr>"
           "<w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/>"
           "</w:pPr></w:pPrDefault></w:docDefaults>"
           "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
           "<w:name w:val=\"Normal\"/><w:qFormat/></w:style></w:styles>";
}

struct CZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

bool WriteDocument(const CPlanExport& content, const std::string& path, std::string& error) {
    // The package's parts, the content types first as readers expect. The archive reads
    // these buffers only when it is closed, so they live until then.
    const std::array<std::pair<const char*, std::string>, 5> parts = {{
        {"[Content_Types].xml", ContentTypesXml()},
        {"_rels/.rels", PackageRelationshipsXml()},
        {"word/document.xml", DocumentXml(content)},
        {"word/_rels/document.xml.rels", DocumentRelationshipsXml()},
        {"word/styles.xml", StylesXml()},
    }};

    CAtomicFileWriter file(path);
    std::string reason;
    if (!file.Open(reason)) {
        error = WordFailure(static_cast<unsigned>(file.ErrorNumber()), reason);
        return false;
    }
    int openError = 0;
    std::unique_ptr<zip_t, CZipDiscard> archive(
        zip_open(file.TemporaryPath().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &openError));
    if (archive == nullptr) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, openError);
        error = WordFailure(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    for (const auto& [name, data] : parts) {
        zip_source_t* source = zip_source_buffer(archive.get(), data.data(), data.size(), 0);
        if (source == nullptr) {
            error = WordFailure(zip_get_error(archive.get()));
            return false;
        }
        if (zip_file_add(archive.get(), name, source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            error = WordFailure(zip_get_error(archive.get()));
            return false;
        }
    }
    if (zip_close(archive.get()) != 0) {
        error = WordFailure(zip_get_error(archive.get()));
        return false;
    }
    static_cast<void>(archive.release()); // closed, and freed by closing
    if (!file.Commit(reason)) {
        error = WordFailure(static_cast<unsigned>(file.ErrorNumber()), reason);
        return false;
    }
    return true;
}

} // namespace

} // namespace strikeline

extern "C" __attribute__((visibility("default"))) bool
StrikelineWritePlanDocx(const strikeline::CPlanExport* content, const char* path,
                        std::string* error) {
    return strikeline::WriteDocument(*content, path, *error);
}
