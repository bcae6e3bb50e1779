// The embedded browser, in a module of its own: the program loads it when the first trend
// chart opens, so that starting the program, or asking its version, does not load and
// relocate the web engine.

#include <QWebEngineView>

extern "C" Q_DECL_EXPORT QWidget* StrikelineCreateWebPage(QWidget* parent) {
    return new QWebEngineView(parent);
}
