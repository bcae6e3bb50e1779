#pragma once

#include "reports/ReportKind.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace strikeline {

class CSession;

class CMainFrame;

// The settings form of the Call or the Put Report: which stocks, which expiry months, the
// highest strike, whether stale series are dropped, the order, and the least open interest
// and premium a series needs. It edits the kind's settings record only when "Save Settings"
// is pressed; then it asks the main window to rebuild that report (and the Short List) and
// closes its window.
class CReportSettingsView : public QWidget {
    Q_OBJECT

public:
    // The stock list's lines carry their company code in this role.
    static constexpr int kCodeRole = Qt::UserRole;

    CReportSettingsView(ReportKind kind, CMainFrame& frame, QWidget* parent = nullptr);

    ReportKind Kind() const { return m_Kind; }

    // Takes every choice and the stock list from the settings record and the market data.
    void FillFromSettings();
    // "Save Settings". False when the choices were refused (no stock selected under
    // "Select Stocks"); the window then stays open.
    bool SaveSettings();

    QComboBox* StocksList() const { return m_Stocks; }
    QListWidget* CompanyListBox() const { return m_Companies; }
    QLabel* HintLabel() const { return m_Hint; }
    QComboBox* ExpireList() const { return m_Expire; }
    QComboBox* RangeList() const { return m_Range; }
    QComboBox* RemoveOldList() const { return m_RemoveOld; }
    QComboBox* SortModeList() const { return m_SortMode; }
    QComboBox* SortDirectionList() const { return m_SortDirection; }
    QSpinBox* MinOpenInterestBox() const { return m_MinOpenInterest; }
    QDoubleSpinBox* MinPremiumBox() const { return m_MinPremium; }
    QPushButton* SaveButton() const { return m_Save; }

    // Room for the form with the stock list shown, so that the window, which keeps its
    // size, never has to grow when "Select Stocks" is chosen.
    QSize sizeHint() const override;

private:
    void FillStockList();
    // Shows the stock list only under "Select Stocks", where the price range does not apply.
    void ApplyLayoutRule();
    bool SelectStocksChosen() const;
    void CloseWindow();

    ReportKind m_Kind;
    QPointer<CMainFrame> m_Frame;
    CSession& m_Session;
    QComboBox* m_Stocks;
    QListWidget* m_Companies;
    QLabel* m_Hint;
    QComboBox* m_Expire;
    QComboBox* m_Range;
    QComboBox* m_RemoveOld;
    QComboBox* m_SortMode;
    QComboBox* m_SortDirection;
    QSpinBox* m_MinOpenInterest;
    QDoubleSpinBox* m_MinPremium;
    QPushButton* m_Save;
    QSize m_FullSize;
};

} // namespace strikeline
