#include "gui/reports/ReportSettingsView.h"

#include "gui/app/MainFrame.h"
#include "gui/app/RefreshKind.h"
#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"
#include "reports/ReportSettings.h"
#include "reports/ReportTexts.h"
#include "session/Session.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace strikeline {

namespace {

// Every list offers its choices in the order of the stored values.
const char* const kStocksChoices[] = {"List All", "List Highest 10", "Select Stocks", "Top 20"};
const char* const kExpireChoices[] = {"Current Month", "Current Month and Next Month", "Next Month",
                                      "All"};
const char* const kRangeChoices[] = {"Show All", "$0 - $5",  "$0 - $10", "$0 - $20",
                                     "$0 - $30", "$0 - $40", "$0 - $50"};
const char* const kRemoveOldChoices[] = {"On", "Off"};
const char* const kSortModeChoices[] = {"Name", "Price", "Yield", "Strike price", "ASX Fair Price"};
const char* const kSortDirectionChoices[] = {"Ascending", "Descending"};
constexpr int kAscending = 0;
constexpr int kDescending = 1;
constexpr int kShowAll = 0;

template <std::size_t N> QComboBox* MakeList(QWidget* parent, const char* const (&choices)[N]) {
    auto* list = new QComboBox(parent);
    for (const char* choice : choices) {
        list->addItem(QString::fromLatin1(choice));
    }
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

// A stored value outside the list selects nothing, and nothing selected saves as -1.
void SelectPosition(QComboBox* list, std::int32_t value) {
    list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
}

QLabel* MakeLabel(QWidget* parent, const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// The liquidity floors: 0 is no floor, shown as "Off".
constexpr int kMostOpenInterest = 10000000;
constexpr double kMostPremium = 1000.0;

QSpinBox* MakeOpenInterestBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, kMostOpenInterest);
    box->setSpecialValueText(QStringLiteral("Off"));
    return box;
}

QDoubleSpinBox* MakePremiumBox(QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0.0, kMostPremium);
    box->setDecimals(3);
    box->setSingleStep(0.005);
    box->setSpecialValueText(QStringLiteral("Off"));
    return box;
}

} // namespace

CReportSettingsView::CReportSettingsView(ReportKind kind, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), m_Kind(kind), m_Frame(&frame), m_Session(frame.Session()),
      m_Stocks(MakeList(this, kStocksChoices)), m_Companies(new QListWidget(this)),
      m_Hint(
          new QLabel(QStringLiteral("*Use CTRL and SHIFT keys to select multiple stocks."), this)),
      m_Expire(MakeList(this, kExpireChoices)), m_Range(MakeList(this, kRangeChoices)),
      m_RemoveOld(MakeList(this, kRemoveOldChoices)), m_SortMode(MakeList(this, kSortModeChoices)),
      m_SortDirection(MakeList(this, kSortDirectionChoices)),
      m_MinOpenInterest(MakeOpenInterestBox(this)), m_MinPremium(MakePremiumBox(this)),
      m_Save(new QPushButton(QStringLiteral("Save Settings"), this)) {
    // A form on the window colour, its texts in the window-text colour, as list boxes are.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
    setPalette(colours);
    setAutoFillBackground(true);

    const QFontMetrics metrics(font());
    m_Companies->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_Companies->setFixedSize(metrics.averageCharWidth() * 40, metrics.lineSpacing() * 9);
    // Enter on the focused button saves, as it would in a dialog.
    m_Save->setAutoDefault(true);

    auto* removeOldLabel = MakeLabel(this, "Remove options not traded for more than 2 days:");
    removeOldLabel->setWordWrap(true);
    // Two lines, as narrow as the other captions allow.
    removeOldLabel->setFixedWidth(
        metrics.horizontalAdvance(QStringLiteral("Remove options not traded for")) +
        metrics.averageCharWidth());

    auto* sort = new QHBoxLayout;
    sort->addWidget(m_SortMode);
    sort->addWidget(m_SortDirection);
    sort->addStretch(1);

    auto* liquidity = new QGroupBox(QStringLiteral("Liquidity"), this);
    auto* floors = new QFormLayout(liquidity);
    floors->addRow(QStringLiteral("Least open interest:"), m_MinOpenInterest);
    floors->addRow(QStringLiteral("Least premium ($):"), m_MinPremium);

    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    grid->addWidget(MakeLabel(this, "Stocks:"), 0, 0);
    grid->addWidget(m_Stocks, 0, 1, left);
    grid->addWidget(m_Companies, 1, 1, 1, 2, left);
    grid->addWidget(m_Hint, 2, 1, 1, 2, left);
    grid->addWidget(MakeLabel(this, "Expiring:"), 3, 0);
    grid->addWidget(m_Expire, 3, 1, 1, 2, left);
    grid->addWidget(MakeLabel(this, "Price Range:"), 4, 0);
    grid->addWidget(m_Range, 4, 1, left);
    grid->addWidget(removeOldLabel, 5, 0);
    grid->addWidget(m_RemoveOld, 5, 1, left);
    grid->addWidget(MakeLabel(this, "Sort:"), 6, 0);
    grid->addLayout(sort, 6, 1, 1, 2);
    grid->addWidget(liquidity, 7, 0, 1, 3, left);
    grid->addWidget(m_Save, 8, 1, left);
    // With the stock list hidden the block below it moves up and the spare room stays at
    // the bottom.
    grid->setRowStretch(9, 1);

    setTabOrder(m_Stocks, m_Companies);
    setTabOrder(m_Companies, m_Expire);
    setTabOrder(m_Expire, m_Range);
    setTabOrder(m_Range, m_RemoveOld);
    setTabOrder(m_RemoveOld, m_SortMode);
    setTabOrder(m_SortMode, m_SortDirection);
    setTabOrder(m_SortDirection, m_MinOpenInterest);
    setTabOrder(m_MinOpenInterest, m_MinPremium);
    setTabOrder(m_MinPremium, m_Save);

    // Measured while every control is still in the layout, in the looks it will be shown in.
    ensurePolished();
    m_FullSize = grid->sizeHint();

    connect(m_Stocks, &QComboBox::currentIndexChanged, this, &CReportSettingsView::ApplyLayoutRule);
    connect(m_Save, &QPushButton::clicked, this, &CReportSettingsView::SaveSettings);
    FillFromSettings();
}

