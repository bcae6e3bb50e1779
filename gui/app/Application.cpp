#include "gui/app/Application.h"

#include "gui/app/CommandIds.h"
#include "gui/app/DesktopColourScheme.h"
#include "gui/app/MainFrame.h"
#include "gui/app/NavigationCentreView.h"
#include "gui/app/NotificationsDlg.h"
#include "gui/app/SingleInstance.h"
#include "gui/journal/JournalViews.h"
#include "gui/plan/TradingPlanViews.h"
#include "gui/reports/ReportSettingsViews.h"
#include "gui/reports/ReportView.h"
#include "gui/reports/ReportViews.h"
#include "gui/reports/ShortListViews.h"
#include "gui/reports/TrendChartCommand.h"
#include "gui/settings/ColourSchemeCommand.h"
#include "marketdata/Downloader.h"
#include "marketdata/MarketDataLoaders.h"
#include "plan/PlanMail.h"
#include "platform/UserFolders.h"
#include "reports/ReportSettings.h"
#include "session/ApplicationState.h"
#include "session/SettingsRecords.h"
#include "session/UserDatabases.h"
#include "storage/RegistryStorage.h"

#include <QApplication>
#include <QScreen>
#include <QStatusBar>
#include <clocale>
#include <iostream>
#include <sys/stat.h>
#include <system_error>
#include <thread>

namespace strikeline {

namespace {

// The status bar follows the downloader between its own notices too (the data date
// changes with the hour).
constexpr int kStatusRefreshMs = 1000;
// The plan's coming dates wait until the program is up, then are looked at hourly: the
// day's first look tells what falls due that morning.
constexpr int kFirstPlanNoticeMs = 5000;
constexpr int kPlanNoticeMs = 60 * 60 * 1000;
// How long the data folder must stay unchanged before new files in it are read: a fetch
// installs its five files one after another.
constexpr int kDataFolderQuietMs = 1500;

struct CDataFile {
    MarketPart part;
    std::string_view name;
};
constexpr CDataFile kDataFiles[] = {{MarketPart::Calls, kCallFileName},
                                    {MarketPart::Puts, kPutFileName},
                                    {MarketPart::Dividends, kDividendsFileName},
                                    {MarketPart::CompanyNames, kCompanyNamesFileName},
                                    {MarketPart::Top20, kTop20FileName}};

std::string_view FileNameOf(MarketPart part) {
    for (const CDataFile& file : kDataFiles) {
        if (file.part == part) {
            return file.name;
        }
    }
    return {};
}

// What tells one copy of a file from another: a file replaced by renaming has another
// inode, one rewritten in place another time or size. A missing file has none.
std::tuple<std::int64_t, std::int64_t, std::uint64_t> FileStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {-1, 0, 0};
    }
    return {static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            static_cast<std::uint64_t>(info.st_ino)};
}

CMarketFileLoad LoadDataFile(MarketPart part, const std::string& folder, CMarketData& market) {
    switch (part) {
    case MarketPart::Calls:
        return LoadOptionFile(true, folder, market);
    case MarketPart::Puts:
        return LoadOptionFile(false, folder, market);
    case MarketPart::Dividends:
        return LoadDividendsFile(folder, market);
    case MarketPart::CompanyNames:
        return LoadCompanyNamesFile(folder, market);
    case MarketPart::Top20:
        break;
    }
    return LoadTop20File(folder, market);
}

void ShowProblems(CUserMessenger& messages, const std::vector<CUserFileProblem>& problems) {
    for (const CUserFileProblem& problem : problems) {
        messages.Show(problem.message, MessageKind::Plain);
    }
}

// Settings\Notifications sits beside the other records of the settings file.
std::unique_ptr<CStructuredStorage> NotificationRecord(CRegistryFile& registry, bool create) {
    CRegistryStorage settings;
    const std::string root = std::string(kRegistryRoot) + "\\Settings";
    if (!(create ? settings.CreateRoot(registry.CurrentUser(), root)
                 : settings.OpenRoot(registry.CurrentUser(), root))) {
        return nullptr;
    }
    return create ? settings.CreateChild(kNotificationSettingsKey)
                  : settings.OpenChild(kNotificationSettingsKey);
}

CSettingsRecords Records(CSession& session, CDataSources& sources) {
    return {&session.State(), session.ReportSettings(ReportKind::Call),
            session.ReportSettings(ReportKind::Put), sources, &session.AnalyticsSettings()};
}

} // namespace

CStartOptions CStartOptions::Defaults() {
    return {DataFolder(), SettingsFilePath(), CSingleInstance::DefaultName(), true};
}

