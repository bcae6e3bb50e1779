#pragma once

#include <QLineEdit>

namespace strikeline {

class CComplexTableWnd;

// The editor a table opens exactly over a cell. It starts with the cell's text, all of it
// selected; Escape cancels, Enter or leaving the editor commits through the table. While
// the user types it widens to the text, never past the table's right edge. The table owns
// it and closes it when editing ends.
class CInPlaceEdit final : public QLineEdit {
    Q_OBJECT

public:
    CInPlaceEdit(CComplexTableWnd& table, const QRect& cellRect, const QFont& font,
                 const QString& text);

    // Replaces the cell's text with what the user began typing, the cursor after it.
    void StartWith(const QString& typed);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool IsActive() const;
    void Widen();

    CComplexTableWnd& m_Table;
    int m_CellWidth;
};

} // namespace strikeline
