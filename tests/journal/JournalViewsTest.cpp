// The Diary window and its dialogs driven as the user drives them: real widgets on the
// offscreen platform over the program's one diary, with the dialogs answered while the
// window waits for them.

#include "gui/journal/JournalViews.h"

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/journal/ChangeBalanceDlg.h"
#include "gui/journal/DiaryEntryDlg.h"
#include "gui/journal/DiaryView.h"
#include "gui/journal/StartBalanceDlg.h"
#include "journal/DiaryDatabase.h"
#include "journal/JournalViewTestSupport.h"
#include "session/Session.h"
#include "support/ScopedEnvironment.h"
#include "support/UserMessageLog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <memory>

namespace strikeline {

namespace {

using test::CModalAnswer;
using test::CUserMessageLog;

// A universal-time moment from test data; a typo in the data stops the run.
FileTime At(const char* text) {
    FileTime value = kNoDate;
    if (!ParseFileTime(text, TimeZoneMode::Universal, value)) {
        qFatal("bad test time %s", text);
    }
    return value;
}

const FileTime kNow = At("2010-04-15 12:00:00");

FileTime FixedNow() {
    return kNow;
}

CDiaryEntry Trade(const char* contract, const char* opened, double neProfit,
                  double eProfit = UNSET_VALUE) {
    CDiaryEntry entry;
    entry.m_ContractID = contract;
    entry.m_CompanyID = "BHP";
    entry.m_StartDate = At(opened);
    entry.m_NEProfit = neProfit;
    entry.m_EProfit = eProfit;
    return entry;
}

// An entry whose every dialog field holds a value the dialog takes back unchanged.
CDiaryEntry FullEntry() {
    CDiaryEntry entry = Trade("BHPKZ9", "2010-04-13 05:30:00", 120.5, 300);
    entry.m_DateExpiry = At("2010-06-24 00:00:00");
    entry.m_Shares = 1000;
    entry.m_Contracts = 1;
    entry.m_SharePrice = 42.1;
    entry.m_Cost = 42100;
    entry.m_Brokerage = 29.95;
    entry.m_StrikePrice = 44;
    entry.m_Premium = 1.25;
    entry.m_NEBrokerage = 0;
    entry.m_NEReturn = 2.5;
    entry.m_EBrokerage = 29.95;
    entry.m_EReturn = 7.1;
    entry.m_DividendsValue = 0.87;
    entry.m_DividendsDate = At("2010-05-03 00:00:00");
    return entry;
}

QStringList RowTexts(const QTableWidget& list, int row) {
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column) {
        const QTableWidgetItem* item = list.item(row, column);
        texts << (item != nullptr ? item->text() : QStringLiteral("<none>"));
    }
    return texts;
}

QStringList Figures(const CDiaryView& view) {
    QStringList texts;
    for (int i = 0; i < 4; ++i) {
        texts << view.Figure(i)->text();
    }
    return texts;
}

QStringList Captions(const CDiaryView& view) {
    QStringList texts;
    for (int i = 0; i < 4; ++i) {
        texts << view.Caption(i)->text();
    }
    return texts;
}

// The captions of a group's fields, top to bottom.
QStringList FormCaptions(const QGroupBox& group) {
    QStringList captions;
    const auto* form = qobject_cast<const QFormLayout*>(group.layout());
    for (int row = 0; form != nullptr && row < form->rowCount(); ++row) {
        const QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
        const auto* text =
            label != nullptr ? qobject_cast<const QLabel*>(label->widget()) : nullptr;
        captions << (text != nullptr ? text->text() : QString());
    }
    return captions;
}

// The next widget Tab reaches.
QWidget* NextTabStop(QWidget* widget) {
    for (QWidget* next = widget->nextInFocusChain(); next != widget;
         next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) != 0 && next->isEnabled()) {
            return next;
        }
    }
    return nullptr;
}

} // namespace

class CJournalViewsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The entry dialog.
    void DialogShowsTheEntryInItsGroups();
    void DialogRefusesAFieldWithItsMessage_data();
    void DialogRefusesAFieldWithItsMessage();
    void DialogTakesDatesAndBlankFigures_data();
    void DialogTakesDatesAndBlankFigures();
    void DialogNamesOnlyTheFirstFailingField();

    // The Diary window.
    void EmptyDiaryShowsTheStartBalanceTwice();
    void ModesShowTheirSelectorsAndCaptions_data();
    void ModesShowTheirSelectorsAndCaptions();
    void MonthViewCountsEarlierTradesAndMonthChanges();
    void YearViewCountsChangesOnlyUpToJanuary();
    void PeriodEndingBeforeItsStartListsTheStartDay();
    void AllViewEndsBefore2100();
    void StartBalanceRefusesTextAndZeroLeavesNoPercentage();
    void EditShowsTheNewFiguresAtOnceAndCancelChangesNothing();
    void DoubleClickOnARowOpensTheEntry();
    void DeleteRemovesTheEntryAndDisablesTheButtons();
    void AStaleRowReachesNoOtherEntry();
    void ResizeKeepsTheListMarginsAndTheButtonsAtItsEdge();
    void DiaryCommandOpensOneWindow();

