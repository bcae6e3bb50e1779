#include "gui/app/MainFrame.h"

#include "gui/app/AboutDlg.h"
#include "gui/app/AnalyticsWorker.h"
#include "gui/app/ChildFrame.h"
#include "gui/app/CommandIds.h"
#include "gui/app/DataSourcesDlg.h"
#include "gui/app/MainFrameHost.h"
#include "gui/settings/AnalyticsSettingsDlg.h"
#include "marketdata/DataSources.h"
#include "plan/PlanCalendar.h"
#include "plan/TradingPlan.h"
#include "reports/ReportSettings.h"
#include "session/ApplicationState.h"
#include "session/Session.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>
#include <algorithm>

namespace strikeline {

namespace {

// The commands that open (or activate) one tool window.
const std::map<int, ViewKind> kViewCommands = {
    {ID_EDIT_CALL_SETTINGS, ViewKind::CallSettings},
    {ID_EDIT_PUT_SETTINGS, ViewKind::PutSettings},
    {ID_YIELD_CALL_REPORTS, ViewKind::CallReport},
    {ID_YIELD_PUT_REPORTS, ViewKind::PutReport},
    {ID_YIELD_DIVIDENDS, ViewKind::Dividends},
    {ID_SHORT_LIST_OPEN, ViewKind::ShortList},
    {ID_TRADING_PLAN_OPEN, ViewKind::TradingPlan},
    {ID_DIARY, ViewKind::Diary},
    {ID_TRADING_PLAN_CAPITAL, ViewKind::CapitalByMonth},
};

// The commands the active view answers.
constexpr int kViewTargetCommands[] = {
    ID_FILE_EXPORT_EXCEL, ID_FILE_EXPORT_EXCEL_MAIL, ID_FILE_EXPORT_CSV, ID_FILE_EXPORT_CSV_MAIL,
    ID_FILE_EXPORT_WORD,  ID_FILE_EXPORT_HTML,       ID_FILE_PRINT,      ID_EDIT_UNDO,
    ID_EDIT_REDO};

ViewKind ViewOf(RefreshKind kind) {
    switch (kind) {
    case RefreshKind::CallReport:
        return ViewKind::CallReport;
    case RefreshKind::PutReport:
        return ViewKind::PutReport;
    case RefreshKind::ShortList:
        return ViewKind::ShortList;
    case RefreshKind::Dividends:
        return ViewKind::Dividends;
    case RefreshKind::TradingPlan:
        break;
    }
    return ViewKind::TradingPlan;
}

// A tool window without a size of its own takes most of the area, as a document window
// does, rather than its view's small default; every one is moved back towards the top
// left when it would stick out of the area.
void FitIntoArea(QMdiSubWindow& frame, const QSize& area, QSize size) {
    if (size.isEmpty()) {
        constexpr double kShare = 0.85;
        size =
            QSize(static_cast<int>(area.width() * kShare), static_cast<int>(area.height() * kShare))
                .expandedTo(QSize(640, 420));
    }
    const QPoint place(std::max(0, std::min(frame.x(), area.width() - size.width())),
                       std::max(0, std::min(frame.y(), area.height() - size.height())));
    frame.setGeometry(QRect(place, size));
}

} // namespace

CMainFrame::CMainFrame(CMainFrameHost& host, QWidget* parent)
    : QMainWindow(parent), m_Host(host), m_MdiArea(new QMdiArea(this)),
      m_MessagePane(new QLabel(this)), m_DataPane(new QLabel(this)) {
    setWindowTitle(QApplication::applicationName());
    // Closing a window returns to the one used before it, not to the oldest one.
    m_MdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    m_MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_MdiArea);
    statusBar()->addWidget(m_MessagePane, 1);
    statusBar()->addPermanentWidget(m_DataPane);
    SetCalendarPathChooser({});
    BuildMenus();
    connect(m_MdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateCommandStates);
    connect(m_MdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateWindowList);
    connect(&m_Host.AnalyticsWorker(), &CAnalyticsWorker::Ready, this,
            &CMainFrame::UpdateAnalyticsColumns);
    UpdateStatusBar();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    // The area still announces activations while its windows go; this frame is no longer
    // whole enough to answer them.
    disconnect(m_MdiArea, nullptr, this, nullptr);
}