QSize CReportSettingsView::sizeHint() const {
    return m_FullSize.expandedTo(QWidget::sizeHint());
}

void CReportSettingsView::FillFromSettings() {
    const CReportSettings& settings = m_Session.ReportSettings(m_Kind);
    SelectPosition(m_Stocks, settings.Stocks());
    SelectPosition(m_Expire, settings.Expire());
    SelectPosition(m_Range, settings.Range());
    SelectPosition(m_RemoveOld, settings.RemoveOld());
    SelectPosition(m_SortMode, settings.SortMode());
    m_SortDirection->setCurrentIndex(settings.SortAscending() ? kAscending : kDescending);
    m_MinOpenInterest->setValue(settings.MinOpenInterest());
    m_MinPremium->setValue(settings.MinPremium());
    FillStockList();
    ApplyLayoutRule();
}

void CReportSettingsView::FillStockList() {
    const std::shared_ptr<const CMarketSnapshot> market = m_Session.Market().Current();
    const std::vector<CStockListLine> lines =
        BuildStockList(market->Companies(m_Kind == ReportKind::Call), market->CompanyNames());
    const CCodeSet chosen(m_Session.ReportSettings(m_Kind).CompanyList());
    m_Companies->clear();
    for (const CStockListLine& line : lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text), m_Companies);
        item->setData(kCodeRole, QString::fromStdString(line.code));
        item->setSelected(chosen.Contains(line.code));
    }
    if (m_Companies->count() > 0) {
        // The keyboard starts on the first chosen line, without changing the selection.
        const QList<QListWidgetItem*> selected = m_Companies->selectedItems();
        m_Companies->setCurrentItem(selected.isEmpty() ? m_Companies->item(0) : selected.front(),
                                    QItemSelectionModel::NoUpdate);
    }
}

bool CReportSettingsView::SelectStocksChosen() const {
    return m_Stocks->currentIndex() == CReportSettings::SelectStocks;
}

void CReportSettingsView::ApplyLayoutRule() {
    const bool selectStocks = SelectStocksChosen();
    m_Companies->setVisible(selectStocks);
    m_Hint->setVisible(selectStocks);
    if (selectStocks) {
        m_Range->setCurrentIndex(kShowAll);
    }
    m_Range->setEnabled(!selectStocks);
}

bool CReportSettingsView::SaveSettings() {
    const bool selectStocks = SelectStocksChosen();
    std::vector<std::string> codes;
    if (selectStocks) {
        for (int i = 0; i < m_Companies->count(); ++i) {
            const QListWidgetItem* item = m_Companies->item(i);
            if (item->isSelected()) {
                codes.push_back(item->data(kCodeRole).toString().toStdString());
            }
        }
        // Refused before anything is copied: a report rebuilt later (after a download, say)
        // must not pick up choices the user was told were not saved.
        if (codes.empty()) {
            m_Session.Messages().Show("Please select at least one company.", MessageKind::Warning);
            m_Companies->setFocus();
            return false;
        }
    }
    CReportSettings& settings = m_Session.ReportSettings(m_Kind);
    settings.SetStocks(m_Stocks->currentIndex());
    settings.SetExpire(m_Expire->currentIndex());
    settings.SetRange(m_Range->currentIndex());
    settings.SetRemoveOld(m_RemoveOld->currentIndex());
    settings.SetSortMode(m_SortMode->currentIndex());
    settings.SetSortAscending(m_SortDirection->currentIndex() == kAscending);
    settings.SetMinOpenInterest(m_MinOpenInterest->value());
    settings.SetMinPremium(m_MinPremium->value());
    if (selectStocks) {
        settings.SetCompanyList(std::move(codes));
    }
    if (m_Frame) {
        m_Frame->RefreshView(m_Kind == ReportKind::Call ? RefreshKind::CallReport
                                                        : RefreshKind::PutReport);
        // The main window passes this on only when the Short List is open.
        m_Frame->RefreshView(RefreshKind::ShortList);
        // The user saved to see the report anew: it comes to the front when it is open.
        m_Frame->GetView(m_Kind == ReportKind::Call ? ViewKind::CallReport : ViewKind::PutReport,
                         false, true);
    }
    CloseWindow();
    return true;
}

void CReportSettingsView::CloseWindow() {
    for (QWidget* window = parentWidget(); window != nullptr; window = window->parentWidget()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(window)) {
            frame->close();
            return;
        }
    }
    close();
}

} // namespace strikeline