private:
    CDiaryDatabase& Diary() { return m_Session->Diary(); }

    std::unique_ptr<test::CScopedEnv> m_Zone;
    std::unique_ptr<CUserMessageLog> m_Messages;
    std::unique_ptr<CSession> m_Session;
};

void CJournalViewsTest::initTestCase() {
    // Local time is universal time here, so the dates the windows show are the stored ones.
    m_Zone = std::make_unique<test::CScopedEnv>("TZ", "UTC");
}

void CJournalViewsTest::init() {
    m_Messages = std::make_unique<CUserMessageLog>();
    m_Session = std::make_unique<CSession>(std::string(), m_Messages.get());
}

void CJournalViewsTest::cleanup() {
    m_Session.reset();
    m_Messages.reset();
}

// The entry dialog.

void CJournalViewsTest::DialogShowsTheEntryInItsGroups() {
    CDiaryEntry entry = FullEntry();
    entry.m_NEReturn = NA_VALUE;
    entry.m_Premium = UNSET_VALUE;
    entry.m_DividendsDate = kNoDate;
    CDiaryEntryDlg dialog(entry, *m_Messages);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Diary Entry"));

    QStringList titles;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        titles << group->title();
    }
    QCOMPARE(titles, (QStringList{"General", "Not Exercised", "Exercised", "Dividends"}));
    const QList<QGroupBox*> groups = dialog.findChildren<QGroupBox*>();
    QCOMPARE(FormCaptions(*groups[0]),
             (QStringList{"Contract Code:", "Expiry Date:", "Shares:", "Contracts:", "Share Price:",
                          "Cost:", "Brokerage:", "Strike Price:", "Premium:"}));
    QCOMPARE(FormCaptions(*groups[1]), (QStringList{"Brokerage:", "Profit:", "Return:"}));
    QCOMPARE(FormCaptions(*groups[2]), (QStringList{"Brokerage:", "Profit:", "Return:"}));
    QCOMPARE(FormCaptions(*groups[3]), (QStringList{"Value:", "Date:"}));

    QCOMPARE(dialog.ContractCodeEdit()->text(), QStringLiteral("BHPKZ9"));
    QVERIFY(dialog.ContractCodeEdit()->isReadOnly());
    const auto text = [&dialog](DiaryEntryField field) {
        return dialog.FieldEdit(field)->text();
    };
    QCOMPARE(text(DiaryEntryField::ExpiryDate), QStringLiteral("2010-06-24 00:00:00"));
    QCOMPARE(text(DiaryEntryField::Shares), QStringLiteral("1000"));
    QCOMPARE(text(DiaryEntryField::SharePrice), QStringLiteral("42.1"));
    QCOMPARE(text(DiaryEntryField::Premium), QString());
    QCOMPARE(text(DiaryEntryField::NEProfit), QStringLiteral("120.5"));
    QCOMPARE(text(DiaryEntryField::NEReturn), QStringLiteral("N/A"));
    QCOMPARE(text(DiaryEntryField::DividendsValue), QStringLiteral("0.87"));
    QCOMPARE(text(DiaryEntryField::DividendsDate), QString());
    // Tab walks the editable fields in screen order, group after group.
    QWidget* stop = dialog.FieldEdit(DiaryEntryField::ExpiryDate);
    for (int field = 1; field < static_cast<int>(CDiaryEntryDlg::kFieldCount); ++field) {
        stop = NextTabStop(stop);
        QCOMPARE(stop, dialog.FieldEdit(static_cast<DiaryEntryField>(field)));
    }
}

