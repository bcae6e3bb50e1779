// strikeline-screenshots --out DIR [--data DIR] [--wait-seconds N]
// Starts the program on the data folder (its own settings in a temporary folder, so the
// user's stay untouched), waits until the downloader has brought the newest data, and
// saves pictures of its windows into DIR. The README's pictures come from here, so they
// always show the program as it is.

#include "app/views/MainFrame.h"
#include "app/views/TesseraApp.h"
#include "app/views/UserMessages.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <cstdio>

using namespace strikeline;

namespace {

bool Save(QWidget& window, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "strikeline-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Strikeline"));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"out", "Folder for the pictures.", "dir"});
    parser.addOption({"data", "The program's data folder (default: a new empty one).", "dir"});
    parser.addOption({"wait-seconds", "How long to wait for the data.", "n", "30"});
    parser.process(application);
    if (!parser.isSet("out")) {
        parser.showHelp(2);
    }
    const QDir out(parser.value("out"));
    QDir().mkpath(out.path());

    QTemporaryDir scratch;
    CStartOptions options;
    options.dataFolder =
        (parser.isSet("data") ? parser.value("data") : scratch.filePath("data")).toStdString();
    options.settingsPath = scratch.filePath("settings.reg").toStdString();
    options.instanceName = scratch.filePath("instance");
    options.showMaximized = false;
    // A message box would wait for a click that never comes: print it instead.
    CUserMessages::SetObserver([](const CUserMessage& message) {
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
        return QMessageBox::Ok;
    });

    CTesseraApp app(options);
    if (!app.InitInstance()) {
        return 1;
    }
    CMainFrame& frame = *app.MainFrame();
    frame.resize(1280, 800);
    QElapsedTimer waited;
    waited.start();
    const qint64 limit = parser.value("wait-seconds").toLongLong() * 1000;
    while (waited.elapsed() < limit &&
           (frame.DataPane()->text().contains("unknown") || !app.DownloaderStatus().empty())) {
        QApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    frame.UpdateStatusBar();
    QApplication::processEvents();
    const bool saved = Save(frame, out, QStringLiteral("main-window.png"));
    frame.close();
    return app.ExitInstance(saved ? 0 : 1);
}
