#pragma once

#include "gui/app/RefreshKind.h"
#include "gui/app/ViewKind.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;

namespace strikeline {

class CSession;

class CChildFrame;
class CMainFrameHost;

// The main window: the menu, the status bar and the area in which every tool window lives.
// It turns commands (from the menu, the navigation centre or a view) into opened windows
// and actions, keeps each tool window unique, and passes refresh requests to the open
// view of that kind. Tool windows come from factories registered by the parts that own
// them; a command whose window or work is not registered stays disabled.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(CMainFrameHost& host, QWidget* parent = nullptr);

    // The session the windows show; each view is handed it when it is made.
    CSession& Session() const;
    ~CMainFrame() override;

    void RegisterView(ViewKind kind, CViewFactory factory);
    // A command whose work is done elsewhere (the trend chart, the calculator, ...).
    void RegisterCommand(int command, std::function<void()> handler);

    // The open view of that kind; with `create`, opens it when needed. Without `activate`
    // a new window opens behind the one that was active.
    QWidget* GetView(ViewKind kind, bool create, bool activate);
    // Floating tool windows (the calculators) that "Close All" closes too.
    void AddFloatingWindow(QWidget* window);

    // Runs a command as the menu would; false when it is disabled.
    bool OnCommand(int command);
    QAction* Action(int command) const;
    // Enables and ticks the commands for the current state.
    void UpdateCommandStates();

    void RefreshView(RefreshKind kind);
    // The downloader's status (or "F1 for Help") and the date of the newest data.
    void UpdateStatusBar();
    QLabel* MessagePane() const { return m_MessagePane; }
    QLabel* DataPane() const { return m_DataPane; }
    QMdiArea* MdiArea() const { return m_MdiArea; }

    // Another copy of the program asked this one to come to the front.
    void BringToFront();

    // Asks where File > Export Calendar... saves: the path chosen, or empty when the user
    // cancels. Replaceable, so that tests run without the modal dialog.
    using CCalendarPathChooser = std::function<QString(QWidget* parent)>;
    void SetCalendarPathChooser(CCalendarPathChooser chooser);
    // The save dialog: "Calendar Files (*.ics)", a name in the user's documents folder, the
    // suffix added when the name has none, an overwrite question.
    static QString AskCalendarPath(QWidget* parent);

signals:
    // The plan was emptied: the Short List unticks what it had sent there.
    void TradingPlanCleared();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* AddCommand(QMenu* menu, const QString& caption, int command);
    void BuildMenus();
    // The open windows at the foot of the Window menu, numbered, the active one ticked.
    void UpdateWindowList();
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous window (`step` 1 or -1).
    void StepThroughWindows(int step);
    void OpenView(ViewKind kind);
    void ToggleLeveragedBar(bool call);
    void ToggleClearShortListOnClose();
    void TogglePriceHistoryCharts();
    void ToggleAnalyticsColumns();
    void EditAnalyticsSettings();
    // Every open window with analytics columns takes the session's analytics and settings.
    void UpdateAnalyticsColumns();
    void ClearTradingPlan();
    // The plan's expiries and ex-dividend dates (from the current market) as a calendar file.
    void ExportCalendar();
    void CloseAll();
    void EditDataSources();
    void ShowSupportMessage();
    void ShowAbout();
    CCommandTarget* ActiveTarget() const;

    CMainFrameHost& m_Host;
    QMdiArea* m_MdiArea;
    QLabel* m_MessagePane;
    QLabel* m_DataPane;
    std::map<int, QAction*> m_Actions;
    std::map<int, std::function<void()>> m_Handlers;
    std::map<ViewKind, CViewFactory> m_Factories;
    std::map<ViewKind, QPointer<CChildFrame>> m_Frames;
    std::vector<QPointer<QWidget>> m_FloatingWindows;
    QMenu* m_WindowMenu = nullptr;
    std::vector<QAction*> m_WindowListActions;
    bool m_ShowingSupportMessage = false;
    CCalendarPathChooser m_ChooseCalendarPath;
};

} // namespace strikeline
