#include "gui/widgets/SchemeFont.h"

#include "storage/ColorScheme.h"

#include <QApplication>
#include <algorithm>

namespace strikeline {

namespace {

// A size read from the settings is not range-checked there; keep it one Qt can use.
constexpr std::uint32_t kLargestPointSize = 1000;

} // namespace

CSchemeFont CreateSchemeFont(const CColorScheme& scheme, bool bold, bool underline, bool vertical) {
    QFont font = QApplication::font();
    font.setFamily(QString::fromStdString(scheme.FontStyle()));
    if (scheme.FontSize() > 0) {
        font.setPointSize(static_cast<int>(std::min(scheme.FontSize(), kLargestPointSize)));
    }
    if (bold) {
        font.setWeight(QFont::Bold);
    }
    font.setUnderline(underline);
    return {font, vertical};
}

} // namespace strikeline
