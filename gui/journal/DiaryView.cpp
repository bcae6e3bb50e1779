#include "gui/journal/DiaryView.h"

#include "gui/charts/ChartPanel.h"
#include "gui/charts/DiaryBalanceChart.h"
#include "gui/journal/ChangeBalanceDlg.h"
#include "gui/journal/DiaryEntryDlg.h"
#include "gui/journal/StartBalanceDlg.h"
#include "journal/DiaryDatabase.h"
#include "journal/JournalCalendar.h"
#include "session/Session.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <algorithm>

namespace strikeline {

using namespace std::chrono;

namespace {

const char* const kModes[] = {"Showing for the Month", "Showing for the Year",
                              "Showing for the Period", "Showing All"};
const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kColumns[] = {"Open Date", "Close Date", "Stock Code", "Net Profit"};

// The widest figure the form makes room for, so that it does not jump when the figures
// change.
const char* const kWidestFigure = "$-9999999999.99";

year_month_day DayOf(const QDate& date) {
    return year_month_day{year{date.year()}, month{static_cast<unsigned>(date.month())},
                          day{static_cast<unsigned>(date.day())}};
}

QDateEdit* MakeDatePicker(QWidget* parent, const year_month_day& today) {
    auto* picker = new QDateEdit(parent);
    picker->setCalendarPopup(true);
    // Dates read as everywhere else in the program ("13-Apr-2010").
    picker->setLocale(QLocale(QLocale::English, QLocale::Australia));
    picker->setDisplayFormat(QStringLiteral("dd-MMM-yyyy"));
    picker->setMinimumDate(QDate(1601, 1, 1));
    picker->setDate(QDate(static_cast<int>(today.year()), static_cast<int>(unsigned(today.month())),
                          static_cast<int>(unsigned(today.day()))));
    return picker;
}

} // namespace

CDiaryView::CDiaryView(CSession& session, CJournalClock clock, QWidget* parent)
    : QWidget(parent), m_Session(session), m_Clock(std::move(clock)), m_Mode(new QComboBox(this)),
      m_Month(new QComboBox(this)), m_Year(new QComboBox(this)), m_PeriodStart(nullptr),
      m_PeriodEnd(nullptr), m_StartBalance(new QPushButton(QStringLiteral("Start Balance"), this)),
      m_ChangeBalance(new QPushButton(QStringLiteral("Change Balance"), this)),
      m_Edit(new QPushButton(QStringLiteral("Edit..."), this)),
      m_Delete(new QPushButton(QStringLiteral("Delete"), this)), m_List(new QTableWidget(this)),
      m_Split(new QSplitter(Qt::Horizontal, this)), m_Chart(new CChartPanel) {
    // The form and its controls on the window colour with the window-text colour.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
    setPalette(colours);
    setAutoFillBackground(true);

    const FileTime now = m_Clock();
    for (const char* mode : kModes) {
        m_Mode->addItem(QString::fromLatin1(mode));
    }
    for (const char* month : kMonths) {
        m_Month->addItem(QString::fromLatin1(month));
    }
    m_Years = DiaryYears(now);
    for (const int y : m_Years) {
        m_Year->addItem(QString::number(y));
    }
    const year_month_day today = LocalDate(now);
    m_PeriodStart = MakeDatePicker(this, today);
    m_PeriodEnd = MakeDatePicker(this, today);
    for (std::size_t i = 0; i < m_Captions.size(); ++i) {
        m_Captions[i] = new QLabel(this);
        m_Figures[i] = new QLabel(this);
    }

    m_List->setColumnCount(static_cast<int>(std::size(kColumns)));
    QStringList titles;
    for (const char* title : kColumns) {
        titles << QString::fromLatin1(title);
    }
    m_List->setHorizontalHeaderLabels(titles);
    m_List->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_List->horizontalHeader()->setHighlightSections(false);
    m_List->verticalHeader()->hide();
    m_List->setColumnWidth(0, kOpenDateWidth);
    m_List->setColumnWidth(1, kCloseDateWidth);
    m_List->setColumnWidth(2, kStockCodeWidth);
    m_List->setColumnWidth(3, kNetProfitWidth);
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_List->setShowGrid(true);
    m_List->setWordWrap(false);
    // The selected row stays marked while another control has the focus.
    QPalette listColours = m_List->palette();
    listColours.setColor(QPalette::Inactive, QPalette::Highlight,
                         listColours.color(QPalette::Active, QPalette::Highlight));
    listColours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         listColours.color(QPalette::Active, QPalette::HighlightedText));
    m_List->setPalette(listColours);
    m_Split->addWidget(m_List);
    m_Split->addWidget(m_Chart);
    m_Split->setChildrenCollapsible(false);
    m_Split->setStretchFactor(0, 0);
    m_Split->setStretchFactor(1, 1);
    // The list as wide as its columns at first, the chart as wide again.
    m_Split->setSizes({ListWidth(), ListWidth()});
    // The entry buttons stand at the list's right edge wherever the splitter puts it.
    m_List->installEventFilter(this);
    m_Chart->SetColours(ChartColoursOf(m_Session.ColorScheme(), palette()));

