#include "gui/reports/WebPageModule.h"

#include "platform/ModuleLoader.h"

#include <string>

namespace strikeline {

namespace {

using CreatePage = QWidget*(QWidget*);

constexpr const char* kModuleName = "strikeline-web-page";
constexpr const char* kCreateEntry = "StrikelineCreateWebPage";

} // namespace

QWidget* CreateWebPage(QWidget* parent, QString& error) {
    // Found where the program's other modules are; the engine's own threads outlive any
    // window, and the module stays open to the end.
    std::string reason;
    CreatePage* const create = FindModuleFunction<CreatePage>(kModuleName, kCreateEntry, reason);
    if (create == nullptr) {
        error = QString::fromStdString(reason);
        return nullptr;
    }
    return create(parent);
}

} // namespace strikeline