QAction* CMainFrame::AddCommand(QMenu* menu, const QString& caption, int command) {
    auto* action = new QAction(caption, this);
    connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    if (menu != nullptr) {
        menu->addAction(action);
    } else {
        addAction(action); // reachable by its shortcut only
    }
    m_Actions[command] = action;
    return action;
}

void CMainFrame::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(tr("&File"));
    AddCommand(file, tr("Download Call/Put Data"), ID_FILE_DOWNLOAD);
    file->addSeparator();
    AddCommand(file, tr("Export to Excel..."), ID_FILE_EXPORT_EXCEL);
    AddCommand(file, tr("Export to Excel and Send to Email..."), ID_FILE_EXPORT_EXCEL_MAIL);
    AddCommand(file, tr("Export to CSV..."), ID_FILE_EXPORT_CSV);
    AddCommand(file, tr("Export to CSV and Send to Email..."), ID_FILE_EXPORT_CSV_MAIL);
    AddCommand(file, tr("Export to Word..."), ID_FILE_EXPORT_WORD);
    AddCommand(file, tr("Export to HTML..."), ID_FILE_EXPORT_HTML);
    AddCommand(file, tr("Export Calendar..."), ID_FILE_EXPORT_CALENDAR);
    file->addSeparator();
    AddCommand(file, tr("Print..."), ID_FILE_PRINT)->setShortcut(QKeySequence::Print);
    file->addSeparator();
    AddCommand(file, tr("E&xit"), ID_APP_EXIT)->setShortcut(QKeySequence::Quit);

    QMenu* edit = bar->addMenu(tr("Edit"));
    AddCommand(edit, tr("&Undo"), ID_EDIT_UNDO)->setShortcuts(QKeySequence::Undo);
    // Ctrl+Shift+Z everywhere, beside the desktop's own redo keys (Ctrl+Y on some).
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z))) {
        redoKeys.prepend(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    }
    AddCommand(edit, tr("&Redo"), ID_EDIT_REDO)->setShortcuts(redoKeys);
    edit->addSeparator();
    AddCommand(edit, tr("Call Option Settings..."), ID_EDIT_CALL_SETTINGS);
    AddCommand(edit, tr("Put Option Settings..."), ID_EDIT_PUT_SETTINGS);
    edit->addSeparator();
    AddCommand(edit, tr("Colour Scheme..."), ID_EDIT_COLOUR_SCHEME);
    AddCommand(edit, tr("Data Sources..."), ID_EDIT_DATA_SOURCES);
    AddCommand(edit, tr("Analytics Settings..."), ID_EDIT_ANALYTICS_SETTINGS);
    AddCommand(edit, tr("Notifications..."), ID_EDIT_NOTIFICATIONS);
    edit->addSeparator();
    AddCommand(edit, tr("Display Call Leveraged Bar"), ID_EDIT_CALL_LEVERAGED_BAR)
        ->setCheckable(true);
    AddCommand(edit, tr("Display Put Leveraged Bar"), ID_EDIT_PUT_LEVERAGED_BAR)
        ->setCheckable(true);
    AddCommand(edit, tr("Clear Short List when Short List is closed"),
               ID_EDIT_CLEAR_SHORT_LIST_ON_CLOSE)
        ->setCheckable(true);

    QMenu* view = bar->addMenu(tr("&View"));
    AddCommand(view, tr("Analytics Columns"), ID_VIEW_ANALYTICS_COLUMNS)->setCheckable(true);
    AddCommand(view, tr("Price History Charts"), ID_VIEW_PRICE_HISTORY_CHARTS)->setCheckable(true);

    QMenu* yield = bar->addMenu(tr("Yield"));
    AddCommand(yield, tr("View Call Reports"), ID_YIELD_CALL_REPORTS);
    AddCommand(yield, tr("View Put Reports"), ID_YIELD_PUT_REPORTS);
    AddCommand(yield, tr("Dividends"), ID_YIELD_DIVIDENDS);

    QMenu* trend = bar->addMenu(tr("Trend"));
    AddCommand(trend, tr("Trend Chart"), ID_TREND_CHART);

    QMenu* shortList = bar->addMenu(tr("Short List"));
    AddCommand(shortList, tr("Open Short List"), ID_SHORT_LIST_OPEN);
    AddCommand(shortList, tr("Clear Short List"), ID_SHORT_LIST_CLEAR);

    QMenu* plan = bar->addMenu(tr("Trading Plan"));
    AddCommand(plan, tr("Open Trading Plan"), ID_TRADING_PLAN_OPEN);
    AddCommand(plan, tr("Clear Trading Plan"), ID_TRADING_PLAN_CLEAR);
    plan->addSeparator();
    AddCommand(plan, tr("Capital by Expiry Month"), ID_TRADING_PLAN_CAPITAL);

    // The Diary keeps its command but has no place on the menu bar; its key is the one way
    // a user reaches it.
    AddCommand(nullptr, tr("Diary"), ID_DIARY)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // A command of its own on the menu bar, not a menu.
    bar->addAction(AddCommand(nullptr, tr("Calculator"), ID_CALCULATOR));

    QMenu* window = bar->addMenu(tr("&Window"));
    AddCommand(window, tr("&Cascade"), ID_WINDOW_CASCADE);
    AddCommand(window, tr("&Tile"), ID_WINDOW_TILE);
    // "Cascade" has the C.
    AddCommand(window, tr("C&lose All"), ID_WINDOW_CLOSE_ALL);
    m_WindowMenu = window;
    connect(window, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowList);
    // The desktop's usual keys for the windows inside the main window.
    auto* closeWindow = new QAction(tr("Close Window"), this);
    // The desktop's own close keys, and Ctrl+F4 once (a key bound twice would be ambiguous
    // and do nothing).
    QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    if (!closeKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_F4))) {
        closeKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_F4));
    }
    closeWindow->setShortcuts(closeKeys);
    connect(closeWindow, &QAction::triggered, m_MdiArea, &QMdiArea::closeActiveSubWindow);
    addAction(closeWindow);
    auto* nextWindow = new QAction(tr("Next Window"), this);
    nextWindow->setShortcut(QKeySequence::NextChild);
    connect(nextWindow, &QAction::triggered, this, [this] { StepThroughWindows(1); });
    addAction(nextWindow);
    auto* previousWindow = new QAction(tr("Previous Window"), this);
    previousWindow->setShortcut(QKeySequence::PreviousChild);
    connect(previousWindow, &QAction::triggered, this, [this] { StepThroughWindows(-1); });
    addAction(previousWindow);

    QMenu* help = bar->addMenu(tr("&Help"));
    AddCommand(help, tr("&About..."), ID_APP_ABOUT);
    AddCommand(nullptr, tr("Help"), ID_HELP)->setShortcut(QKeySequence::HelpContents);

    for (QMenu* menu : {file, edit, view, yield, trend, shortList, plan, window, help}) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    }
}