    setTabOrder(m_Mode, m_Month);
    setTabOrder(m_Month, m_Year);
    setTabOrder(m_Year, m_PeriodStart);
    setTabOrder(m_PeriodStart, m_PeriodEnd);
    setTabOrder(m_PeriodEnd, m_StartBalance);
    setTabOrder(m_StartBalance, m_ChangeBalance);
    setTabOrder(m_ChangeBalance, m_Edit);
    setTabOrder(m_Edit, m_Delete);
    setTabOrder(m_Delete, m_List);

    // First showing: this month of this year.
    m_Mode->setCurrentIndex(static_cast<int>(DiaryRangeMode::Month));
    const CDiaryMonth initial = InitialDiaryMonth(now);
    m_Month->setCurrentIndex(static_cast<int>(initial.month) - 1);
    const auto year = std::find(m_Years.begin(), m_Years.end(), initial.year);
    m_Year->setCurrentIndex(year == m_Years.end() ? 0 : static_cast<int>(year - m_Years.begin()));
    PlaceControls();

    const auto refresh = [this] {
        RefreshDiary();
    };
    connect(m_Mode, &QComboBox::currentIndexChanged, this, refresh);
    connect(m_Month, &QComboBox::currentIndexChanged, this, refresh);
    connect(m_Year, &QComboBox::currentIndexChanged, this, refresh);
    connect(m_PeriodStart, &QDateEdit::dateChanged, this, refresh);
    connect(m_PeriodEnd, &QDateEdit::dateChanged, this, refresh);
    connect(m_StartBalance, &QPushButton::clicked, this, &CDiaryView::EditStartBalance);
    connect(m_ChangeBalance, &QPushButton::clicked, this, &CDiaryView::ChangeMonthBalance);
    connect(m_Edit, &QPushButton::clicked, this, &CDiaryView::EditSelectedEntry);
    connect(m_Delete, &QPushButton::clicked, this, &CDiaryView::DeleteSelectedEntry);
    connect(m_List, &QTableWidget::itemSelectionChanged, this, &CDiaryView::UpdateEntryButtons);
    connect(m_List, &QTableWidget::cellDoubleClicked, this, [this] {
        if (m_Edit->isEnabled()) {
            EditSelectedEntry();
        }
    });
    RefreshDiary();
}

DiaryRangeMode CDiaryView::Mode() const {
    const int index = std::clamp(m_Mode->currentIndex(), 0, static_cast<int>(DiaryRangeMode::All));
    return static_cast<DiaryRangeMode>(index);
}

CDiaryRangeChoice CDiaryView::Choice() const {
    CDiaryRangeChoice choice;
    choice.mode = Mode();
    choice.month = static_cast<unsigned>(std::clamp(m_Month->currentIndex(), 0, 11) + 1);
    const int year = m_Year->currentIndex();
    choice.year = year >= 0 && year < static_cast<int>(m_Years.size())
                      ? m_Years[static_cast<std::size_t>(year)]
                      : m_Years.front();
    choice.periodStart = DayOf(m_PeriodStart->date());
    choice.periodEnd = DayOf(m_PeriodEnd->date());
    return choice;
}

void CDiaryView::RefreshDiary() {
    const DiaryRangeMode mode = Mode();
    m_Month->setVisible(mode == DiaryRangeMode::Month);
    m_Year->setVisible(mode == DiaryRangeMode::Month || mode == DiaryRangeMode::Year);
    m_PeriodStart->setVisible(mode == DiaryRangeMode::Period);
    m_PeriodEnd->setVisible(mode == DiaryRangeMode::Period);
    m_ChangeBalance->setVisible(mode == DiaryRangeMode::Month);
    // Without the month list the year list takes its place.
    m_Year->setGeometry(mode == DiaryRangeMode::Year
                            ? QRect(m_MonthPlace.topLeft(), m_YearPlace.size())
                            : m_YearPlace);

    const CDiaryDatabase& diary = m_Session.Diary();
    const CDiaryListing listing = BuildDiaryListing(diary, Choice(), m_Clock());
    const std::string* const captions[] = {
        &listing.captions.startingBalance, &listing.captions.endingBalance,
        &listing.captions.totalNetProfit, &listing.captions.netProfitPercent};
    const std::string* const figures[] = {
        &listing.figures.startingBalance, &listing.figures.endingBalance,
        &listing.figures.totalNetProfit, &listing.figures.netProfitPercent};
    for (std::size_t i = 0; i < m_Captions.size(); ++i) {
        m_Captions[i]->setText(QString::fromStdString(*captions[i]));
        m_Figures[i]->setText(QString::fromStdString(*figures[i]));
    }

    m_List->clearSelection();
    m_List->setRowCount(0);
    m_RowEntries.clear();
    m_List->setRowCount(static_cast<int>(listing.rows.size()));
    int row = 0;
    for (const CDiaryRow& listed : listing.rows) {
        const std::string* const cells[] = {&listed.openDate, &listed.closeDate, &listed.stockCode,
                                            &listed.netProfit};
        for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
            auto* item = new QTableWidgetItem(
                QString::fromStdString(*cells[static_cast<std::size_t>(column)]));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            m_List->setItem(row, column, item);
        }
        const CDiaryEntry& entry = diary.Entries()[listed.entryIndex];
        m_RowEntries.push_back({listed.entryIndex, entry.m_ContractID, entry.m_StartDate});
        ++row;
    }
    m_List->setCurrentCell(-1, -1);
    UpdateEntryButtons();
    RefreshChart();
}

