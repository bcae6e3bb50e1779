#include "ui/views/CellTextMeasurer.h"

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
    const int height =
        std::max(entry.m_Metrics.boundingRect(MeasuringBox(width), flags, text).height(),
                 entry.m_LineHeight);
    entry.m_WrappedHeights.insert(std::move(key), height);
    return height;
}

} // namespace strikeline
