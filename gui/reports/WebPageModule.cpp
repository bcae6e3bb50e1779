#include "gui/reports/WebPageModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QStringList>

namespace strikeline {

namespace {

using CreatePage = QWidget* (*)(QWidget*);

constexpr const char* kModuleName = "strikeline-web-page";

// Beside the installed program first, then where the build put it.
QStringList ModulePaths() {
    const QString name = QString::fromLatin1(kModuleName) + QStringLiteral(".so");
    return {QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral("../" STRIKELINE_PRIVATE_LIBDIR "/") + name),
            QStringLiteral(STRIKELINE_WEB_PAGE_BUILD_DIR "/") + name};
}

} // namespace

QWidget* CreateWebPage(QWidget* parent, QString& error) {
    static CreatePage create = nullptr;
    static QString loadError;
    if (create == nullptr && loadError.isEmpty()) {
        for (const QString& path : ModulePaths()) {
            if (!QFile::exists(path)) {
                continue;
            }
            QLibrary module(path);
            // The engine's own threads outlive any window: the module stays to the end.
            module.setLoadHints(QLibrary::PreventUnloadHint);
            create = reinterpret_cast<CreatePage>(module.resolve("StrikelineCreateWebPage"));
            if (create == nullptr) {
                loadError = module.errorString();
            }
            break;
        }
        if (create == nullptr && loadError.isEmpty()) {
            loadError = QStringLiteral("%1.so was not found.").arg(QLatin1String(kModuleName));
        }
    }
    if (create == nullptr) {
        error = loadError;
        return nullptr;
    }
    return create(parent);
}

} // namespace strikeline