void CMainFrame::StepThroughWindows(int step) {
    // In the order the windows were opened: the order of last use changes with every step,
    // so stepping back and forth would not return to where it started.
    const QList<QMdiSubWindow*> windows = m_MdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) {
        return;
    }
    const auto count = static_cast<int>(windows.size());
    const auto current = static_cast<int>(windows.indexOf(m_MdiArea->activeSubWindow()));
    const int next = current < 0 ? 0 : ((current + step) % count + count) % count;
    m_MdiArea->setActiveSubWindow(windows[next]);
}

void CMainFrame::UpdateWindowList() {
    for (QAction* action : m_WindowListActions) {
        m_WindowMenu->removeAction(action);
        delete action;
    }
    m_WindowListActions.clear();
    const QList<QMdiSubWindow*> windows = m_MdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) {
        return;
    }
    m_WindowListActions.push_back(m_WindowMenu->addSeparator());
    QMdiSubWindow* active = m_MdiArea->activeSubWindow();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QString title = windows[i]->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // Only the first nine have a key of their own.
        const QString caption = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title)
                                      : QStringLiteral("%1 %2").arg(i + 1).arg(title);
        QAction* action = m_WindowMenu->addAction(caption);
        action->setCheckable(true);
        action->setChecked(windows[i] == active);
        const QPointer<QMdiSubWindow> target = windows[i];
        connect(action, &QAction::triggered, this, [this, target] {
            if (!target.isNull()) {
                m_MdiArea->setActiveSubWindow(target);
            }
            UpdateWindowList();
        });
        m_WindowListActions.push_back(action);
    }
}

