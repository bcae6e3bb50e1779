#pragma once

#include "storage/Color.h"

#include <QWidget>
#include <vector>

namespace strikeline {

// A small popup of colour bands, one per colour, left to right. A left click in a band
// picks that colour and closes the popup; from the keyboard, Left and Right move the
// marked band, Enter or Space picks it, and the digits 1 to 9 pick a band at once. Losing
// the focus (or Escape) closes it without a choice. The popup deletes itself once closed, so the
// code that opens it keeps at most a guarded pointer.
class CColorSelectorWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBandWidth = 16;
    static constexpr int kHeight = 60;
    static constexpr int kFrameWidth = 1;

    explicit CColorSelectorWnd(std::vector<Color> colours, QWidget* parent = nullptr);

    // Shows the popup with its top-left corner at `globalPoint` and gives it the focus.
    void ShowAt(const QPoint& globalPoint);

    int ColourCount() const { return static_cast<int>(m_Colours.size()); }
    // The band under a point of the popup, or -1 outside the bands. The last band reaches
    // the right edge, so any point left of it belongs to one of them.
    int BandAt(const QPoint& point) const;
    // The band's rectangle in the popup.
    QRect BandRect(int index) const;
    // The band Enter would pick.
    int MarkedBand() const { return m_Marked; }

signals:
    void ColourSelected(int index);

protected:
    // Called with the picked band before the popup closes.
    virtual void OnColourSelected(int index);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRect BandArea() const;
    void Pick(int band);

    std::vector<Color> m_Colours;
    int m_Marked = 0;
};

} // namespace strikeline