void CJournalViewsTest::DialogRefusesAFieldWithItsMessage_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const auto add = [](const char* name, DiaryEntryField field, const char* text,
                        const char* message) {
        QTest::newRow(name) << static_cast<int>(field) << QString::fromLatin1(text)
                            << QString::fromLatin1(message);
    };
    add("blank expiry", DiaryEntryField::ExpiryDate, "", "Invalid expiry date");
    add("expiry no date", DiaryEntryField::ExpiryDate, "soon", "Invalid expiry date");
    add("shares N/A", DiaryEntryField::Shares, "N/A", "Invalid shares");
    add("contracts text", DiaryEntryField::Contracts, "one", "Invalid contracts");
    add("share price", DiaryEntryField::SharePrice, "abc", "Invalid share price");
    add("cost marker", DiaryEntryField::Cost, "-1000000000", "Invalid cost");
    add("brokerage", DiaryEntryField::Brokerage, "$", "Invalid brokerage");
    add("strike", DiaryEntryField::StrikePrice, "x", "Invalid strike price");
    add("premium", DiaryEntryField::Premium, "N/A", "Invalid premium");
    add("NE brokerage", DiaryEntryField::NEBrokerage, "-", "Invalid Not-Exercised brokerage");
    add("NE profit", DiaryEntryField::NEProfit, "-1000000000", "Invalid Not-Exercised profit");
    add("NE return shown N/A", DiaryEntryField::NEReturn, "N/A", "Invalid Not-Exercised return");
    add("E brokerage", DiaryEntryField::EBrokerage, "?", "Invalid Exercised brokerage");
    // Beyond what the diary file can hold: the diary would not load again.
    add("E profit too large", DiaryEntryField::EProfit, "1e10", "Invalid Exercised profit");
    add("E return", DiaryEntryField::EReturn, "abc", "Invalid Exercised return");
    add("dividends", DiaryEntryField::DividendsValue, "N/A", "Invalid dividends");
    add("dividends date", DiaryEntryField::DividendsDate, "someday", "Invalid dividends date");
}

void CJournalViewsTest::DialogRefusesAFieldWithItsMessage() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    CUserMessageLog& messages = *m_Messages;
    const CDiaryEntry entry = FullEntry();
    CDiaryEntryDlg dialog(entry, *m_Messages);
    dialog.show();
    QLineEdit* edit = dialog.FieldEdit(static_cast<DiaryEntryField>(field));
    edit->setText(text);
    dialog.accept();
    QCOMPARE(messages.texts, QStringList{message});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.focusWidget(), edit);
    QVERIFY(dialog.Entry() == entry);

    // Cleared (or, for a date, made right) the field no longer stops OK.
    edit->setText(field == static_cast<int>(DiaryEntryField::ExpiryDate) ? "13-Apr-2010" : "");
    dialog.accept();
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void CJournalViewsTest::DialogTakesDatesAndBlankFigures_data() {
    QTest::addColumn<QString>("expiry");
    QTest::addColumn<QString>("stored");
    QTest::newRow("day month year") << "13-Apr-2010"
                                    << "2010-04-13 00:00:00";
    QTest::newRow("date and time") << "2010-04-13 10:00"
                                   << "2010-04-13 10:00:00";
}

void CJournalViewsTest::DialogTakesDatesAndBlankFigures() {
    QFETCH(QString, expiry);
    QFETCH(QString, stored);
    CUserMessageLog& messages = *m_Messages;
    CDiaryEntry entry; // no expiry, no figures at all
    entry.m_ContractID = "ANZ";
    CDiaryEntryDlg dialog(entry, *m_Messages);
    dialog.FieldEdit(DiaryEntryField::ExpiryDate)->setText(expiry);
    dialog.FieldEdit(DiaryEntryField::Shares)->setText(" 2000");
    dialog.FieldEdit(DiaryEntryField::EReturn)->setText("-3.5");
    dialog.accept();
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const CDiaryEntry& taken = dialog.Entry();
    QCOMPARE(taken.m_DateExpiry, At(stored.toLatin1().constData()));
    QCOMPARE(taken.m_Shares, 2000.0);
    QCOMPARE(taken.m_EReturn, -3.5);
    QCOMPARE(taken.m_Cost, UNSET_VALUE);
    QCOMPARE(taken.m_NEProfit, UNSET_VALUE);
    QCOMPARE(taken.m_DividendsDate, kNoDate);
    QCOMPARE(taken.m_ContractID, std::string("ANZ"));
}

void CJournalViewsTest::DialogNamesOnlyTheFirstFailingField() {
    CUserMessageLog& messages = *m_Messages;
    CDiaryEntryDlg dialog(FullEntry(), *m_Messages);
    dialog.FieldEdit(DiaryEntryField::Premium)->setText("abc");
    dialog.FieldEdit(DiaryEntryField::Cost)->setText("N/A");
    dialog.FieldEdit(DiaryEntryField::DividendsDate)->setText("abc");
    dialog.accept();
    QCOMPARE(messages.texts, QStringList{"Invalid cost"});
    QCOMPARE(dialog.focusWidget(), dialog.FieldEdit(DiaryEntryField::Cost));
}