void CDiaryView::RefreshChart() {
    CBalanceChartData chart = DiaryBalanceChartData(m_Session.Diary(), m_Clock());
    const auto same = [](const CDatedValue& a, const CDatedValue& b) {
        return a.day == b.day && a.value == b.value;
    };
    if (m_ChartShown && std::equal(chart.balances.begin(), chart.balances.end(), m_Balances.begin(),
                                   m_Balances.end(), same)) {
        return;
    }
    m_Balances = chart.balances;
    m_ChartShown = true;
    m_Chart->ShowChart(
        [chart](CChartFactory& factory, const CChartColours& colours, QWidget* parent) {
            return factory.MakeBalanceChart(chart, colours, parent);
        });
}

std::optional<std::size_t> CDiaryView::PlaceOf(const CRowEntry& row) const {
    const CDiaryDatabase& diary = m_Session.Diary();
    if (row.index >= diary.Entries().size()) {
        return std::nullopt;
    }
    const CDiaryEntry& entry = diary.Entries()[row.index];
    if (entry.m_ContractID != row.contractID || entry.m_StartDate != row.startDate) {
        return std::nullopt;
    }
    return row.index;
}

std::optional<CDiaryView::CRowEntry> CDiaryView::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = m_List->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    const int row = selected.front()->row();
    if (row < 0 || row >= static_cast<int>(m_RowEntries.size())) {
        return std::nullopt;
    }
    return m_RowEntries[static_cast<std::size_t>(row)];
}

void CDiaryView::UpdateEntryButtons() {
    const bool selected = m_List->selectionModel()->hasSelection();
    m_Edit->setEnabled(selected);
    m_Delete->setEnabled(selected);
}