CApplication::CApplication(CStartOptions options)
    : m_Options(std::move(options)),
      m_Session(m_Options.dataFolder,
                m_Options.messenger != nullptr ? m_Options.messenger : &m_Messages),
      m_AnalyticsWorker(m_Session) {
    connect(&m_StatusTimer, &QTimer::timeout, this, [this] {
        if (m_MainFrame) {
            m_MainFrame->UpdateStatusBar();
        }
    });
    m_DataFolderQuiet.setSingleShot(true);
    m_DataFolderQuiet.setInterval(kDataFolderQuietMs);
    connect(&m_DataFolderQuiet, &QTimer::timeout, this, &CApplication::LoadChangedDataFiles);
    // Every part published, from a fetch or from the folder, is the file now in the folder.
    connect(&m_DownloaderObserver, &CQtDownloaderObserver::MarketPublished, this,
            &CApplication::NoteDataFile);
}

CApplication::~CApplication() {
    StopDownloader();
    CNavigationCentreView::DiscardStartPicture();
}

bool CApplication::InitInstance() {
    // Month names in the downloaded data's labels follow the user's locale; numbers do not.
    std::setlocale(LC_TIME, "");

    m_SingleInstance = std::make_unique<CSingleInstance>(m_Options.instanceName);
    if (!m_SingleInstance->Claim(m_Options.startRequest)) {
        m_RaisedOtherCopy = true;
        return false;
    }

    MakeFolders(m_Options.dataFolder); // a failure shows when a file is written there
    std::string message;
    if (!ReadSettings(m_Registry, m_Options.settingsPath, Records(m_Session, m_DataSources),
                      message)) {
        m_Session.Messages().Show(message, MessageKind::Plain);
    }
    if (auto record = NotificationRecord(m_Registry, false)) {
        m_NotificationSettings.Load(*record);
    }
    ShowProblems(m_Session.Messages(), LoadUserDatabases(m_Session));

    // The welcome page's picture is drawn meanwhile, while the main window is made.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        CNavigationCentreView::PrepareStartPicture(screen->devicePixelRatio());
    }
    m_MainFrame = new CMainFrame(*this);
    m_MainFrame->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_SingleInstance.get(), &CSingleInstance::ActivationRequested, m_MainFrame,
            &CMainFrame::BringToFront);
    connect(m_SingleInstance.get(), &CSingleInstance::StartRequested, this,
            &CApplication::DoStartRequest);
    m_Notifier = std::make_unique<CDesktopNotifier>(m_Session, m_NotificationSettings);
    connect(&m_DownloaderObserver, &CQtDownloaderObserver::FileFetched, m_Notifier.get(),
            &CDesktopNotifier::NoteFetched);
    connect(&m_AnalyticsWorker, &CAnalyticsWorker::Ready, m_Notifier.get(),
            &CDesktopNotifier::CheckEarlyExercise);
    connect(m_Notifier.get(), &CDesktopNotifier::WindowRequested, m_MainFrame,
            [frame = m_MainFrame](NoticeWindow window) {
                frame->BringToFront();
                frame->OnCommand(window == NoticeWindow::CallReport  ? ID_YIELD_CALL_REPORTS
                                 : window == NoticeWindow::PutReport ? ID_YIELD_PUT_REPORTS
                                                                     : ID_TRADING_PLAN_OPEN);
            });
    connect(&m_PlanNoticeTimer, &QTimer::timeout, m_Notifier.get(), [this] {
        m_PlanNoticeTimer.start(kPlanNoticeMs);
        m_Notifier->CheckPlan();
    });
    m_MainFrame->RegisterCommand(ID_EDIT_NOTIFICATIONS, [this] {
        CNotificationsDlg dialog(m_NotificationSettings, m_MainFrame);
        if (dialog.exec() == QDialog::Accepted) {
            SaveSettings();
        }
    });
    // A new market refreshes the report or the view that shows its part; new company names
    // or a new Top 20 wait for the next refresh. New prices or dividends renew the analytics,
    // which fill in the windows' analytics columns when ready.
    connect(&m_DownloaderObserver, &CQtDownloaderObserver::MarketPublished, &m_AnalyticsWorker,
            [this](MarketPart part) {
                if (part == MarketPart::Calls || part == MarketPart::Puts ||
                    part == MarketPart::Dividends) {
                    RecomputeAnalytics();
                }
            });
    connect(&m_DownloaderObserver, &CQtDownloaderObserver::MarketPublished, m_MainFrame,
            [frame = m_MainFrame](MarketPart part) {
                switch (part) {
                case MarketPart::Calls:
                    frame->RefreshView(RefreshKind::CallReport);
                    break;
                case MarketPart::Puts:
                    frame->RefreshView(RefreshKind::PutReport);
                    break;
                case MarketPart::Dividends:
                    frame->RefreshView(RefreshKind::Dividends);
                    break;
                case MarketPart::CompanyNames:
                case MarketPart::Top20:
                    break;
                }
            });
    connect(&m_DownloaderObserver, &CQtDownloaderObserver::StatusTextChanged, m_MainFrame,
            &CMainFrame::UpdateStatusBar);
    connect(&m_DownloaderObserver, &CQtDownloaderObserver::LoadProblem, m_MainFrame,
            [this](const QString& text) {
                m_Session.Messages().Show(text.toStdString(), MessageKind::Warning);
            });
    m_MainFrame->RegisterView(ViewKind::NavigationCentre,
                              {QStringLiteral("Welcome to %1").arg(QApplication::applicationName()),
                               false,
                               false,
                               {},
                               [frame = m_MainFrame] {
                                   auto* view = new CNavigationCentreView;
                                   // Posted, as a menu command is: the click ends first.
                                   connect(view, &CNavigationCentreView::commandRequested, frame,
                                           &CMainFrame::OnCommand, Qt::QueuedConnection);
                                   return view;
                               }});
    RegisterTrendChartCommand(*m_MainFrame, [this] { return m_DataSources.SiteUrl(); });
    RegisterReportSettingsViews(*m_MainFrame);
    RegisterShortListView(*m_MainFrame, [this](const std::string& code) {
        OpenTrendChart(*m_MainFrame, m_DataSources.SiteUrl(), code);
    });
    RegisterReportViews(*m_MainFrame, [this](CReportView& view) {
        view.SetTrendChartHook([this](const std::string& code) {
            OpenTrendChart(*m_MainFrame, m_DataSources.SiteUrl(), code);
        });
        ConnectReportToShortList(*m_MainFrame, view);
    });
    // A closed plan row that leaves no row of its series clears the series' Short List box;
    // undoing the close ticks it again.
    RegisterTradingPlanView(
        *m_MainFrame, {[this](const std::string& company, const std::string& series, bool isCall) {
                           UntickShortListSeries(*m_MainFrame, company, series,
                                                 isCall ? ReportKind::Call : ReportKind::Put);
                       },
                       {},
                       [this](const std::string& company, const std::string& series, bool isCall) {
                           TickShortListSeries(*m_MainFrame, company, series,
                                               isCall ? ReportKind::Call : ReportKind::Put);
                       },
                       &m_AnalyticsWorker});
    RegisterJournalViews(*m_MainFrame);
    RegisterColourSchemeCommand(*m_MainFrame, [this] { SaveSettings(); });
    new CDesktopColourScheme(*m_MainFrame); // owned by the frame
    if (m_Options.showMaximized) {
        m_MainFrame->showMaximized();
    } else {
        m_MainFrame->show();
    }
    m_MainFrame->GetView(ViewKind::NavigationCentre, true, true);

    if (!StartDownloader(true)) {
        return false;
    }
    WatchDataFolder();
    m_StatusTimer.start(kStatusRefreshMs);
    m_PlanNoticeTimer.start(kFirstPlanNoticeMs);
    m_MainFrame->UpdateStatusBar();
    QApplication::processEvents();
    DoStartRequest(m_Options.startRequest);
    return true;
}

