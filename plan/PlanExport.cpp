#include "plan/PlanExport.h"

#include "plan/PlanAnalyticsCells.h"
#include "plan/PlanColumns.h"
#include "plan/PlanFigures.h"
#include "platform/AtomicFileWriter.h"

namespace strikeline {

CPlanExport BuildPlanExport(const CTradingPlan& plan, FileTime generated,
                            const CPlanExportAnalytics* analytics) {
    CPlanExport content;
    content.analytics = analytics != nullptr;
    const std::span<const CPlanExportColumn> columns = content.Columns();
    const std::vector<const CTradingPlanEntry*> order = plan.DisplayOrder();
    const CTradingPlanEntry* previous = nullptr;
    for (const CTradingPlanEntry* entry : order) {
        if (OpensCompanyGroup(previous, *entry)) {
            CPlanExportRow heading;
            heading.isCompany = true;
            heading.company = entry->m_CompanyID;
            content.rows.push_back(std::move(heading));
        }
        previous = entry;
        CPlanExportRow row;
        CPlanAnalyticsCells cells;
        if (analytics != nullptr && analytics->market) {
            cells = PlanAnalyticsCells(*entry, *analytics->market, analytics->settings);
        }
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const CPlanExportColumn& column = columns[i];
            if (column.ShowsIn(PlanOutputAnalytics)) {
                row.texts[i] = cells.Text(column.id);
                row.figures[i] = cells.Figure(column.id);
            } else {
                row.texts[i] = PlanCellText(*entry, column.key);
                row.figures[i] = PlanCellFigure(*entry, column.key);
            }
            if (column.id == PlanColumnId::DividendDate) {
                row.dates[i] = entry->m_DividendsDate;
            }
            row.colours[i] = entry->CellColour(column.key);
        }
        content.rows.push_back(std::move(row));
    }
    const CPlanTotals totals = ComputePlanTotals(order);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        content.totals[i] = PlanTotalText(totals, columns[i].key);
        content.totalFigures[i] = PlanTotalFigure(totals, columns[i].key);
    }
    content.generatedAt = FormatFileTime(generated, TimeZoneMode::Local, FileTimeStyle::DateTime);
    content.timeStamp = PlanTimeStampText(generated);
    return content;
}

std::string UnableToCreateFileMessage(const std::string& path, const std::string& reason) {
    return "Unable to create file " + path + "\n\n" + reason;
}

std::string WriteErrorMessage(const std::string& path) {
    return "Error when writting to file " + path;
}

bool WritePlanExportFile(const std::string& path, std::string_view contents, std::string& error) {
    CAtomicFileWriter file(path);
    std::string reason;
    if (!file.Open(reason)) {
        error = UnableToCreateFileMessage(path, reason);
        return false;
    }
    if (!file.Write(contents, reason) || !file.Commit(reason)) {
        error = WriteErrorMessage(path);
        return false;
    }
    return true;
}

} // namespace strikeline
