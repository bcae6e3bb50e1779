// The desktop program.

#include "app/views/TesseraApp.h"
#include "reports/views/WebEngineSetup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    strikeline::PrepareWebEngine(); // before the application object, as the browser needs
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Strikeline"));
    strikeline::CTesseraApp app;
    // A copy that does not start writes nothing back: a second copy's defaults would
    // otherwise replace the settings of the copy that runs.
    if (!app.InitInstance()) {
        return 1;
    }
    return app.ExitInstance(QApplication::exec());
}