// The Diary window.

void CJournalViewsTest::EmptyDiaryShowsTheStartBalanceTwice() {
    CDiaryView view(*m_Session, FixedNow);
    QCOMPARE(view.ModeList()->currentText(), QStringLiteral("Showing for the Month"));
    QCOMPARE(view.MonthList()->currentText(), QStringLiteral("April"));
    QCOMPARE(view.YearList()->currentText(), QStringLiteral("2010"));
    QCOMPARE(view.YearList()->itemText(0), QStringLiteral("2007"));
    QCOMPARE(view.MonthList()->count(), 12);
    QCOMPARE(view.ModeList()->count(), 4);
    QCOMPARE(Figures(view), (QStringList{"$10000", "$10000", "$0", "0%"}));
    QCOMPARE(view.EntryList()->rowCount(), 0);
    QVERIFY(!view.EditButton()->isEnabled());
    QVERIFY(!view.DeleteButton()->isEnabled());

    QTableWidget* list = view.EntryList();
    QStringList columns;
    for (int column = 0; column < list->columnCount(); ++column) {
        columns << list->horizontalHeaderItem(column)->text();
    }
    QCOMPARE(columns, (QStringList{"Open Date", "Close Date", "Stock Code", "Net Profit"}));
    QCOMPARE(list->columnWidth(0), 200);
    QCOMPARE(list->columnWidth(1), 200);
    QCOMPARE(list->columnWidth(2), 100);
    QCOMPARE(list->columnWidth(3), 100);
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(list->showGrid());
}

void CJournalViewsTest::ModesShowTheirSelectorsAndCaptions_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("month");
    QTest::addColumn<bool>("year");
    QTest::addColumn<bool>("period");
    QTest::addColumn<bool>("change");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("month") << 0 << true << true << false << true
                           << QStringList{
                                  "Balance at Starting of Month:", "Balance at Ending of Month:",
                                  "Total Net Profit in Month:", "Total Net Profit % in Month:"};
    QTest::newRow("year") << 1 << false << true << false << false
                          << QStringList{
                                 "Balance at Starting of Year:", "Balance at Ending of Year:",
                                 "Total Net Profit in Year:", "Total Net Profit % in Year:"};
    QTest::newRow("period") << 2 << false << false << true << false
                            << QStringList{
                                   "Balance at Starting of Period:", "Balance at Ending of Period:",
                                   "Total Net Profit in Period:", "Total Net Profit % in Period:"};
    QTest::newRow("all") << 3 << false << false << false << false
                         << QStringList{"Balance at Start:", "Balance at End:", "Total Net Profit:",
                                        "Total Net Profit %:"};
}

void CJournalViewsTest::ModesShowTheirSelectorsAndCaptions() {
    QFETCH(int, mode);
    QFETCH(bool, month);
    QFETCH(bool, year);
    QFETCH(bool, period);
    QFETCH(bool, change);
    QFETCH(QStringList, captions);
    CDiaryView view(*m_Session, FixedNow);
    view.resize(view.sizeHint());
    view.show();
    const QRect monthPlace = view.MonthList()->geometry();
    const QRect yearPlace = view.YearList()->geometry();
    QCOMPARE(yearPlace, view.YearPlace());
    QVERIFY(yearPlace.left() > monthPlace.right());

    view.ModeList()->setCurrentIndex(mode);
    QCOMPARE(view.MonthList()->isVisible(), month);
    QCOMPARE(view.YearList()->isVisible(), year);
    QCOMPARE(view.PeriodStart()->isVisible(), period);
    QCOMPARE(view.PeriodEnd()->isVisible(), period);
    QCOMPARE(view.ChangeBalanceButton()->isVisible(), change);
    QVERIFY(view.StartBalanceButton()->isVisible());
    QCOMPARE(Captions(view), captions);
    if (year) {
        // Alone, the year list stands where the month list stood.
        QCOMPARE(view.YearList()->pos(), month ? yearPlace.topLeft() : monthPlace.topLeft());
    }
    if (period) {
        QCOMPARE(view.PeriodStart()->x(), monthPlace.x());
        QVERIFY(view.PeriodEnd()->x() > view.PeriodStart()->geometry().right());
    }

    // Back in the Month view the year list is in its own place again.
    view.ModeList()->setCurrentIndex(0);
    QCOMPARE(view.YearList()->geometry(), yearPlace);
}

