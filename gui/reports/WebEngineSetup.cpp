#include "gui/reports/WebEngineSetup.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <unistd.h>

namespace strikeline {

void PrepareWebEngine() {
    // A normal user keeps the sandbox: only root has to do without it.
    if (::geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace strikeline
