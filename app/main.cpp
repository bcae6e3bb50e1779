// The desktop program: brings the shared objects up, shows the main window, and writes the
// settings back when the window closes.

#include "app/ApplicationState.h"
#include "app/SettingsRecords.h"
#include "platform/UserFolders.h"
#include "reports/ReportSettings.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMessageBox>
#include <iostream>

namespace {

constexpr const char* kApplicationName = "Strikeline";

void ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kApplicationName, QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace strikeline;
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationName);

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
        ShowMessage(message);
    }
    SetApplicationState(std::move(state));

    QMainWindow mainWindow;
    mainWindow.setWindowTitle(kApplicationName);
    mainWindow.setCentralWidget(new QMdiArea(&mainWindow));
    mainWindow.showMaximized();
    const int exitCode = QApplication::exec();

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
