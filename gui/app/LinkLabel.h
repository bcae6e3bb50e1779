#pragma once

#include <QLabel>
#include <QUrl>
#include <functional>

namespace strikeline {

// A line of text that behaves as a link: underlined, in the palette's link colour, with the
// pointing-hand cursor. A click, or Enter or Space while it has the focus, opens the target
// with the desktop's handler for its kind (web page, mail composer).
//
// Errors: when the desktop cannot open the target, nothing more happens; this platform has
// no second handler to fall back on and the caption already shows the address.
class CLinkLabel : public QLabel {
    Q_OBJECT

public:
    // Opens a target and says whether a handler took it.
    using Opener = std::function<bool(const QUrl&)>;

    CLinkLabel(const QString& caption, const QUrl& target, QWidget* parent = nullptr);

    QUrl Target() const { return m_Target; }
    void SetTarget(const QUrl& target);
    // Replaces the desktop opener (tests use this so that nothing is launched).
    void SetOpener(Opener opener) { m_Opener = std::move(opener); }

    // Opens the target now; false when there is none or no handler took it.
    bool OpenTarget();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QUrl m_Target;
    Opener m_Opener;
    bool m_Pressed = false;
};

} // namespace strikeline