void CDiaryView::EditStartBalance() {
    CDiaryDatabase& diary = m_Session.Diary();
    CStartBalanceDlg dialog(diary.StartBalance(), m_Session.Messages(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    diary.SetStartBalance(dialog.Amount());
    RefreshDiary();
}

void CDiaryView::ChangeMonthBalance() {
    CDiaryDatabase& diary = m_Session.Diary();
    if (Mode() != DiaryRangeMode::Month) {
        return;
    }
    const CDiaryRangeChoice choice = Choice();
    const std::string key = MonthKey(static_cast<unsigned>(choice.year), choice.month);
    CChangeBalanceDlg dialog(diary.MonthChange(key).value_or(0.0), m_Session.Messages(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    diary.SetMonthChange(key, dialog.Amount());
    RefreshDiary();
}

void CDiaryView::EditSelectedEntry() {
    const std::optional<CRowEntry> row = SelectedRow();
    const std::optional<std::size_t> place = row ? PlaceOf(*row) : std::nullopt;
    if (!place) {
        // The row is out of date: show the diary as it is now.
        RefreshDiary();
        return;
    }
    CDiaryEntryDlg dialog(m_Session.Diary().Entries()[*place], m_Session.Messages(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // Looked up again: the dialog ran its own event loop.
    if (const std::optional<std::size_t> still = PlaceOf(*row)) {
        *m_Session.Diary().EntryAt(*still) = dialog.Entry();
    }
    RefreshDiary();
}

void CDiaryView::DeleteSelectedEntry() {
    if (const std::optional<CRowEntry> row = SelectedRow()) {
        if (const std::optional<std::size_t> place = PlaceOf(*row)) {
            m_Session.Diary().RemoveEntry(*place);
        }
    }
    RefreshDiary();
}

void CDiaryView::PlaceControls() {
    const QFontMetrics metrics(font());
    const int line = m_Mode->sizeHint().height();
    const int top = kMargin;

    const int modeWidth = m_Mode->sizeHint().width();
    m_Mode->setGeometry(kMargin, top, modeWidth, line);
    const int monthLeft = kMargin + modeWidth + kMargin;
    m_MonthPlace = QRect(monthLeft, top, m_Month->sizeHint().width(), line);
    m_Month->setGeometry(m_MonthPlace);
    m_YearPlace = QRect(m_MonthPlace.right() + 1 + kMargin, top, m_Year->sizeHint().width(), line);
    m_Year->setGeometry(m_YearPlace);
    const QSize picker = m_PeriodStart->sizeHint().expandedTo(
        QSize(metrics.horizontalAdvance(QStringLiteral("00-May-0000")) + 3 * line, line));
    m_PeriodStart->setGeometry(QRect(QPoint(monthLeft, top), picker));
    m_PeriodEnd->setGeometry(QRect(QPoint(monthLeft + picker.width() + kMargin, top), picker));

    // Captions as wide as the widest caption of any mode.
    int captionWidth = 0;
    for (const char* caption : {"Balance at Starting of Period:", "Balance at Ending of Period:",
                                "Total Net Profit in Period:", "Total Net Profit % in Period:",
                                "Balance at Starting of Month:", "Total Net Profit % in Month:"}) {
        captionWidth =
            std::max(captionWidth, metrics.horizontalAdvance(QString::fromLatin1(caption)));
    }
    const int figureWidth = metrics.horizontalAdvance(QString::fromLatin1(kWidestFigure));
    const int buttonHeight = m_StartBalance->sizeHint().height();
    const int rowHeight = std::max(buttonHeight, metrics.height()) + 4;
    const int buttonWidth =
        std::max(m_StartBalance->sizeHint().width(), m_ChangeBalance->sizeHint().width());
    int y = top + line + kMargin;
    for (std::size_t i = 0; i < m_Captions.size(); ++i) {
        m_Captions[i]->setGeometry(kMargin, y, captionWidth, rowHeight);
        m_Figures[i]->setGeometry(kMargin + captionWidth + kMargin, y, figureWidth, rowHeight);
        y += rowHeight;
    }
    const int buttonsLeft = kMargin + captionWidth + kMargin + figureWidth + kMargin;
    const int firstFigureRow = top + line + kMargin;
    m_StartBalance->setGeometry(buttonsLeft, firstFigureRow + (rowHeight - buttonHeight) / 2,
                                buttonWidth, buttonHeight);
    m_ChangeBalance->setGeometry(buttonsLeft,
                                 firstFigureRow + rowHeight + (rowHeight - buttonHeight) / 2,
                                 buttonWidth, buttonHeight);

    const int entryWidth = std::max(m_Edit->sizeHint().width(), m_Delete->sizeHint().width());
    m_Edit->setGeometry(0, y + kMargin, entryWidth, m_Edit->sizeHint().height());
    m_Delete->setGeometry(0, y + kMargin, entryWidth, m_Delete->sizeHint().height());
    m_Split->move(kMargin, m_Edit->geometry().bottom() + 1 + kMargin);
    PlaceListAndButtons();
}

void CDiaryView::PlaceListAndButtons() {
    // The list and its chart keep their top-left corner; their right and bottom margins
    // equal the left one.
    const QPoint corner = m_Split->pos();
    m_Split->resize(std::max(0, width() - corner.x() - corner.x()),
                    std::max(0, height() - corner.y() - corner.x()));
    PlaceEntryButtons();
}

void CDiaryView::PlaceEntryButtons() {
    const int listRight = m_List->mapTo(this, QPoint(m_List->width(), 0)).x();
    m_Delete->move(listRight - m_Delete->width(), m_Delete->y());
    m_Edit->move(m_Delete->x() - kMargin - m_Edit->width(), m_Edit->y());
}

bool CDiaryView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_List && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        PlaceEntryButtons();
    }
    return QWidget::eventFilter(watched, event);
}

int CDiaryView::ListWidth() const {
    const int columns = kOpenDateWidth + kCloseDateWidth + kStockCodeWidth + kNetProfitWidth;
    return columns + m_List->frameWidth() * 2 + m_List->verticalScrollBar()->sizeHint().width();
}

void CDiaryView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceListAndButtons();
}

QSize CDiaryView::sizeHint() const {
    const int listWidth = ListWidth();
    const int rows = 8;
    const int listHeight = m_List->horizontalHeader()->sizeHint().height() +
                           rows * m_List->verticalHeader()->defaultSectionSize() +
                           m_List->frameWidth() * 2;
    const int contentRight = m_StartBalance->geometry().right() + 1 + kMargin;
    // The chart beside the list takes about as much room again.
    const int chartWidth = listWidth + m_Split->handleWidth();
    return {std::max(kMargin + listWidth + chartWidth + kMargin, contentRight),
            m_Split->y() + listHeight + kMargin};
}

} // namespace strikeline
