#include "plan/PlanXlsxWriter.h"

#include "plan/PlanOfficeModule.h"
#include "platform/ModuleLoader.h"

namespace strikeline {

bool WritePlanXlsx(const CPlanExport& content, const std::string& path, std::string& error) {
    std::string reason;
    PlanOfficeWriter* const write =
        FindModuleFunction<PlanOfficeWriter>(kOfficeModule, kWritePlanXlsxEntry, reason);
    if (write == nullptr) {
        error =
            "Unable to create Excel file (" + reason + ")\n\nPlease try exporting to CSV format.";
        return false;
    }
    return write(&content, path.c_str(), &error);
}

} // namespace strikeline
