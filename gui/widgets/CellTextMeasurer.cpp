#include "gui/widgets/CellTextMeasurer.h"

#include <algorithm>

namespace strikeline {

namespace {

// Tall enough for any cell text; wrapping only depends on the width.
constexpr int kUnboundedHeight = 1 << 24;
// Beyond this many cell fonts in one table the oldest metrics are dropped.
constexpr std::size_t kMostCellFonts = 8;

QRect MeasuringBox(int width) {
    return {0, 0, std::max(width, 1), kUnboundedHeight};
}

bool HasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool EndsPiece(QChar c, bool wrap) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || (wrap && c == QLatin1Char(' '));
}

// Calls `piece` for every unbreakable piece of `text` and `separator` for what lies between.
template <typename Piece, typename Separator>
void SplitPieces(const QString& text, bool wrap, Piece piece, Separator separator) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (EndsPiece(text[i], wrap)) {
            piece(text.mid(start, i - start));
            separator(text[i]);
            start = i + 1;
        }
    }
    piece(text.mid(start));
}

} // namespace

CCellTextMeasurer::CFontEntry::CFontEntry(const QFont& font)
    : m_Font(font), m_Metrics(font),
      m_LineHeight(m_Metrics.boundingRect(MeasuringBox(1000), Qt::TextWordWrap, QStringLiteral("W"))
                       .height()) {}

CCellTextMeasurer::CCellTextMeasurer(const QFont& tableFont) : m_Table(tableFont) {}

CCellTextMeasurer::CFontEntry& CCellTextMeasurer::EntryFor(const QFont* font) {
    if (font == nullptr) {
        return m_Table;
    }
    const auto known =
        std::find_if(m_CellFonts.begin(), m_CellFonts.end(),
                     [font](const CFontEntry& entry) { return entry.m_Font == *font; });
    if (known != m_CellFonts.end()) {
        return *known;
    }
    if (m_CellFonts.size() == kMostCellFonts) {
        m_CellFonts.erase(m_CellFonts.begin());
    }
    return m_CellFonts.emplace_back(*font);
}

int CCellTextMeasurer::LineHeight(const QFont* font) {
    return EntryFor(font).m_LineHeight;
}

int CCellTextMeasurer::TextWidth(const QFont* font, const QString& text) {
    CFontEntry& entry = EntryFor(font);
    const auto known = entry.m_Widths.constFind(text);
    if (known != entry.m_Widths.constEnd()) {
        return *known;
    }
    const int width = entry.m_Metrics.horizontalAdvance(text);
    entry.m_Widths.insert(text, width);
    return width;
}

int CCellTextMeasurer::WidestPiece(const QFont* font, const QString& text, bool wrap) {
    int widest = 0;
    SplitPieces(
        text, wrap,
        [&](const QString& piece) { widest = std::max(widest, TextWidth(font, piece)); },
        [](QChar) {});
    return widest;
}

int CCellTextMeasurer::WrappedHeight(const QFont* font, const QString& text, int width,
                                     int format) {
    CFontEntry& entry = EntryFor(font);
    if (text.isEmpty()) {
        return entry.m_LineHeight;
    }
    // Words are never broken, so one word, or a text that fits, is one line.
    const bool lineBreak = HasLineBreak(text);
    if (!lineBreak && !text.contains(QLatin1Char(' '))) {
        return entry.m_LineHeight;
    }
    if (!lineBreak && TextWidth(font, text) <= width) {
        return entry.m_LineHeight;
    }
    std::pair<QString, int> key(text, width);
    const auto known = entry.m_WrappedHeights.constFind(key);
    if (known != entry.m_WrappedHeights.constEnd()) {
        return *known;
    }
    const int flags = Qt::TextWordWrap | (format & Qt::AlignHorizontal_Mask);
    // Measured as it is drawn: a word too long for the cell is cut, not given a line of
    // its own beside its start.
    const QString shown = FitCellText(entry.m_Metrics, text, width, true);
    const int height =
        std::max(entry.m_Metrics.boundingRect(MeasuringBox(width), flags, shown).height(),
                 entry.m_LineHeight);
    entry.m_WrappedHeights.insert(std::move(key), height);
    return height;
}

QString FitCellText(const QFontMetrics& metrics, const QString& text, int width, bool wrap) {
    if (!HasLineBreak(text) && metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    QString shown;
    shown.reserve(text.size());
    SplitPieces(
        text, wrap,
        [&](const QString& piece) {
            shown += metrics.horizontalAdvance(piece) <= width
                         ? piece
                         : metrics.elidedText(piece, Qt::ElideRight, std::max(width, 0));
        },
        [&](QChar separator) { shown += separator; });
    return shown;
}

} // namespace strikeline
