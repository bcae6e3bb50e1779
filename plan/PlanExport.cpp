#include "plan/PlanExport.h"

#include "plan/PlanColumns.h"
#include "plan/PlanFigures.h"
#include "platform/AtomicFileWriter.h"

namespace strikeline {

CPlanExport BuildPlanExport(const CTradingPlan& plan, FileTime generated) {
    CPlanExport content;
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
        for (std::size_t i = 0; i < kPlanExportColumnCount; ++i) {
            row.texts[i] = PlanCellText(*entry, PlanExportColumns[i].key);
            row.figures[i] = PlanCellFigure(*entry, PlanExportColumns[i].key);
            if (PlanExportColumns[i].id == PlanColumnId::DividendDate) {
                row.dates[i] = entry->m_DividendsDate;
            }
            row.colours[i] = entry->CellColour(PlanExportColumns[i].key);
        }
        content.rows.push_back(std::move(row));
    }
    const CPlanTotals totals = ComputePlanTotals(order);
    for (std::size_t i = 0; i < kPlanExportColumnCount; ++i) {
        content.totals[i] = PlanTotalText(totals, PlanExportColumns[i].key);
        content.totalFigures[i] = PlanTotalFigure(totals, PlanExportColumns[i].key);
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
