#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <utility>
#include <vector>

namespace strikeline {

// Measures cell texts for one layout pass. Shaping a text costs microseconds, and a table
// of thousands of rows has to keep up with a resize, so a text that can only take one
// line is not shaped at all, and every other text is shaped once per font and width in
// the pass (reports repeat the same column titles in every block).
class CCellTextMeasurer {
public:
    explicit CCellTextMeasurer(const QFont& tableFont);

    // The height of `text` word-wrapped within `width` pixels (at least one line) in `font`,
    // or in the table font when `font` is null. `format` gives the alignment.
    int WrappedHeight(const QFont* font, const QString& text, int width, int format);
    // The height of one line.
    int LineHeight(const QFont* font);
    // The length of `text` on one line.
    int TextWidth(const QFont* font, const QString& text);
    // The length of the longest piece of `text` that is never broken: a word when the text
    // wraps, else a line.
    int WidestPiece(const QFont* font, const QString& text, bool wrap);

private:
    struct CFontEntry {
        explicit CFontEntry(const QFont& font);

        QFont m_Font;
        QFontMetrics m_Metrics;
        int m_LineHeight;
        QHash<QString, int> m_Widths;
        QHash<std::pair<QString, int>, int> m_WrappedHeights;
    };

    CFontEntry& EntryFor(const QFont* font);

    CFontEntry m_Table;
    // Cell fonts seen in this pass; a table uses only a few.
    std::vector<CFontEntry> m_CellFonts;
};

// The text as a cell `width` pixels wide shows it: unchanged when it fits, else each piece
// that would overrun (a word of a wrapping text, a line of any other) cut on the right with
// "…", so that no figure is ever shown with its digits clipped away.
QString FitCellText(const QFontMetrics& metrics, const QString& text, int width, bool wrap);

} // namespace strikeline
