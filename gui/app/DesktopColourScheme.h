#pragma once

#include <QObject>

class QPalette;

namespace strikeline {

class CMainFrame;

// Follows the desktop's light or dark colours. A user on the built-in colour scheme sees
// the tables in its dark counterpart while the desktop is dark, and the open table windows
// rebuild when the desktop switches; a scheme of the user's own is drawn as it is either
// way, and the settings keep what was stored.
class CDesktopColourScheme : public QObject {
    Q_OBJECT

public:
    // Tells the frame's session the desktop's tone now and watches it from then on; the
    // frame owns it.
    explicit CDesktopColourScheme(CMainFrame& frame);

    // The desktop's own light or dark setting where Qt reports one, else the application
    // palette: dark when its window colour is.
    static bool DesktopIsDark();
    static bool IsDark(const QPalette& palette);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Several notices of one switch (the application's and each window's) make one rebuild,
    // after every window has its new palette.
    void FollowSoon();
    void Follow();

    CMainFrame& m_Frame;
    bool m_Pending = false;
};

} // namespace strikeline