void CJournalViewsTest::MonthViewCountsEarlierTradesAndMonthChanges() {
    CUserMessageLog& messages = *m_Messages;
    CDiaryEntry april = Trade("APRIL", "2010-04-13 09:00:00", 100);
    april.m_CloseDate = At("2010-04-20 16:00:00");
    Diary().AddEntry(april);
    Diary().AddEntry(Trade("MARCH", "2010-03-31 23:00:00", UNSET_VALUE, 250));
    Diary().AddEntry(Trade("MAY", "2010-05-01 00:00:00", 1000));
    Diary().AddEntry(Trade("NOPROFIT", "2010-04-02 00:00:00", UNSET_VALUE, NA_VALUE));
    CDiaryView view(*m_Session, FixedNow); // April 2010

    QCOMPARE(view.EntryList()->rowCount(), 2);
    QCOMPARE(RowTexts(*view.EntryList(), 0), (QStringList{"02-Apr-2010", "-", "NOPROFIT", ""}));
    QCOMPARE(RowTexts(*view.EntryList(), 1),
             (QStringList{"13-Apr-2010", "20-Apr-2010", "APRIL", "100"}));
    QCOMPARE(Figures(view), (QStringList{"$10250", "$10350", "$100", "0.97561%"}));

    {
        CModalAnswer<CChangeBalanceDlg> answer([](CChangeBalanceDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Month Balance"));
            QCOMPARE(dialog.AmountEdit()->text(), QStringLiteral("0"));
            dialog.AmountEdit()->setText("500");
            dialog.accept();
        });
        QTest::mouseClick(view.ChangeBalanceButton(), Qt::LeftButton);
        QVERIFY(answer.seen);
    }
    QCOMPARE(Diary().MonthChange("20104"), std::optional<double>(500.0));
    QCOMPARE(Figures(view), (QStringList{"$10750", "$10850", "$100", "0.93023%"}));

    // A change for May leaves April as it was; a change of 0 is kept like any other.
    view.MonthList()->setCurrentIndex(4);
    {
        CModalAnswer<CChangeBalanceDlg> answer([](CChangeBalanceDlg& dialog) {
            dialog.AmountEdit()->setText("0");
            dialog.accept();
        });
        view.ChangeMonthBalance();
        QVERIFY(answer.seen);
    }
    QCOMPARE(Diary().MonthChange("20105"), std::optional<double>(0.0));
    view.MonthList()->setCurrentIndex(3);
    QCOMPARE(Figures(view), (QStringList{"$10750", "$10850", "$100", "0.93023%"}));

    // The dialog offers the stored change; Cancel keeps it.
    {
        CModalAnswer<CChangeBalanceDlg> answer([](CChangeBalanceDlg& dialog) {
            QCOMPARE(dialog.AmountEdit()->text(), QStringLiteral("500"));
            dialog.AmountEdit()->setText("-20");
            dialog.reject();
        });
        view.ChangeMonthBalance();
        QVERIFY(answer.seen);
    }
    QCOMPARE(Diary().MonthChange("20104"), std::optional<double>(500.0));
    QVERIFY(messages.texts.isEmpty());
}

void CJournalViewsTest::YearViewCountsChangesOnlyUpToJanuary() {
    Diary().AddEntry(Trade("MARCH", "2010-03-31 23:00:00", UNSET_VALUE, 250));
    Diary().AddEntry(Trade("DEC09", "2009-12-31 00:00:00", 30));
    Diary().AddEntry(Trade("JAN11", "2011-01-01 00:00:00", 70));
    Diary().SetMonthChange(MonthKey(2010, 1), 40);
    Diary().SetMonthChange(MonthKey(2010, 3), 1000);
    Diary().SetMonthChange(MonthKey(2009, 9), 5);
    CDiaryView view(*m_Session, FixedNow);
    view.ModeList()->setCurrentIndex(1);
    QCOMPARE(view.EntryList()->rowCount(), 1);
    QCOMPARE(view.EntryList()->item(0, 2)->text(), QStringLiteral("MARCH"));
    QCOMPARE(Figures(view), (QStringList{"$10075", "$10325", "$250", "2.48139%"}));

    view.YearList()->setCurrentIndex(view.YearList()->findText("2011"));
    QCOMPARE(view.EntryList()->rowCount(), 1);
    QCOMPARE(view.EntryList()->item(0, 2)->text(), QStringLiteral("JAN11"));
    // Every change of 2009 and 2010 now lies before the year.
    QCOMPARE(view.Figure(0)->text(), QStringLiteral("$11325"));
}

