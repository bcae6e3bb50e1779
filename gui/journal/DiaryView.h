#pragma once

#include "gui/charts/ChartFactory.h"
#include "gui/journal/JournalClock.h"
#include "journal/DiaryListing.h"

#include <QRect>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;

namespace strikeline {

class CChartPanel;
class CSession;

class CDiaryDatabase;

// The Diary window: the trades opened in a chosen month, year or range of days (or all of
// them) with the balance at the start and at the end of that range, the net profit in it
// and that profit as a percentage. From here the user edits or deletes a trade and sets
// the start balance and the change of a month. It reads and changes the program's one
// diary; with none set it shows an empty one and changes nothing. Beside the list, a chart
// draws the balance at the end of every month.
class CDiaryView : public QWidget {
    Q_OBJECT

public:
    // Room between the controls and around the form.
    static constexpr int kMargin = 10;
    static constexpr int kOpenDateWidth = 200;
    static constexpr int kCloseDateWidth = 200;
    static constexpr int kStockCodeWidth = 100;
    static constexpr int kNetProfitWidth = 100;

    explicit CDiaryView(CSession& session, CJournalClock clock = SystemJournalNow,
                        QWidget* parent = nullptr);

    // Lists the entries of the chosen range and works out the four figures; the selection
    // is cleared.
    void RefreshDiary();

    // The buttons' work, as a click does it.
    void EditStartBalance();
    void ChangeMonthBalance();
    void EditSelectedEntry();
    void DeleteSelectedEntry();

    DiaryRangeMode Mode() const;
    QComboBox* ModeList() const { return m_Mode; }
    QComboBox* MonthList() const { return m_Month; }
    QComboBox* YearList() const { return m_Year; }
    QDateEdit* PeriodStart() const { return m_PeriodStart; }
    QDateEdit* PeriodEnd() const { return m_PeriodEnd; }
    QLabel* Caption(int index) const { return m_Captions.at(static_cast<std::size_t>(index)); }
    QLabel* Figure(int index) const { return m_Figures.at(static_cast<std::size_t>(index)); }
    QPushButton* StartBalanceButton() const { return m_StartBalance; }
    QPushButton* ChangeBalanceButton() const { return m_ChangeBalance; }
    QPushButton* EditButton() const { return m_Edit; }
    QPushButton* DeleteButton() const { return m_Delete; }
    QTableWidget* EntryList() const { return m_List; }
    // The list and the balance chart side by side, placed where the list alone was.
    QSplitter* ListArea() const { return m_Split; }
    CChartPanel* BalanceChart() const { return m_Chart; }
    // Where the form puts the year list when it stands beside the month list.
    QRect YearPlace() const { return m_YearPlace; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a row was built from: an action reaches the entry only while the entry at that
    // place is still the one listed (the diary may have changed under the window).
    struct CRowEntry {
        std::size_t index = 0;
        std::string contractID;
        FileTime startDate = kNoDate;
    };

    CDiaryRangeChoice Choice() const;
    std::optional<std::size_t> PlaceOf(const CRowEntry& row) const;
    std::optional<CRowEntry> SelectedRow() const;
    void UpdateEntryButtons();
    void PlaceControls();
    void PlaceListAndButtons();
    void PlaceEntryButtons();
    int ListWidth() const;
    void RefreshChart();

    CSession& m_Session;
    CJournalClock m_Clock;
    std::vector<int> m_Years;
    QComboBox* m_Mode;
    QComboBox* m_Month;
    QComboBox* m_Year;
    QDateEdit* m_PeriodStart;
    QDateEdit* m_PeriodEnd;
    std::array<QLabel*, 4> m_Captions{};
    std::array<QLabel*, 4> m_Figures{};
    QPushButton* m_StartBalance;
    QPushButton* m_ChangeBalance;
    QPushButton* m_Edit;
    QPushButton* m_Delete;
    QTableWidget* m_List;
    QSplitter* m_Split;
    CChartPanel* m_Chart;
    // What the chart draws now, so that a refresh that changes no balance redraws nothing.
    std::vector<CDatedValue> m_Balances;
    bool m_ChartShown = false;
    QRect m_MonthPlace;
    QRect m_YearPlace;
    std::vector<CRowEntry> m_RowEntries;
};

} // namespace strikeline
