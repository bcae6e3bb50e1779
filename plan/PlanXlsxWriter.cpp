#include "plan/PlanXlsxWriter.h"

#include "plan/PlanOfficeCells.h"
#include "platform/AtomicFileWriter.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <xlsxwriter.h>

namespace strikeline {

namespace {

constexpr lxw_col_t kLastColumn = static_cast<lxw_col_t>(kPlanExportColumnCount - 1);
// The totals row stops before the last column (BEP has no total).
constexpr std::size_t kTotalsCells = kPlanExportColumnCount - 1;
// The grey of the heading cells (the default palette's colour 48).
constexpr lxw_color_t kHeadingFill = 0x969696;

// Row 1 of the headings; an empty text continues the group heading to its left.
constexpr std::array<const char*, kPlanExportColumnCount> kHeadings = {"Type",
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
                                                                       "Not exercised",
                                                                       "",
                                                                       "Exercised",
                                                                       "",
                                                                       "",
                                                                       "Dividends",
                                                                       "",
                                                                       "BEP"};
// Row 2: the sub-headings of the three groups, from column L.
constexpr lxw_col_t kFirstGroupColumn = 11;
constexpr std::array<const char*, 7> kSubHeadings = {
    "Net Profit", "% Return", "Exercise Brokerage", "Net Profit", "% Return", "Value", "Date"};
struct CGroupHeading {
    lxw_col_t first;
    lxw_col_t last;
};
constexpr std::array<CGroupHeading, 3> kGroupHeadings = {{{11, 12}, {13, 15}, {16, 17}}};

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

// The workbook's formats, one per look, made when first needed (the workbook owns them).
class CPlanFormats {
public:
    explicit CPlanFormats(lxw_workbook* workbook) : m_Workbook(workbook) {}

    lxw_format* Heading() {
        if (m_Heading == nullptr) {
            m_Heading = Make(LXW_ALIGN_CENTER, kHeadingFill, true);
        }
        return m_Heading;
    }
    // Company headings, "Totals" and the time stamp.
    lxw_format* Band() {
        if (m_Band == nullptr) {
            m_Band = Make(LXW_ALIGN_CENTER, PlanOfficeCellColour(0), true);
        }
        return m_Band;
    }
    lxw_format* Cell(PlanValueKind kind, std::int32_t colour) {
        const std::pair<std::uint8_t, lxw_color_t> look{Alignment(kind),
                                                        PlanOfficeCellColour(colour)};
        lxw_format*& format = m_Cells[look];
        if (format == nullptr) {
            format = Make(look.first, look.second, false);
        }
        return format;
    }

private:
    lxw_format* Make(std::uint8_t alignment, lxw_color_t fill, bool bold) {
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
        return format;
    }

    lxw_workbook* m_Workbook;
    lxw_format* m_Heading = nullptr;
    lxw_format* m_Band = nullptr;
    std::map<std::pair<std::uint8_t, lxw_color_t>, lxw_format*> m_Cells;
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

lxw_error WriteSheet(lxw_workbook* workbook, const CPlanExport& content) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    if (sheet == nullptr) {
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    }
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 1);

    CPlanFormats formats(workbook);
    CSheetWriter writer(sheet);
    for (lxw_col_t column = 0; column < kPlanExportColumnCount; ++column) {
        if (column < kFirstGroupColumn || column == kLastColumn) {
            writer.Merge(0, column, 1, column, kHeadings[column], formats.Heading());
        } else {
            writer.Write(1, column, kSubHeadings[column - kFirstGroupColumn], formats.Heading());
        }
    }
    for (const CGroupHeading& group : kGroupHeadings) {
        writer.Merge(0, group.first, 0, group.last, kHeadings[group.first], formats.Heading());
    }

    lxw_row_t row = 2;
    for (const CPlanExportRow& entry : content.rows) {
        if (entry.isCompany) {
            writer.Merge(row, 0, row, kLastColumn, entry.company, formats.Band());
        } else {
            for (lxw_col_t column = 0; column < kPlanExportColumnCount; ++column) {
                writer.Write(row, column, entry.texts[column],
                             formats.Cell(PlanExportColumns[column].kind, entry.colours[column]));
            }
        }
        ++row;
    }
    writer.Merge(row, 0, row, kLastColumn, "Totals", formats.Band());
    ++row;
    for (lxw_col_t column = 0; column < kTotalsCells; ++column) {
        writer.Write(row, column, content.totals[column],
                     formats.Cell(PlanExportColumns[column].kind, 0));
    }
    ++row;
    writer.Merge(row, 0, row, kLastColumn, content.timeStamp, formats.Band());
    if (writer.Error() != LXW_NO_ERROR) {
        return writer.Error();
    }
    // The figures are written as the texts the plan shows; without this, the sheet would
    // flag every count ("1000") as a number stored as text.
    const std::string written = "A1:S" + std::to_string(row + 1);
    return worksheet_ignore_errors(sheet, LXW_IGNORE_NUMBER_STORED_AS_TEXT, written.c_str());
}

} // namespace

bool WritePlanXlsx(const CPlanExport& content, const std::string& path, std::string& error) {
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

} // namespace strikeline