void CMainFrame::RegisterView(ViewKind kind, CViewFactory factory) {
    m_Factories[kind] = std::move(factory);
    UpdateCommandStates();
}

void CMainFrame::RegisterCommand(int command, std::function<void()> handler) {
    m_Handlers[command] = std::move(handler);
    UpdateCommandStates();
}

QAction* CMainFrame::Action(int command) const {
    const auto found = m_Actions.find(command);
    return found == m_Actions.end() ? nullptr : found->second;
}

CCommandTarget* CMainFrame::ActiveTarget() const {
    QMdiSubWindow* active = m_MdiArea->activeSubWindow();
    return active == nullptr ? nullptr : dynamic_cast<CCommandTarget*>(active->widget());
}

void CMainFrame::UpdateCommandStates() {
    for (const auto& [command, action] : m_Actions) {
        bool enabled = true;
        if (const auto view = kViewCommands.find(command); view != kViewCommands.end()) {
            enabled = m_Factories.count(view->second) > 0;
        } else if (std::find(std::begin(kViewTargetCommands), std::end(kViewTargetCommands),
                             command) != std::end(kViewTargetCommands)) {
            const CCommandTarget* target = ActiveTarget();
            enabled = target != nullptr && target->HandlesCommand(command);
        } else if (command == ID_TREND_CHART || command == ID_CALCULATOR ||
                   command == ID_SHORT_LIST_CLEAR || command == ID_EDIT_COLOUR_SCHEME ||
                   command == ID_EDIT_NOTIFICATIONS) {
            enabled = m_Handlers.count(command) > 0;
        } else if (command == ID_FILE_EXPORT_CALENDAR) {
            enabled = Session().TradingPlan().Count() > 0;
        }
        action->setEnabled(enabled);
    }
    m_Actions[ID_EDIT_CALL_LEVERAGED_BAR]->setChecked(
        Session().ReportSettings(ReportKind::Call).DisplayLeveragedBar());
    m_Actions[ID_EDIT_PUT_LEVERAGED_BAR]->setChecked(
        Session().ReportSettings(ReportKind::Put).DisplayLeveragedBar());
    m_Actions[ID_VIEW_ANALYTICS_COLUMNS]->setChecked(Session().AnalyticsSettings().ShowColumns());
    CApplicationState& state = Session().State();
    const CApplicationStateLock lock(state);
    m_Actions[ID_EDIT_CLEAR_SHORT_LIST_ON_CLOSE]->setChecked(state.ClearShortListOnClose());
    m_Actions[ID_VIEW_PRICE_HISTORY_CHARTS]->setChecked(state.PriceHistoryCharts());
}

bool CMainFrame::OnCommand(int command) {
    UpdateCommandStates();
    QAction* action = Action(command);
    if (action == nullptr || !action->isEnabled()) {
        return false;
    }
    if (const auto view = kViewCommands.find(command); view != kViewCommands.end()) {
        OpenView(view->second);
        return true;
    }
    if (CCommandTarget* target = ActiveTarget();
        target != nullptr && target->HandlesCommand(command)) {
        target->OnCommand(command);
        return true;
    }
    if (const auto handler = m_Handlers.find(command); handler != m_Handlers.end()) {
        handler->second();
        return true;
    }
    switch (command) {
    case ID_FILE_DOWNLOAD:
        m_Host.RequestFullDownload();
        UpdateStatusBar();
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_EDIT_CALL_LEVERAGED_BAR:
        ToggleLeveragedBar(true);
        break;
    case ID_EDIT_PUT_LEVERAGED_BAR:
        ToggleLeveragedBar(false);
        break;
    case ID_EDIT_CLEAR_SHORT_LIST_ON_CLOSE:
        ToggleClearShortListOnClose();
        break;
    case ID_VIEW_PRICE_HISTORY_CHARTS:
        TogglePriceHistoryCharts();
        break;
    case ID_EDIT_DATA_SOURCES:
        EditDataSources();
        break;
    case ID_VIEW_ANALYTICS_COLUMNS:
        ToggleAnalyticsColumns();
        break;
    case ID_EDIT_ANALYTICS_SETTINGS:
        EditAnalyticsSettings();
        break;
    case ID_TRADING_PLAN_CLEAR:
        ClearTradingPlan();
        break;
    case ID_FILE_EXPORT_CALENDAR:
        ExportCalendar();
        break;
    case ID_WINDOW_CASCADE:
        m_MdiArea->cascadeSubWindows();
        break;
    case ID_WINDOW_TILE:
        m_MdiArea->tileSubWindows();
        break;
    case ID_WINDOW_CLOSE_ALL:
        CloseAll();
        break;
    case ID_APP_ABOUT:
        ShowAbout();
        break;
    case ID_HELP:
        ShowSupportMessage();
        break;
    default:
        return false;
    }
    return true;
}