void CJournalViewsTest::PeriodEndingBeforeItsStartListsTheStartDay() {
    Diary().AddEntry(Trade("NINTH", "2010-05-09 23:59:59", 10));
    Diary().AddEntry(Trade("TENTH", "2010-05-10 12:00:00", 20));
    Diary().AddEntry(Trade("ELEVENTH", "2010-05-11 00:00:00", 40));
    CDiaryView view(*m_Session, FixedNow);
    view.ModeList()->setCurrentIndex(2);
    view.PeriodStart()->setDate(QDate(2010, 5, 10));
    view.PeriodEnd()->setDate(QDate(2010, 5, 9));
    QCOMPARE(view.EntryList()->rowCount(), 1);
    QCOMPARE(view.EntryList()->item(0, 2)->text(), QStringLiteral("TENTH"));
    QCOMPARE(Figures(view), (QStringList{"$10010", "$10030", "$20", "0.1998%"}));

    view.PeriodEnd()->setDate(QDate(2010, 5, 11));
    QCOMPARE(view.EntryList()->rowCount(), 2);
    QCOMPARE(view.EntryList()->item(1, 2)->text(), QStringLiteral("ELEVENTH"));
}

void CJournalViewsTest::AllViewEndsBefore2100() {
    Diary().AddEntry(Trade("LAST", "2099-12-31 23:00:00", 1));
    Diary().AddEntry(Trade("NEVER", "2100-01-01 00:00:00", 1000));
    Diary().AddEntry(Trade("OLD", "1999-12-31 00:00:00", -500));
    Diary().AddEntry(Trade("FIRST", "2000-01-01 00:00:00", 2));
    Diary().SetMonthChange(MonthKey(2010, 4), 300); // no month counts in the All view
    CDiaryView view(*m_Session, FixedNow);
    view.ModeList()->setCurrentIndex(3);
    QCOMPARE(view.EntryList()->rowCount(), 2);
    QCOMPARE(view.EntryList()->item(0, 2)->text(), QStringLiteral("FIRST"));
    QCOMPARE(view.EntryList()->item(1, 2)->text(), QStringLiteral("LAST"));
    QCOMPARE(Figures(view), (QStringList{"$9500", "$9503", "$3", "0.03158%"}));
}

void CJournalViewsTest::StartBalanceRefusesTextAndZeroLeavesNoPercentage() {
    CUserMessageLog& messages = *m_Messages;
    Diary().AddEntry(Trade("APRIL", "2010-04-13 09:00:00", -12.5));
    CDiaryView view(*m_Session, FixedNow);
    QStringList refused;
    {
        CModalAnswer<CStartBalanceDlg> answer([&](CStartBalanceDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Start Balance"));
            QCOMPARE(dialog.AmountEdit()->text(), QStringLiteral("10000"));
            for (const char* text : {"abc", "12abc", "", "$5"}) {
                dialog.AmountEdit()->setText(text);
                dialog.accept();
                if (dialog.isVisible()) {
                    refused << QString::fromLatin1(text);
                }
            }
            dialog.AmountEdit()->setText(" 0 ");
            dialog.accept();
        });
        QTest::mouseClick(view.StartBalanceButton(), Qt::LeftButton);
        QVERIFY(answer.seen);
    }
    QCOMPARE(refused, (QStringList{"abc", "12abc", "", "$5"}));
    QCOMPARE(messages.texts, QStringList(4, "Please enter a number."));
    QCOMPARE(Diary().StartBalance(), 0.0);
    QCOMPARE(Figures(view), (QStringList{"$0", "$-12.5", "$-12.5", ""}));
    // Thousands separators are read; a comma that separates none is no number.
    double amount = 0.0;
    QVERIFY(CBalanceAmountDlg::ReadAmount(QStringLiteral(" 12,500.50 "), amount));
    QCOMPARE(amount, 12500.5);
    QVERIFY(!CBalanceAmountDlg::ReadAmount(QStringLiteral("12,50"), amount));
    QCOMPARE(amount, 12500.5);

    // Cancel keeps the balance.
    {
        CModalAnswer<CStartBalanceDlg> answer([](CStartBalanceDlg& dialog) {
            dialog.AmountEdit()->setText("5000");
            dialog.reject();
        });
        view.EditStartBalance();
        QVERIFY(answer.seen);
    }
    QCOMPARE(Diary().StartBalance(), 0.0);
}

