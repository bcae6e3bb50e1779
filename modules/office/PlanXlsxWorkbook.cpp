// The Trading Plan export as a workbook (.xlsx), the one part of the program that links
// libxlsxwriter: in the module strikeline-office, which WritePlanXlsx opens on the first export.

#include "plan/PlanOfficeCells.h"
#include "plan/PlanOfficeLayout.h"
#include "plan/PlanXlsxWriter.h"
#include "platform/AtomicFileWriter.h"
#include "storage/FileTime.h"
#include "storage/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <optional>
#include <string>
#include <tuple>
#include <xlsxwriter.h>

namespace strikeline {

namespace {

// The grey of the heading cells (the default palette's colour 48).
constexpr lxw_color_t kHeadingFill = 0x969696;

const CPlanColumn& ColumnAt(lxw_col_t column) {
    return PlanExportColumns[column];
}

std::string ExcelFailure(unsigned code, const std::string& description) {
    return "Unable to create Excel file (error code: " + std::to_string(code) + ", " + description +
           ")\n\nPlease try exporting to CSV format.";
}

std::string ExcelFailure(lxw_error code) {
    return ExcelFailure(static_cast<unsigned>(code), lxw_strerror(code));
}

std::uint8_t Alignment(PlanValueKind kind) {
    switch (kind) {
    case PlanValueKind::Text:
        return LXW_ALIGN_CENTER;
    case PlanValueKind::Count:
        return LXW_ALIGN_LEFT;
    default:
        return LXW_ALIGN_NONE;
    }
}

// The number format that shows a figure with `decimals` fraction digits the way the plan
// does: no thousands separators, the minus sign of an amount after the dollar sign
// ("$-12.5"). An empty code is the General format (texts, blanks).
std::string NumberFormat(PlanValueKind kind, int decimals) {
    const std::string digits = decimals > 0 ? "0." + std::string(decimals, '0') : "0";
    switch (kind) {
    case PlanValueKind::Count:
        return digits;
    case PlanValueKind::Money:
        return "$" + digits + ";$-" + digits;
    case PlanValueKind::Percent:
        return digits + "%";
    case PlanValueKind::Date:
        return "dd-mmm-yyyy"; // 13-Apr-2010
    default:
        return {};
    }
}

// The workbook's formats, one per look, made when first needed (the workbook owns them).
class CPlanFormats {
public:
    explicit CPlanFormats(lxw_workbook* workbook) : m_Workbook(workbook) {}

    lxw_format* Heading() {
        if (m_Heading == nullptr) {
            m_Heading = Make(LXW_ALIGN_CENTER, kHeadingFill, true, {});
        }
        return m_Heading;
    }
    // Company headings, "Totals" and the time stamp.
    lxw_format* Band() {
        if (m_Band == nullptr) {
            m_Band = Make(LXW_ALIGN_CENTER, PlanOfficeCellColour(0), true, {});
        }
        return m_Band;
    }
    lxw_format* Cell(PlanValueKind kind, std::int32_t colour, const std::string& numberFormat) {
        const CLook look{Alignment(kind), PlanOfficeCellColour(colour), numberFormat};
        lxw_format*& format = m_Cells[look];
        if (format == nullptr) {
            format = Make(std::get<0>(look), std::get<1>(look), false, numberFormat);
        }
        return format;
    }

private:
    using CLook = std::tuple<std::uint8_t, lxw_color_t, std::string>;

    lxw_format* Make(std::uint8_t alignment, lxw_color_t fill, bool bold,
                     const std::string& numberFormat) {
        lxw_format* format = workbook_add_format(m_Workbook);
        if (format == nullptr) {
            return nullptr;
        }
        if (alignment != LXW_ALIGN_NONE) {
            format_set_align(format, alignment);
        }
        format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        format_set_text_wrap(format);
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, fill);
        format_set_border(format, LXW_BORDER_THIN);
        if (bold) {
            format_set_bold(format);
        }
        if (!numberFormat.empty()) {
            format_set_num_format(format, numberFormat.c_str());
        }
        return format;
    }

    lxw_workbook* m_Workbook;
    lxw_format* m_Heading = nullptr;
    lxw_format* m_Band = nullptr;
    std::map<CLook, lxw_format*> m_Cells;
};

// Writes cells until the first failure, which it keeps.
class CSheetWriter {
public:
    explicit CSheetWriter(lxw_worksheet* sheet) : m_Sheet(sheet) {}

