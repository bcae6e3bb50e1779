#include "gui/app/ProgramIcon.h"

#include <QDirIterator>

namespace strikeline {

namespace {

// Desktops find the installed icon under the program's id; the built-in sizes sit under
// the same name.
const QString kIconName = QStringLiteral("au.com.varnel.Strikeline");

QIcon LoadProgramIcon() {
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {kIconName + QStringLiteral(".png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext()) {
        icon.addFile(sizes.next());
    }
    return icon.isNull() ? QIcon::fromTheme(kIconName) : icon;
}

} // namespace

QIcon ProgramIcon() {
    static const QIcon icon = LoadProgramIcon();
    return icon;
}

} // namespace strikeline