void CJournalViewsTest::EditShowsTheNewFiguresAtOnceAndCancelChangesNothing() {
    CUserMessageLog& messages = *m_Messages;
    Diary().AddEntry(Trade("OTHER", "2010-04-01 00:00:00", 5));
    Diary().AddEntry(Trade("APRIL", "2010-04-13 09:00:00", 100));
    CDiaryView view(*m_Session, FixedNow);
    view.show();
    QVERIFY(!view.EditButton()->isEnabled());
    view.EntryList()->selectRow(1);
    QVERIFY(view.EditButton()->isEnabled());
    QVERIFY(view.DeleteButton()->isEnabled());

    {
        CModalAnswer<CDiaryEntryDlg> answer([](CDiaryEntryDlg& dialog) {
            QCOMPARE(dialog.ContractCodeEdit()->text(), QStringLiteral("APRIL"));
            // The refused figure keeps the dialog open until it is put right.
            dialog.FieldEdit(DiaryEntryField::ExpiryDate)->setText("22-Apr-2010");
            dialog.FieldEdit(DiaryEntryField::NEProfit)->setText("N/A");
            dialog.accept();
            QVERIFY(dialog.isVisible());
            dialog.FieldEdit(DiaryEntryField::NEProfit)->setText("300");
            dialog.accept();
        });
        QTest::mouseClick(view.EditButton(), Qt::LeftButton);
        QVERIFY(answer.seen);
    }
    QCOMPARE(messages.texts, QStringList{"Invalid Not-Exercised profit"});
    QCOMPARE(Diary().Entries()[1].m_NEProfit, 300.0);
    QCOMPARE(Diary().Entries()[1].m_DateExpiry, At("2010-04-22 00:00:00"));
    QCOMPARE(Diary().Entries()[0].m_NEProfit, 5.0);
    QCOMPARE(RowTexts(*view.EntryList(), 1), (QStringList{"13-Apr-2010", "-", "APRIL", "300"}));
    QCOMPARE(Figures(view), (QStringList{"$10000", "$10305", "$305", "3.05%"}));
    // The refresh cleared the selection.
    QVERIFY(!view.EditButton()->isEnabled());

    const CDiaryEntry before = Diary().Entries()[0];
    view.EntryList()->selectRow(0);
    {
        CModalAnswer<CDiaryEntryDlg> answer([](CDiaryEntryDlg& dialog) {
            dialog.FieldEdit(DiaryEntryField::ExpiryDate)->setText("22-Apr-2010");
            dialog.FieldEdit(DiaryEntryField::NEProfit)->setText("999");
            dialog.reject();
        });
        view.EditSelectedEntry();
        QVERIFY(answer.seen);
    }
    QVERIFY(Diary().Entries()[0] == before);
    QCOMPARE(Figures(view), (QStringList{"$10000", "$10305", "$305", "3.05%"}));
}

void CJournalViewsTest::DoubleClickOnARowOpensTheEntry() {
    Diary().AddEntry(Trade("APRIL", "2010-04-13 09:00:00", 100));
    CDiaryView view(*m_Session, FixedNow);
    view.resize(view.sizeHint());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTableWidget* list = view.EntryList();
    const QPoint row = list->visualItemRect(list->item(0, 2)).center();
    QString opened;
    CModalAnswer<CDiaryEntryDlg> answer([&opened](CDiaryEntryDlg& dialog) {
        opened = dialog.ContractCodeEdit()->text();
        dialog.reject();
    });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    QVERIFY(answer.seen);
    QCOMPARE(opened, QStringLiteral("APRIL"));
}

void CJournalViewsTest::DeleteRemovesTheEntryAndDisablesTheButtons() {
    Diary().AddEntry(Trade("MAY", "2010-05-03 00:00:00", 7));
    Diary().AddEntry(Trade("APRIL", "2010-04-13 09:00:00", 100));
    CDiaryView view(*m_Session, FixedNow);
    view.show();
    QCOMPARE(view.EntryList()->rowCount(), 1);
    view.EntryList()->selectRow(0);
    QTest::mouseClick(view.DeleteButton(), Qt::LeftButton);
    QCOMPARE(Diary().Entries().size(), std::size_t{1});
    QCOMPARE(Diary().Entries()[0].m_ContractID, std::string("MAY"));
    QCOMPARE(view.EntryList()->rowCount(), 0);
    QVERIFY(!view.EditButton()->isEnabled());
    QVERIFY(!view.DeleteButton()->isEnabled());
    QCOMPARE(Figures(view), (QStringList{"$10000", "$10000", "$0", "0%"}));
}

