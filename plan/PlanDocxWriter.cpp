#include "plan/PlanDocxWriter.h"

#include "plan/PlanOfficeModule.h"
#include "platform/ModuleLoader.h"

namespace strikeline {

bool WritePlanDocx(const CPlanExport& content, const std::string& path, std::string& error) {
    std::string reason;
    PlanOfficeWriter* const write =
        FindModuleFunction<PlanOfficeWriter>(kOfficeModule, kWritePlanDocxEntry, reason);
    if (write == nullptr) {
        error =
            "Unable to create Word file (" + reason + ")\n\nPlease try exporting to HTML format.";
        return false;
    }
    return write(&content, path.c_str(), &error);
}

} // namespace strikeline