bool CApplication::StartDownloader(bool paintMeanwhile) {
    m_Downloader = std::make_unique<CDownloader>(
        CDownloaderConfig{m_Options.dataFolder, m_DataSources.FeedUrl(), m_DataSources.SiteUrl(),
                          m_DataSources.Limits()},
        m_Session.Market(), m_Session.State(), m_Clock, m_DownloaderObserver);
    std::string error;
    bool started = false;
    // The files read now are worked out together, once all are in, rather than one run
    // started and cancelled for each.
    m_HoldAnalytics = true;
    std::thread reader;
    if (paintMeanwhile) {
        // The data files on disk are read on a thread of their own while the main window
        // paints its first frame. What they publish comes through the event loop, as what
        // the downloader fetches does, and reaches the windows before start-up goes on;
        // the user's clicks wait until then.
        try {
            reader =
                std::thread([this, &started, &error] { started = m_Downloader->Start(error); });
        } catch (const std::system_error&) {
            // No thread to spare: the files are read here.
        }
    }
    if (reader.joinable()) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        reader.join();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        started = m_Downloader->Start(error);
    }
    m_HoldAnalytics = false;
    if (m_AnalyticsDue) {
        m_AnalyticsDue = false;
        m_AnalyticsWorker.Recompute();
    }
    if (!started) {
        m_Session.Messages().Show("Unable to initialize data downloader.\n\n" + error,
                                  MessageKind::Warning);
        m_Downloader.reset();
        return false;
    }
    return true;
}

