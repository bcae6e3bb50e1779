#include "gui/journal/DividendsView.h"

#include "gui/journal/DividendsGrid.h"
#include "gui/widgets/QtColor.h"
#include "journal/AverageTradesDatabase.h"
#include "marketdata/Dividend.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "storage/ColorScheme.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <algorithm>
#include <string_view>

namespace strikeline {

namespace {

const char* const kFilters[] = {"Current Month", "Current Month and Next Month", "Next Month",
                                "All"};
constexpr int kAllIndex = 3;
constexpr int kColumnCount = 4;
// A tenth of the window per scroll line.
constexpr int kLinesPerPage = 10;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CDividendsView::CDividendsView(CSession& session, CJournalClock clock, QWidget* parent)
    : QAbstractScrollArea(parent), m_Session(session), m_Clock(std::move(clock)),
      m_Table(new CDividendsGrid(*this, viewport())), m_Filter(new QComboBox(m_Table)) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(true);
    m_Table->SetStretchLastRow(false);
    for (const char* filter : kFilters) {
        m_Filter->addItem(QString::fromLatin1(filter));
    }
    m_Filter->setCurrentIndex(kAllIndex);
    // The list keeps the desktop's own font whatever the table's font is.
    m_Filter->setFont(QApplication::font());
    m_Filter->view()->setMaximumHeight(kFilterListHeight);
    connect(m_Filter, &QComboBox::currentIndexChanged, this, &CDividendsView::RefreshDividends);
    RefreshDividends();
}

CDividendsView::~CDividendsView() = default;

void CDividendsView::RefreshDividends() {
    const int selection = m_Filter->currentIndex();
    const CColorScheme scheme = m_Session.ColorScheme();
    m_RegularFont = CreateSchemeFont(scheme, false, false, false);
    m_BoldFont = CreateSchemeFont(scheme, true, false, false);
    m_Table->setFont(m_RegularFont.m_Font);
    QPalette background = viewport()->palette();
    background.setColor(QPalette::Window, ToQColor(scheme.Get(SchemeColor::ReportBk)));
    viewport()->setPalette(background);

    m_Table->RemoveAllRows();
    m_Rows.clear();
    const Color reportBk = scheme.Get(SchemeColor::ReportBk);
    const Color reportFg = scheme.Get(SchemeColor::ReportFg);
    const auto addWholeRow = [&](const QString& text, int height) {
        const int row = m_Table->AddRow();
        m_Table->AddCell(row, text, 1, 1, reportBk, reportFg, false, false);
        m_Table->SetBorders(row, 0, 0, 0, 0, 1, kBorderColor);
        if (height >= 0) {
            m_Table->SetFixedHeight(row, 0, height);
        }
    };
    // Lines under every cell, and between the columns.
    const auto setColumnBorders = [&](int row, int column) {
        m_Table->SetBorders(row, column, column == 0 ? 0 : 1, 0, 0, 1, kBorderColor);
    };

    // The title row holds the month list; twice its height.
    addWholeRow(QString(), 2 * m_Filter->sizeHint().height());

    const int titles = m_Table->AddRow();
    for (int column = 0; column < kColumnCount; ++column) {
        m_Table->AddCell(titles, Text(kDividendsColumnTitles[static_cast<std::size_t>(column)]),
                         kColumnCount, 1, scheme.Get(SchemeColor::CompanyHeaderBk),
                         scheme.Get(SchemeColor::CompanyHeaderFg), false, false);
        m_Table->SetCellFont(titles, column, m_BoldFont);
        setColumnBorders(titles, column);
    }

    const auto filter = static_cast<DividendsMonthFilter>(std::clamp(selection, 0, kAllIndex));
    CDividendsTable table = BuildDividendsTable(m_Session.Market().Current()->Dividends(), filter,
                                                m_Clock(), m_Session.AverageTrades());
    if (table.noDividends) {
        addWholeRow(Text(kNoDividendsText), -1);
    }
    m_Rows = std::move(table.rows);
    for (const CDividendRow& dividend : m_Rows) {
        const int row = m_Table->AddRow();
        const std::string* const cells[] = {&dividend.code, &dividend.date, &dividend.value,
                                            &dividend.averageTrades};
        for (int column = 0; column < kColumnCount; ++column) {
            m_Table->AddCell(row, QString::fromStdString(*cells[static_cast<std::size_t>(column)]),
                             kColumnCount, 1, reportBk, reportFg, true,
                             column == kAverageTradesColumn);
            setColumnBorders(row, column);
        }
    }
    LayoutTable();
    viewport()->update();
}

void CDividendsView::LayoutTable() {
    // Never narrower than its texts: a window too narrow for them scrolls sideways.
    const int window = viewport()->width();
    const int width = std::max(window, m_Table->MinimumLayoutWidth());
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, width - window);
    across->setPageStep(std::max(1, window));
    across->setSingleStep(std::max(1, window / kLinesPerPage));
    const int height = m_Table->TotalHeight(width);
    const int client = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, height - client));
    bar->setPageStep(std::max(1, client));
    bar->setSingleStep(std::max(1, client / kLinesPerPage));
    m_Table->setGeometry(-across->value(), -bar->value(), width, height);
    PlaceFilter();
}

void CDividendsView::PlaceFilter() {
    const QRect title = m_Table->CellRect(kTitleRow, 0);
    const int height = m_Filter->sizeHint().height();
    m_Filter->setGeometry(kFilterLeft, title.top() + (title.height() - height) / 2, kFilterWidth,
                          height);
}

void CDividendsView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    LayoutTable();
}

void CDividendsView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    m_Table->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void CDividendsView::ScrollToTopLeft() {
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void CDividendsView::EnsureCellVisible(int row, int column) {
    const QRect cell = m_Table->CellRect(row, column);
    if (cell.isEmpty()) {
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    const int client = viewport()->height();
    if (cell.top() < bar->value()) {
        bar->setValue(cell.top());
    } else if (cell.bottom() + 1 > bar->value() + client) {
        bar->setValue(cell.bottom() + 1 - client);
    }
    QScrollBar* across = horizontalScrollBar();
    const int window = viewport()->width();
    if (cell.left() < across->value()) {
        across->setValue(cell.left());
    } else if (cell.right() + 1 > across->value() + window) {
        across->setValue(std::min(cell.left(), cell.right() + 1 - window));
    }
}

bool CDividendsView::TakeAverageTrades(int row, const QString& text, QString& shown) {
    const int index = row - kFirstDataRow;
    if (index < 0 || index >= static_cast<int>(m_Rows.size())) {
        return false;
    }
    std::string taken;
    std::string refusal;
    if (!TakeAverageTradesText(m_Session.AverageTrades(),
                               m_Rows[static_cast<std::size_t>(index)].code, text.toStdString(),
                               taken, &refusal)) {
        m_Session.Messages().Show(refusal, MessageKind::Warning);
        return false;
    }
    shown = QString::fromStdString(taken);
    m_Rows[static_cast<std::size_t>(index)].averageTrades = taken;
    return true;
}

} // namespace strikeline
