#pragma once

#include <QString>

class QWidget;

namespace strikeline {

// A new embedded browser page from the browser module, loaded on first use and kept for
// the rest of the run; null with the reason in `error` when the module cannot be loaded.
// The page is a QWebEngineView: navigate it by its "url" property.
QWidget* CreateWebPage(QWidget* parent, QString& error);

} // namespace strikeline