    lxw_error Error() const { return m_Error; }

    void Write(lxw_row_t row, lxw_col_t column, std::string_view text, lxw_format* format) {
        if (!Usable(format)) {
            return;
        }
        Keep(worksheet_write_string(m_Sheet, row, column, PlanOfficeText(text).c_str(), format));
    }
    void Number(lxw_row_t row, lxw_col_t column, double value, lxw_format* format) {
        if (Usable(format)) {
            Keep(worksheet_write_number(m_Sheet, row, column, value, format));
        }
    }
    void Date(lxw_row_t row, lxw_col_t column, lxw_datetime date, lxw_format* format) {
        if (Usable(format)) {
            Keep(worksheet_write_datetime(m_Sheet, row, column, &date, format));
        }
    }
    // A cell with no value keeps its borders and shading.
    void Blank(lxw_row_t row, lxw_col_t column, lxw_format* format) {
        if (Usable(format)) {
            Keep(worksheet_write_blank(m_Sheet, row, column, format));
        }
    }
    // The range is merged with every cell formatted, so that the borders and shading
    // cover the whole area; the text then goes to its first cell, where a failure to
    // write it (a text too long for a cell, say) is seen.
    void Merge(lxw_row_t firstRow, lxw_col_t firstColumn, lxw_row_t lastRow, lxw_col_t lastColumn,
               std::string_view text, lxw_format* format) {
        if (!Usable(format)) {
            return;
        }
        Keep(
            worksheet_merge_range(m_Sheet, firstRow, firstColumn, lastRow, lastColumn, "", format));
        Write(firstRow, firstColumn, text, format);
    }
    void Height(lxw_row_t row, double points) {
        if (m_Error == LXW_NO_ERROR) {
            Keep(worksheet_set_row(m_Sheet, row, points, nullptr));
        }
    }
    void Width(lxw_col_t column, double characters) {
        if (m_Error == LXW_NO_ERROR) {
            Keep(worksheet_set_column(m_Sheet, column, column, characters, nullptr));
        }
    }

private:
    bool Usable(const lxw_format* format) {
        if (format == nullptr) {
            Keep(LXW_ERROR_MEMORY_MALLOC_FAILED);
        }
        return m_Error == LXW_NO_ERROR;
    }
    void Keep(lxw_error error) {
        if (m_Error == LXW_NO_ERROR) {
            m_Error = error;
        }
    }