void CApplication::RecomputeAnalytics() {
    if (m_HoldAnalytics) {
        m_AnalyticsDue = true;
        return;
    }
    m_AnalyticsWorker.Recompute();
}

void CApplication::NoteDataFile(MarketPart part) {
    m_DataFiles[part] =
        FileStamp(PathInFolder(m_Options.dataFolder, std::string(FileNameOf(part))));
}

void CApplication::WatchDataFolder() {
    // Files the folder held without a market part (none, or one that did not read) count
    // as read too: only a newer copy is news.
    for (const CDataFile& file : kDataFiles) {
        if (m_DataFiles.count(file.part) == 0) {
            NoteDataFile(file.part);
        }
    }
    if (m_Options.dataFolder.empty()) {
        return;
    }
    // A file installed by renaming changes the folder; one rewritten in place only itself.
    m_DataFolderWatcher.addPath(QString::fromStdString(m_Options.dataFolder));
    LoadChangedDataFiles();
    const auto changed = [this] {
        m_DataFolderQuiet.start();
    };
    connect(&m_DataFolderWatcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(&m_DataFolderWatcher, &QFileSystemWatcher::fileChanged, this, changed);
}

void CApplication::LoadChangedDataFiles() {
    // The prices and dividends read together are analysed once, as at start-up.
    const bool held = m_HoldAnalytics;
    m_HoldAnalytics = true;
    for (const CDataFile& file : kDataFiles) {
        const std::string path = PathInFolder(m_Options.dataFolder, std::string(file.name));
        const auto stamp = FileStamp(path);
        // Watched again each time: a file replaced by renaming is no longer the one watched.
        if (std::get<0>(stamp) >= 0) {
            m_DataFolderWatcher.addPath(QString::fromStdString(path));
        }
        if (std::get<0>(stamp) < 0 || m_DataFiles[file.part] == stamp) {
            continue;
        }
        const CMarketFileLoad load =
            LoadDataFile(file.part, m_Options.dataFolder, m_Session.Market());
        m_DataFiles[file.part] = stamp;
        if (load.problem) {
            m_DownloaderObserver.OnLoadProblem(*load.problem);
        }
        if (load.published) {
            m_DownloaderObserver.OnMarketPublished(file.part);
        }
    }
    m_HoldAnalytics = held;
    if (!held && m_AnalyticsDue) {
        m_AnalyticsDue = false;
        m_AnalyticsWorker.Recompute();
    }
}

void CApplication::DoStartRequest(StartRequest request) {
    if (!m_MainFrame) {
        return;
    }
    switch (request) {
    case StartRequest::OpenCallReport:
        m_MainFrame->OnCommand(ID_YIELD_CALL_REPORTS);
        break;
    case StartRequest::OpenTradingPlan:
        m_MainFrame->OnCommand(ID_TRADING_PLAN_OPEN);
        break;
    case StartRequest::FetchNow:
        m_MainFrame->OnCommand(ID_FILE_DOWNLOAD);
        break;
    case StartRequest::None:
        break;
    }
}

void CApplication::SaveSettings() {
    if (auto record = NotificationRecord(m_Registry, true)) {
        m_NotificationSettings.Save(*record);
    }
    std::string error;
    if (!WriteSettings(m_Registry, m_Options.settingsPath, Records(m_Session, m_DataSources),
                       error)) {
        // At exit the window is gone; the reason still reaches whoever started the program.
        std::cerr << QApplication::applicationName().toStdString() << ": " << error << '\n';
    }
}

int CApplication::ExitInstance(int exitCode) {
    m_StatusTimer.stop();
    m_PlanNoticeTimer.stop();
    m_DataFolderQuiet.stop();
    m_DataFolderWatcher.disconnect(this);
    StopDownloader();
    ShowProblems(m_Session.Messages(),
                 SaveUserDatabases(m_Session, [this](const std::string& question) {
                     return m_Session.Messages().Ask(question);
                 }));
    SaveSettings();
    m_Session.MailAttachments().RemoveAll();
    return exitCode;
}

std::string CApplication::DownloaderStatus() const {
    return m_Downloader ? m_Downloader->GetStatusText() : std::string();
}

void CApplication::RequestFullDownload() {
    if (m_Downloader) {
        m_Downloader->RequestFullDownload();
    }
}

void CApplication::StopDownloader() {
    if (m_Downloader) {
        m_Downloader->Stop();
    }
}

void CApplication::DataSourcesChanged() {
    // The downloader reads its addresses when it starts: start a new one on the new ones.
    if (!m_Downloader) {
        return;
    }
    m_Downloader->Stop();
    m_Downloader.reset();
    StartDownloader();
}

} // namespace strikeline
