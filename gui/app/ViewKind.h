#pragma once

#include <QSize>
#include <QString>
#include <functional>

class QWidget;

namespace strikeline {

// The tool windows of the main window; each exists at most once.
enum class ViewKind {
    NavigationCentre,
    CallSettings,
    PutSettings,
    CallReport,
    PutReport,
    ShortList,
    TradingPlan,
    TrendChart,
    Diary,
    Dividends,
    CapitalByMonth,
};

// How the main window makes a tool window: its frame's title and looks, and the view.
struct CViewFactory {
    QString title;
    bool resizable = true;
    bool closable = true;
    QSize size; // the frame's size at creation; empty for the frame's own choice
    std::function<QWidget*()> create;
};

// A view that rebuilds its contents when the main window passes on a refresh request.
class CRefreshableView {
public:
    virtual ~CRefreshableView() = default;
    virtual void RefreshView() = 0;
};

// A view with the analytics columns: it fills them in from the session's analytics when
// new ones are ready, and shows or hides them as the session's analytics settings say.
class CAnalyticsColumnsView {
public:
    virtual ~CAnalyticsColumnsView() = default;
    virtual void UpdateAnalyticsColumns() = 0;
};

// A view that answers some of the main window's commands while it is the active window
// (the plan's exports, printing).
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    virtual bool HandlesCommand(int command) const = 0;
    virtual void OnCommand(int command) = 0;
};

} // namespace strikeline