    lxw_worksheet* m_Sheet;
    lxw_error m_Error = LXW_NO_ERROR;
};

// The day a date cell shows, in local time as the plan shows it; nothing for a day the
// sheet cannot hold (its dates start in 1900).
std::optional<lxw_datetime> SheetDay(FileTime date) {
    if (date == kNoDate) {
        return std::nullopt;
    }
    const std::string text = FormatFileTime(date, TimeZoneMode::Local, FileTimeStyle::DateTime);
    lxw_datetime day{};
    if (std::sscanf(text.c_str(), "%d-%d-%d", &day.year, &day.month, &day.day) != 3 ||
        day.year < 1900 || day.year > 9999) {
        return std::nullopt;
    }
    return day;
}

// One cell of an entry or of the totals: a figure as a number in the format that shows
// it as the plan does, a date as a date, anything else ("N/A", a series code, the two
// dates of a row) as its text, and a missing figure as a blank cell.
void WriteValue(CSheetWriter& writer, CPlanFormats& formats, lxw_row_t row, lxw_col_t column,
                const std::string& text, double figure, FileTime date, std::int32_t colour) {
    const CPlanColumn& info = ColumnAt(column);
    const bool number = info.kind == PlanValueKind::Count || info.kind == PlanValueKind::Money ||
                        info.kind == PlanValueKind::Percent;
    // No figure is infinite or not a number, but such a value would make the file unreadable.
    if (number && IsValue(figure) && std::isfinite(figure)) {
        const std::string shown = FormatNumber(figure, info.decimals);
        const std::size_t point = shown.find('.');
        const int decimals =
            point == std::string::npos ? 0 : static_cast<int>(shown.size() - point - 1);
        // A figure that the plan shows as 0 is written as 0, so that none reads "-0".
        double value = shown == "0" ? 0.0 : figure;
        if (info.kind == PlanValueKind::Percent) {
            value /= 100.0;
        }
        writer.Number(row, column, value,
                      formats.Cell(info.kind, colour, NumberFormat(info.kind, decimals)));
        return;
    }
    if (info.kind == PlanValueKind::Date) {
        if (const std::optional<lxw_datetime> day = SheetDay(date)) {
            writer.Date(row, column, *day,
                        formats.Cell(info.kind, colour, NumberFormat(info.kind, 0)));
            return;
        }
    }
    if (text.empty()) {
        writer.Blank(row, column, formats.Cell(info.kind, colour, {}));
    } else {
        writer.Write(row, column, text, formats.Cell(info.kind, colour, {}));
    }
}

// The sheet's face is the workbook's default one of 11 points. A column's width counts
// the widths of that face's digits (7 pixels at 96 dots an inch) and a cell's padding; a
// line of it takes 15 points of a row. No column is made narrower than the default.
constexpr double kFontPixels = 11.0 * 96.0 / 72.0;
constexpr double kDigitPixels = 7.0;
constexpr double kPaddingDigits = 1.0;
constexpr double kDefaultWidth = 8.43;
constexpr double kLinePoints = 15.0;

double DigitsFor(int width) {
    return width * kFontPixels / 1000.0 / kDigitPixels;
}

// The text width (in thousandths of the font size) that a column of `digits` shows.
int TextRoom(double digits) {
    return static_cast<int>(
        std::lround((digits - kPaddingDigits) * kDigitPixels / kFontPixels * 1000.0));
}

// The heading of a column outside a group stands over both heading rows; a grouped column
// has its sub-heading in the second row, under its group's heading.
bool Grouped(lxw_col_t column) {
    return ColumnAt(column).heading.group != PlanColumnGroup::None;
}

lxw_col_t LastOf(const CPlanGroupSpan& span) {
    return static_cast<lxw_col_t>(span.first + span.count - 1);
}

// Each column as wide as its widest figure or text line and its heading's widest word, so
// that no figure is cut and no heading word is broken; headings wrap between words.
// The columns past the export's own are left at 0.
using CColumnWidths = std::array<double, kPlanExportColumnLimit>;

CColumnWidths ColumnWidths(const CPlanExport& content) {
    const std::array<CPlanTextNeed, kPlanExportColumnLimit> cells = PlanCellNeeds(content);
    CColumnWidths widths{};
    for (lxw_col_t column = 0; column < content.ColumnCount(); ++column) {
        const int need =
            std::max(PlanTextNeed(ColumnAt(column).heading.text, true).word, cells[column].line);
        widths[column] = std::max(kDefaultWidth, DigitsFor(need) + kPaddingDigits);
    }
    for (const CPlanGroupSpan& group : PlanExportGroupSpans) {
        if (group.count == 0) {
            continue;
        }
        const auto first = static_cast<lxw_col_t>(group.first);
        const double span = static_cast<double>(group.count);
        const double have = std::accumulate(&widths[first], &widths[LastOf(group)] + 1, 0.0);
        const double need =
            DigitsFor(PlanTextNeed(GroupOf(group.group).heading, true).word) + kPaddingDigits;
        for (lxw_col_t column = first; column <= LastOf(group) && have < need; ++column) {
            widths[column] += (need - have) / span;
        }
    }
    return widths;
}

int SpanRoom(const CColumnWidths& widths, lxw_col_t first, lxw_col_t last) {
    return TextRoom(std::accumulate(&widths[first], &widths[last] + 1, 0.0));
}

// Rows of more than one line are made tall enough for them: merged cells do not grow by
// themselves, and a spreadsheet keeps the stored heights of the others.
void FitRow(CSheetWriter& writer, lxw_row_t row, int lines) {
    if (lines > 1) {
        writer.Height(row, lines * kLinePoints);
    }
}

int CellLines(const std::array<std::string, kPlanExportColumnLimit>& texts,
              const CColumnWidths& widths, lxw_col_t columns) {
    int lines = 1;
    for (lxw_col_t column = 0; column < columns; ++column) {
        lines = std::max(lines, PlanWrappedLines(texts[column], false, TextRoom(widths[column])));
    }
    return lines;
}

void WriteHeadings(CSheetWriter& writer, CPlanFormats& formats, const CColumnWidths& widths,
                   lxw_col_t columns) {
    int singleLines = 1;
    int subLines = 1;
    for (lxw_col_t column = 0; column < columns; ++column) {
        const std::string_view heading = ColumnAt(column).heading.text;
        const int lines = PlanWrappedLines(heading, true, TextRoom(widths[column]));
        if (!Grouped(column)) {
            writer.Merge(0, column, 1, column, heading, formats.Heading());
            singleLines = std::max(singleLines, lines);
        } else {
            writer.Write(1, column, heading, formats.Heading());
            subLines = std::max(subLines, lines);
        }
    }
    int groupLines = 1;
    for (const CPlanGroupSpan& group : PlanExportGroupSpans) {
        if (group.count == 0) {
            continue;
        }
        const auto first = static_cast<lxw_col_t>(group.first);
        const std::string_view heading = GroupOf(group.group).heading;
        writer.Merge(0, first, 0, LastOf(group), heading, formats.Heading());
        groupLines = std::max(
            groupLines, PlanWrappedLines(heading, true, SpanRoom(widths, first, LastOf(group))));
    }
    // The single headings stand over both rows.
    FitRow(writer, 0, groupLines);
    FitRow(writer, 1, std::max(subLines, singleLines - groupLines));
}

lxw_error WriteSheet(lxw_workbook* workbook, const CPlanExport& content) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    if (sheet == nullptr) {
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    }
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 1);

    CPlanFormats formats(workbook);
    CSheetWriter writer(sheet);
    const auto columns = static_cast<lxw_col_t>(content.ColumnCount());
    const lxw_col_t lastColumn = columns - 1;
    const CColumnWidths widths = ColumnWidths(content);
    for (lxw_col_t column = 0; column < columns; ++column) {
        writer.Width(column, widths[column]);
    }
    WriteHeadings(writer, formats, widths, columns);
    const int tableRoom = SpanRoom(widths, 0, lastColumn);

    lxw_row_t row = 2;
    for (const CPlanExportRow& entry : content.rows) {
        if (entry.isCompany) {
            writer.Merge(row, 0, row, lastColumn, entry.company, formats.Band());
            FitRow(writer, row, PlanWrappedLines(entry.company, true, tableRoom));
        } else {
            for (lxw_col_t column = 0; column < columns; ++column) {
                WriteValue(writer, formats, row, column, entry.texts[column], entry.figures[column],
                           entry.dates[column], entry.colours[column]);
            }
            FitRow(writer, row, CellLines(entry.texts, widths, columns));
        }
        ++row;
    }
    writer.Merge(row, 0, row, lastColumn, "Totals", formats.Band());
    ++row;
    // The totals row stops before the last column, which has no total.
    for (lxw_col_t column = 0; column < lastColumn; ++column) {
        WriteValue(writer, formats, row, column, content.totals[column],
                   content.totalFigures[column], kNoDate, 0);
    }
    FitRow(writer, row, CellLines(content.totals, widths, columns));
    ++row;
    writer.Merge(row, 0, row, lastColumn, content.timeStamp, formats.Band());
    FitRow(writer, row, PlanWrappedLines(content.timeStamp, true, tableRoom));
    return writer.Error();
}

bool WriteWorkbook(const CPlanExport& content, const std::string& path, std::string& error) {
    CAtomicFileWriter file(path);
    std::string reason;
    if (!file.Open(reason)) {
        error = ExcelFailure(static_cast<unsigned>(file.ErrorNumber()), reason);
        return false;
    }
    lxw_workbook* workbook = workbook_new(file.TemporaryPath().c_str());
    if (workbook == nullptr) {
        error = ExcelFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return false;
    }
    const lxw_error written = WriteSheet(workbook, content);
    if (written != LXW_NO_ERROR) {
        lxw_workbook_free(workbook);
        error = ExcelFailure(written);
        return false;
    }
    // Closing writes the file and frees the workbook, whatever the outcome.
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        error = ExcelFailure(closed);
        return false;
    }
    if (!file.Commit(reason)) {
        error = ExcelFailure(static_cast<unsigned>(file.ErrorNumber()), reason);
        return false;
    }
    return true;
}

} // namespace

} // namespace strikeline

extern "C" __attribute__((visibility("default"))) bool
StrikelineWritePlanXlsx(const strikeline::CPlanExport* content, const char* path,
                        std::string* error) {
    return strikeline::WriteWorkbook(*content, path, *error);
}
