// The desktop program: brings the shared objects up, shows the main window, keeps the
// market data current while it runs, and writes the settings back when the window closes.

#include "app/ApplicationState.h"
#include "app/QtNotifier.h"
#include "app/SettingsRecords.h"
#include "marketdata/Downloader.h"
#include "platform/UserFolders.h"
#include "reports/ReportSettings.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <clocale>
#include <iostream>

namespace {

constexpr const char* kApplicationName = "Strikeline";

void ShowMessage(const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon) {
    QMessageBox box(icon, kApplicationName, text, QMessageBox::Ok);
    box.exec();
}

// The message pane shows the downloader's status, the data pane the newest data held.
void RefreshStatusBar(QMainWindow& window, QLabel& dataPane,
                      const strikeline::CDownloader& downloader) {
    const std::string status = downloader.GetStatusText();
    window.statusBar()->showMessage(status.empty() ? QStringLiteral("F1 for Help")
                                                   : QString::fromStdString(status));
    std::string latest;
    if (strikeline::CApplicationState* state = strikeline::GetApplicationState()) {
        const strikeline::CApplicationStateLock lock(*state);
        latest = state->LastDataDateStr();
    }
    dataPane.setText(
        QStringLiteral(" Latest data received: %1 ")
            .arg(latest.empty() ? QStringLiteral("unknown") : QString::fromStdString(latest)));
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace strikeline;
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationName);
    // Month names in the downloaded data's labels follow the user's locale; numbers do not.
    std::setlocale(LC_TIME, "");

    DataFolder(); // created on demand; a failure shows when a file is written there
    const std::string settingsPath = SettingsFilePath();
    CRegistryFile registry;
    auto state = std::make_unique<CApplicationState>();
    CDataSources dataSources;
    std::string message;
    if (!ReadSettings(registry, settingsPath,
                      {state.get(), GetReportSettings(ReportKind::Call),
                       GetReportSettings(ReportKind::Put), dataSources},
                      message)) {
        ShowMessage(QString::fromStdString(message));
    }
    SetApplicationState(std::move(state));

    QMainWindow mainWindow;
    mainWindow.setWindowTitle(kApplicationName);
    mainWindow.setCentralWidget(new QMdiArea(&mainWindow));
    auto* dataPane = new QLabel(&mainWindow);
    mainWindow.statusBar()->addPermanentWidget(dataPane);
    mainWindow.showMaximized();
    QApplication::processEvents();

    CQtNotifier notifier;
    QObject::connect(&notifier, &CQtNotifier::MessageRequested, &mainWindow,
                     [](const QString& text, int icon) {
                         ShowMessage(text, icon == static_cast<int>(MessageIcon::Exclamation)
                                               ? QMessageBox::Warning
                                               : QMessageBox::NoIcon);
                     });
    CSystemClock clock;
    CDownloader downloader(
        {DataFolder(), dataSources.FeedUrl(), dataSources.SiteUrl()},
        {GetCallCompanies(), GetPutCompanies(), GetDividends(), GetCompanyNames(), GetTop20()},
        *GetApplicationState(), notifier, clock);
    if (std::string error; !downloader.Start(error)) {
        ShowMessage(QString::fromStdString("Unable to initialize data downloader.\n\n" + error),
                    QMessageBox::Warning);
        return 1;
    }
    QObject::connect(&notifier, &CQtNotifier::StatusTextChanged, &mainWindow,
                     [&] { RefreshStatusBar(mainWindow, *dataPane, downloader); });
    QTimer statusTimer;
    QObject::connect(&statusTimer, &QTimer::timeout, &mainWindow,
                     [&] { RefreshStatusBar(mainWindow, *dataPane, downloader); });
    statusTimer.start(1000);
    RefreshStatusBar(mainWindow, *dataPane, downloader);

    const int exitCode = QApplication::exec();
    // Nothing below may run while a download is under way.
    downloader.Stop();

    std::string error;
    const CSettingsRecords records{GetApplicationState(), GetReportSettings(ReportKind::Call),
                                   GetReportSettings(ReportKind::Put), dataSources};
    if (!WriteSettings(registry, settingsPath, records, error)) {
        // The window is gone; the reason still reaches whoever started the program.
        std::cerr << kApplicationName << ": " << error << '\n';
    }
    SetApplicationState(nullptr);
    DestroyReportSettings();
    return exitCode;
}