void CMainFrame::OpenView(ViewKind kind) {
    GetView(kind, true, true);
}

QWidget* CMainFrame::GetView(ViewKind kind, bool create, bool activate) {
    // A closed frame leaves the area at once but is deleted a moment later.
    if (const QPointer<CChildFrame>& open = m_Frames[kind];
        !open.isNull() && m_MdiArea->subWindowList().contains(open.data())) {
        if (activate) {
            m_MdiArea->setActiveSubWindow(open);
        }
        return open->widget();
    }
    const auto factory = m_Factories.find(kind);
    if (!create || factory == m_Factories.end()) {
        return nullptr;
    }
    QMdiSubWindow* previous = m_MdiArea->activeSubWindow();
    auto* frame =
        new CChildFrame(factory->second.title, factory->second.resizable, factory->second.closable);
    frame->SetView(factory->second.create());
    m_MdiArea->addSubWindow(frame);
    frame->OnAddedToArea();
    m_Frames[kind] = frame;
    frame->show();
    // Sized once the area has placed it, so that it stays inside the area.
    FitIntoArea(*frame, m_MdiArea->viewport()->size(),
                factory->second.resizable ? factory->second.size : frame->size());
    if (activate) {
        m_MdiArea->setActiveSubWindow(frame);
    } else if (previous != nullptr) {
        m_MdiArea->setActiveSubWindow(previous);
    }
    UpdateCommandStates();
    return frame->widget();
}

void CMainFrame::AddFloatingWindow(QWidget* window) {
    std::erase_if(m_FloatingWindows, [](const QPointer<QWidget>& w) { return w.isNull(); });
    m_FloatingWindows.emplace_back(window);
}

void CMainFrame::RefreshView(RefreshKind kind) {
    QWidget* view = GetView(ViewOf(kind), false, false);
    if (auto* refreshable = dynamic_cast<CRefreshableView*>(view)) {
        refreshable->RefreshView();
    }
}

void CMainFrame::UpdateStatusBar() {
    const std::string status = m_Host.DownloaderStatus();
    m_MessagePane->setText(status.empty() ? tr("F1 for Help") : QString::fromStdString(status));
    std::string latest;
    {
        CApplicationState& state = Session().State();
        const CApplicationStateLock lock(state);
        latest = state.LastDataDateStr();
    }
    m_DataPane->setText(
        QStringLiteral(" Latest data received: %1 ")
            .arg(latest.empty() ? QStringLiteral("unknown") : QString::fromStdString(latest)));
}

void CMainFrame::ToggleLeveragedBar(bool call) {
    CReportSettings& settings = Session().ReportSettings(call ? ReportKind::Call : ReportKind::Put);
    settings.SetDisplayLeveragedBar(!settings.DisplayLeveragedBar());
    UpdateCommandStates();
    RefreshView(call ? RefreshKind::CallReport : RefreshKind::PutReport);
}

void CMainFrame::ToggleClearShortListOnClose() {
    {
        CApplicationState& state = Session().State();
        const CApplicationStateLock lock(state);
        state.SetClearShortListOnClose(!state.ClearShortListOnClose());
    }
    UpdateCommandStates();
}

void CMainFrame::TogglePriceHistoryCharts() {
    // Trend charts opened from now on take it.
    {
        CApplicationState& state = Session().State();
        const CApplicationStateLock lock(state);
        state.SetPriceHistoryCharts(!state.PriceHistoryCharts());
    }
    UpdateCommandStates();
}

void CMainFrame::ToggleAnalyticsColumns() {
    CAnalyticsSettings& settings = Session().AnalyticsSettings();
    settings.SetShowColumns(!settings.ShowColumns());
    UpdateCommandStates();
    UpdateAnalyticsColumns();
}