void CJournalViewsTest::AStaleRowReachesNoOtherEntry() {
    Diary().AddEntry(Trade("FIRST", "2010-04-01 00:00:00", 1));
    Diary().AddEntry(Trade("SECOND", "2010-04-02 00:00:00", 2));
    CDiaryView view(*m_Session, FixedNow);
    view.EntryList()->selectRow(1);
    // The diary changes under the window: another entry now stands where SECOND stood.
    Diary().RemoveEntry(0);
    Diary().AddEntry(Trade("THIRD", "2010-04-03 00:00:00", 3));
    view.DeleteSelectedEntry();
    QCOMPARE(Diary().Entries().size(), std::size_t{2});
    QCOMPARE(Diary().Entries()[0].m_ContractID, std::string("SECOND"));
    QCOMPARE(Diary().Entries()[1].m_ContractID, std::string("THIRD"));
    // The window now lists the diary as it is.
    QCOMPARE(view.EntryList()->rowCount(), 2);
    QCOMPARE(view.EntryList()->item(1, 2)->text(), QStringLiteral("THIRD"));

    view.EntryList()->selectRow(0); // SECOND
    Diary().RemoveEntry(0);
    Diary().AddEntry(Trade("FOURTH", "2010-04-04 00:00:00", 4));
    CModalAnswer<CDiaryEntryDlg> answer([](CDiaryEntryDlg& dialog) { dialog.accept(); });
    view.EditSelectedEntry();
    QVERIFY(!answer.seen);
    QCOMPARE(RowTexts(*view.EntryList(), 0), (QStringList{"03-Apr-2010", "-", "THIRD", "3"}));
    QCOMPARE(view.EntryList()->rowCount(), 2);
}

void CJournalViewsTest::ResizeKeepsTheListMarginsAndTheButtonsAtItsEdge() {
    CDiaryView view(*m_Session, FixedNow);
    view.show();
    // The list shares its place with the balance chart beside it.
    QCOMPARE(view.EntryList()->parentWidget(), static_cast<QWidget*>(view.ListArea()));
    QCOMPARE(view.EntryList()->pos(), QPoint(0, 0));
    const QPoint corner = view.ListArea()->pos();
    QCOMPARE(corner.x(), CDiaryView::kMargin);
    QVERIFY(corner.y() > view.EditButton()->geometry().bottom());
    for (const QSize size : {QSize(900, 640), QSize(700, 520), QSize(1200, 800)}) {
        view.resize(size);
        const QRect list = view.ListArea()->geometry();
        QCOMPARE(list.topLeft(), corner);
        QCOMPARE(size.width() - (list.right() + 1), corner.x());
        QCOMPARE(size.height() - (list.bottom() + 1), corner.x());
        // The entry buttons at the list's right edge, the chart beside it.
        const QTableWidget& entries = *view.EntryList();
        QCOMPARE(view.DeleteButton()->geometry().right(),
                 entries.mapTo(&view, QPoint(entries.width() - 1, 0)).x());
        QVERIFY(list.right() > view.DeleteButton()->geometry().right());
        QCOMPARE(view.EditButton()->geometry().right() + 1 + CDiaryView::kMargin,
                 view.DeleteButton()->x());
    }
}

void CJournalViewsTest::DiaryCommandOpensOneWindow() {
    test::CMainFrameTestHost host;
    CMainFrame frame(host);
    RegisterJournalViews(frame, FixedNow);
    frame.resize(1200, 800);
    frame.show();
    QVERIFY(frame.Action(ID_DIARY)->isEnabled());
    QVERIFY(frame.OnCommand(ID_DIARY));
    auto* diary = qobject_cast<CDiaryView*>(frame.GetView(ViewKind::Diary, false, false));
    QVERIFY(diary != nullptr);
    QCOMPARE(frame.MdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Diary"));
    QVERIFY(frame.OnCommand(ID_DIARY));
    QCOMPARE(frame.GetView(ViewKind::Diary, false, false), diary);
    int diaries = 0;
    for (const QMdiSubWindow* window : frame.MdiArea()->subWindowList()) {
        diaries += window->windowTitle() == QStringLiteral("Diary") ? 1 : 0;
    }
    QCOMPARE(diaries, 1);
    // The whole form shows in the window it opens in.
    QVERIFY(diary->width() >= diary->EntryList()->x() + 600);
}

} // namespace strikeline

QTEST_MAIN(strikeline::CJournalViewsTest)
#include "JournalViewsTest.moc"