void CMainFrame::EditAnalyticsSettings() {
    CAnalyticsSettingsDlg dialog(Session(), m_Host.AnalyticsWorker(), this);
    dialog.exec();
}

void CMainFrame::UpdateAnalyticsColumns() {
    for (const auto& [kind, frame] : m_Frames) {
        if (frame.isNull()) {
            continue;
        }
        if (auto* view = dynamic_cast<CAnalyticsColumnsView*>(frame->widget())) {
            view->UpdateAnalyticsColumns();
        }
    }
}

void CMainFrame::ClearTradingPlan() {
    CTradingPlan& plan = Session().TradingPlan();
    if (plan.Count() > 0 &&
        !Session().Messages().Ask("Are you sure you want to clear your Trading Plan?")) {
        return;
    }
    plan.Clear();
    RefreshView(RefreshKind::TradingPlan);
    emit TradingPlanCleared();
}

void CMainFrame::SetCalendarPathChooser(CCalendarPathChooser chooser) {
    m_ChooseCalendarPath = chooser ? std::move(chooser) : CCalendarPathChooser(AskCalendarPath);
}

QString CMainFrame::AskCalendarPath(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("Calendar Files (*.ics)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("ics"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(QStringLiteral("Trading Plan.ics"));
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

void CMainFrame::ExportCalendar() {
    const QString path = m_ChooseCalendarPath(this);
    if (path.isEmpty()) {
        return;
    }
    const FileTime now = CurrentFileTime();
    const std::shared_ptr<const CMarketSnapshot> market = Session().Market().Current();
    const std::vector<CPlanCalendarEvent> events =
        PlanCalendarEvents(Session().TradingPlan(), now, &market->Dividends());
    // Written whole or not at all, as the plan's exports are: a failure leaves the file
    // that was there.
    std::string error;
    if (!WritePlanCalendar(events, now, QFile::encodeName(path).toStdString(), error)) {
        Session().Messages().Show("The calendar could not be written.\n\n" + error,
                                  MessageKind::Warning);
        return;
    }
    Session().Messages().Show("Calendar file created successfully.", MessageKind::Information);
}

void CMainFrame::CloseAll() {
    for (QMdiSubWindow* window : m_MdiArea->subWindowList()) {
        window->close(); // a frame that is not closable ignores it
    }
    for (const QPointer<QWidget>& window : m_FloatingWindows) {
        if (!window.isNull()) {
            window->close();
        }
    }
    std::erase_if(m_FloatingWindows, [](const QPointer<QWidget>& w) { return w.isNull(); });
}

void CMainFrame::EditDataSources() {
    CDataSourcesDlg dialog(m_Host.DataSources(), Session().Messages(), this);
    if (dialog.exec() == QDialog::Accepted) {
        m_Host.DataSourcesChanged();
    }
}

void CMainFrame::ShowSupportMessage() {
    // One at a time: F1 while the message is up does nothing.
    if (m_ShowingSupportMessage) {
        return;
    }
    m_ShowingSupportMessage = true;
    const QUrl site(QString::fromStdString(m_Host.DataSources().SiteUrl()));
    const QString host =
        site.port() < 0 ? site.host() : QStringLiteral("%1:%2").arg(site.host()).arg(site.port());
    Session().Messages().Show(tr("Please go to %1 for %2 user support.")
                                  .arg(host, QApplication::applicationName())
                                  .toStdString(),
                              MessageKind::Plain);
    m_ShowingSupportMessage = false;
}

CSession& CMainFrame::Session() const {
    return m_Host.Session();
}

void CMainFrame::ShowAbout() {
    CAboutDlg about(QString::fromStdString(m_Host.DataSources().SiteUrl()), this);
    about.exec();
}

void CMainFrame::BringToFront() {
    if (isMinimized()) {
        showMaximized();
    }
    raise();
    activateWindow();
}

void CMainFrame::changeEvent(QEvent* event) {
    // A maximised child window would add its own name to the title; the title stays the
    // program's.
    if (event->type() == QEvent::WindowTitleChange &&
        windowTitle() != QApplication::applicationName()) {
        setWindowTitle(QApplication::applicationName());
    }
    QMainWindow::changeEvent(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Nothing may be written while a download is under way.
    m_Host.StopDownloader();
    QMainWindow::closeEvent(event);
}

} // namespace strikeline
