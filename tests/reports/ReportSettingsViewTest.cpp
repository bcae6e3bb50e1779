// The report settings forms inside the real main window, driven with the mouse and the
// keyboard: what they show on a first run, how the stock list is made and laid out, what
// "Save Settings" writes, and which windows it asks to rebuild.

#include "gui/reports/ReportSettingsView.h"

#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/app/UserMessages.h"
#include "gui/reports/ReportSettingsViews.h"
#include "marketdata/CompanyNameTable.h"
#include "reports/ReportSettings.h"
#include "session/ApplicationState.h"
#include "session/Session.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/UserMessageLog.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstdlib>
#include <memory>

using namespace strikeline;

namespace {

// A stand-in for a table window that notes every refresh request it gets, in one log
// shared by all of them so that the order shows.
class CRefreshLog {
public:
    QStringList entries;
};

class CLoggingView : public QLabel, public CRefreshableView {
public:
    CLoggingView(QString name, CRefreshLog& log)
        : QLabel(name), m_Name(std::move(name)), m_Log(log) {}
    void RefreshView() override { m_Log.entries << m_Name; }

private:
    QString m_Name;
    CRefreshLog& m_Log;
};

using CMessageLog = test::CUserMessageLog;

CCompanyInfo Company(const std::string& code) {
    CCompanyInfo company;
    company.SetCode(code);
    company.SetLast(10.0);
    return company;
}

// The real program on its own folders with a feed address nobody answers, its main window
// shown, the settings forms registered, and the market data the test gives.
class CProgram {
public:
    CProgram()
        : m_Feed("STRIKELINE_FEED_URL", "http://127.0.0.1:9"),
          m_Site("STRIKELINE_SITE_URL", "http://127.0.0.1:9"),
          m_App(CStartOptions{m_Folder.File("data"), m_Folder.File("settings.reg"),
                              QString::fromStdString(m_Folder.File("instance")), false,
                              &m_Messages}) {}
    ~CProgram() {
        if (m_Started) {
            Exit();
        }
    }
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    bool Start() {
        m_Started = m_App.InitInstance();
        if (!m_Started) {
            return false;
        }
        RegisterReportSettingsViews(Frame());
        // The downloader has read the (absent) data files by now: this is the market.
        std::vector<CCompanyInfo> calls;
        calls.push_back(Company("BHP"));
        calls.push_back(Company("ZZZ")); // no name in the names list
        calls.push_back(Company("CBA"));
        Session().Market().PublishCalls(std::move(calls));
        std::vector<CCompanyInfo> puts;
        puts.push_back(Company("WOW"));
        Session().Market().PublishPuts(std::move(puts));
        CCompanyNameTable names;
        names.Add("BHP", "BHP Group");
        names.Add("ANZ", "ANZ Bank"); // only in the names list
        names.Add("CBA", "Commonwealth Bank");
        Session().Market().PublishCompanyNames(std::move(names));
        return QTest::qWaitForWindowActive(&Frame());
    }

    // Writes the settings and frees the shared objects, as closing the program does.
    void Exit() {
        Frame().close();
        m_App.ExitInstance(0);
        m_Started = false;
    }

    CMainFrame& Frame() { return *m_App.MainFrame(); }
    CSession& Session() { return m_App.Session(); }
    // The program's messages from now on.
    CMessageLog& Messages() {
        m_Messages.texts.clear();
        return m_Messages;
    }
    std::string File(const std::string& name) const { return m_Folder.File(name); }

    // A table window of `kind` that logs its refreshes under `name`, opened by `command`.
    void OpenLoggingView(ViewKind kind, int command, const QString& name) {
        Frame().RegisterView(kind, {name, true, true, {}, [this, name] {
                                        return new CLoggingView(name, m_Log);
                                    }});
        Frame().OnCommand(command);
    }
    QStringList Refreshes() const { return m_Log.entries; }

    // Opens the settings form of a kind through its menu command.
    CReportSettingsView* OpenSettings(ReportKind kind) {
        const bool call = kind == ReportKind::Call;
        Frame().OnCommand(call ? ID_EDIT_CALL_SETTINGS : ID_EDIT_PUT_SETTINGS);
        auto* view = qobject_cast<CReportSettingsView*>(
            Frame().GetView(call ? ViewKind::CallSettings : ViewKind::PutSettings, false, false));
        if (view != nullptr) {
            Settle(*view);
        }
        return view;
    }
    QWidget* OpenSettingsWindow(ReportKind kind) {
        return Frame().GetView(kind == ReportKind::Call ? ViewKind::CallSettings
                                                        : ViewKind::PutSettings,
                               false, false);
    }

    // Lets shown and hidden controls take their places.
    static void Settle(QWidget& view) {
        QApplication::processEvents();
        if (view.layout() != nullptr) {
            view.layout()->activate();
        }
    }

private:
    test::CTempFolder m_Folder;
    test::CScopedEnv m_Feed;
    test::CScopedEnv m_Site;
    CMessageLog m_Messages;
    CApplication m_App;
    CRefreshLog m_Log;
    bool m_Started = false;
};

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->itemText(i);
    }
    return items;
}

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines << list->item(i)->text();
    }
    return lines;
}

QStringList SelectedLines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) {
            lines << list->item(i)->text();
        }
    }
    return lines;
}

QListWidgetItem* Line(const QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

// A click on a line of the stock list, with Ctrl or Shift when asked.
void ClickLine(QListWidget* list, const QString& text,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QListWidgetItem* item = Line(list, text);
    QVERIFY2(item != nullptr, qPrintable(text));
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(item).center());
}

// Chooses an entry of a drop-down list from the keyboard, as a user tabbing through does.
void ChooseByKeyboard(QComboBox* list, int index) {
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
    }
}

std::vector<std::string> Codes(std::initializer_list<const char*> codes) {
    return {codes.begin(), codes.end()};
}

} // namespace

class ReportSettingsViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName("Strikeline"); }
    void FirstRunShowsTheDefaults();
    void ListsOfferTheirChoicesInOrder();
    void WindowsAreTitledPerKindAndKeepTheirSize();
    void SelectStocksShowsTheListAndFixesThePriceRange();
    void TheBlockBelowTheListMovesWithIt();
    void StockListJoinsTheDataAndTheNamesList();
    void StoredCompaniesArePreselectedWhateverTheirCase();
    void NoCompanySelectedIsRefused();
    void ACompanyOnlyInTheNamesListCanBeChosen();
    void SavingRewritesTheCompanyListInTheStore();
    void SavingCopiesEveryChoiceAndKeepsTheListOutsideSelectStocks();
    void AStoredValueOutsideItsListSelectsNothing();
    void SavingRefreshesItsReportAndAnOpenShortList();
    void PutSettingsRefreshThePutReport();
    void TheFormWorksFromTheKeyboardAlone();
    void AReopenedFormShowsWhatWasSaved();
    void LiquidityFloorsAreTypedAndSaved();
};

void ReportSettingsViewTest::FirstRunShowsTheDefaults() {
    CProgram program;
    QVERIFY(program.Start());
    for (const ReportKind kind : {ReportKind::Call, ReportKind::Put}) {
        CReportSettingsView* view = program.OpenSettings(kind);
        QVERIFY(view != nullptr);
        QCOMPARE(view->Kind(), kind);
        QCOMPARE(view->StocksList()->currentText(), QString("List All"));
        QCOMPARE(view->ExpireList()->currentText(), QString("Current Month"));
        QCOMPARE(view->RangeList()->currentText(), QString("Show All"));
        QCOMPARE(view->RemoveOldList()->currentText(), QString("On"));
        QCOMPARE(view->SortModeList()->currentText(), QString("Name"));
        QCOMPARE(view->SortDirectionList()->currentText(), QString("Ascending"));
        QVERIFY(view->RangeList()->isEnabled());
        QVERIFY(!view->CompanyListBox()->isVisible());
        QVERIFY(!view->HintLabel()->isVisible());
        QVERIFY(view->SaveButton()->isVisible());
        QCOMPARE(view->SaveButton()->text(), QString("Save Settings"));
        QVERIFY(!program.Session().ReportSettings(kind).DisplayLeveragedBar());
    }
}

void ReportSettingsViewTest::ListsOfferTheirChoicesInOrder() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    QCOMPARE(Items(view->StocksList()),
             (QStringList{"List All", "List Highest 10", "Select Stocks", "Top 20"}));
    QCOMPARE(Items(view->ExpireList()),
             (QStringList{"Current Month", "Current Month and Next Month", "Next Month", "All"}));
    QCOMPARE(Items(view->RangeList()), (QStringList{"Show All", "$0 - $5", "$0 - $10", "$0 - $20",
                                                    "$0 - $30", "$0 - $40", "$0 - $50"}));
    QCOMPARE(Items(view->RemoveOldList()), (QStringList{"On", "Off"}));
    QCOMPARE(Items(view->SortModeList()),
             (QStringList{"Name", "Price", "Yield", "Strike price", "ASX Fair Price"}));
    QCOMPARE(Items(view->SortDirectionList()), (QStringList{"Ascending", "Descending"}));
    for (QComboBox* list : view->findChildren<QComboBox*>()) {
        QVERIFY(!list->isEditable());
    }
    QStringList labels;
    for (const QLabel* label : view->findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const char* caption :
         {"Stocks:", "Expiring:", "Price Range:", "Remove options not traded for more than 2 days:",
          "Sort:", "*Use CTRL and SHIFT keys to select multiple stocks."}) {
        QVERIFY2(labels.contains(caption), caption);
    }
}

void ReportSettingsViewTest::WindowsAreTitledPerKindAndKeepTheirSize() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* call = program.OpenSettings(ReportKind::Call);
    CReportSettingsView* put = program.OpenSettings(ReportKind::Put);
    QVERIFY(call != nullptr && put != nullptr);
    auto* callFrame = qobject_cast<QMdiSubWindow*>(call->parentWidget());
    auto* putFrame = qobject_cast<QMdiSubWindow*>(put->parentWidget());
    QVERIFY(callFrame != nullptr && putFrame != nullptr);
    QCOMPARE(callFrame->windowTitle(), QString("Settings for Call Report"));
    QCOMPARE(putFrame->windowTitle(), QString("Settings for Put Report"));
    // Not resizable, and big enough for the stock list that "Select Stocks" shows.
    QCOMPARE(callFrame->minimumSize(), callFrame->maximumSize());
    const QSize before = callFrame->size();
    ChooseByKeyboard(call->StocksList(), CReportSettings::SelectStocks);
    CProgram::Settle(*call);
    QCOMPARE(callFrame->size(), before);
    QVERIFY(call->rect().contains(call->CompanyListBox()->geometry()));
    QVERIFY(call->rect().contains(call->SaveButton()->geometry()));
    // Painted on the window colour, like a list box, not on a dialog's face.
    QCOMPARE(call->palette().color(QPalette::Window), call->palette().color(QPalette::Base));
    QVERIFY(call->autoFillBackground());
}

void ReportSettingsViewTest::SelectStocksShowsTheListAndFixesThePriceRange() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    ChooseByKeyboard(view->RangeList(), 3);
    QCOMPARE(view->RangeList()->currentText(), QString("$0 - $20"));

    ChooseByKeyboard(view->StocksList(), CReportSettings::SelectStocks);
    QCOMPARE(view->StocksList()->currentText(), QString("Select Stocks"));
    QVERIFY(view->CompanyListBox()->isVisible());
    QVERIFY(view->HintLabel()->isVisible());
    QCOMPARE(view->HintLabel()->text(),
             QString("*Use CTRL and SHIFT keys to select multiple stocks."));
    QVERIFY(!view->RangeList()->isEnabled());
    QCOMPARE(view->RangeList()->currentText(), QString("Show All"));
    QCOMPARE(view->CompanyListBox()->selectionMode(), QAbstractItemView::ExtendedSelection);

    // Another stock mode gives the price range back, still on "Show All".
    QTest::keyClick(view->StocksList(), Qt::Key_Down);
    QCOMPARE(view->StocksList()->currentText(), QString("Top 20"));
    QVERIFY(!view->CompanyListBox()->isVisible());
    QVERIFY(!view->HintLabel()->isVisible());
    QVERIFY(view->RangeList()->isEnabled());
    QCOMPARE(view->RangeList()->currentText(), QString("Show All"));
}

void ReportSettingsViewTest::TheBlockBelowTheListMovesWithIt() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    const QRect expireHidden = view->ExpireList()->geometry();
    const QRect saveHidden = view->SaveButton()->geometry();

    ChooseByKeyboard(view->StocksList(), CReportSettings::SelectStocks);
    CProgram::Settle(*view);
    const QRect list = view->CompanyListBox()->geometry();
    const QRect hint = view->HintLabel()->geometry();
    const QRect expireShown = view->ExpireList()->geometry();
    const QRect saveShown = view->SaveButton()->geometry();
    QVERIFY(list.top() > view->StocksList()->geometry().bottom());
    QVERIFY(hint.top() > list.bottom());
    // The block starts below the list and its hint line...
    QVERIFY(expireShown.top() > hint.bottom());
    // ... and, without them, where the list would start.
    QVERIFY(expireHidden.top() < list.bottom());
    QVERIFY(expireHidden.top() >= view->StocksList()->geometry().bottom());
    // Everything in it moves by the same distance.
    QCOMPARE(saveShown.top() - saveHidden.top(), expireShown.top() - expireHidden.top());
    QCOMPARE(expireShown.left(), expireHidden.left());

    ChooseByKeyboard(view->StocksList(), CReportSettings::ListHighest10);
    CProgram::Settle(*view);
    QCOMPARE(view->ExpireList()->geometry(), expireHidden);
    QCOMPARE(view->SaveButton()->geometry(), saveHidden);
}

void ReportSettingsViewTest::StockListJoinsTheDataAndTheNamesList() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* call = program.OpenSettings(ReportKind::Call);
    QVERIFY(call != nullptr);
    // Alphabetical; a code without a name stands alone; a name without data is listed.
    QCOMPARE(Lines(call->CompanyListBox()),
             (QStringList{"ANZ - ANZ Bank", "BHP - BHP Group", "CBA - Commonwealth Bank", "ZZZ"}));
    QCOMPARE(call->CompanyListBox()->item(0)->data(CReportSettingsView::kCodeRole).toString(),
             QString("ANZ"));
    QCOMPARE(call->CompanyListBox()->item(3)->data(CReportSettingsView::kCodeRole).toString(),
             QString("ZZZ"));
    QVERIFY(SelectedLines(call->CompanyListBox()).isEmpty());

    // The Put form lists the put data's companies, not the call data's.
    CReportSettingsView* put = program.OpenSettings(ReportKind::Put);
    QVERIFY(put != nullptr);
    QCOMPARE(Lines(put->CompanyListBox()),
             (QStringList{"ANZ - ANZ Bank", "BHP - BHP Group", "CBA - Commonwealth Bank", "WOW"}));
}

void ReportSettingsViewTest::StoredCompaniesArePreselectedWhateverTheirCase() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettings& settings = program.Session().ReportSettings(ReportKind::Call);
    settings.SetStocks(CReportSettings::SelectStocks);
    settings.SetCompanyList(Codes({"bhp", "Zzz", "QAN"}));
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    QCOMPARE(view->StocksList()->currentText(), QString("Select Stocks"));
    QVERIFY(view->CompanyListBox()->isVisible());
    QCOMPARE(SelectedLines(view->CompanyListBox()), (QStringList{"BHP - BHP Group", "ZZZ"}));
    QVERIFY(!view->RangeList()->isEnabled());
}

void ReportSettingsViewTest::NoCompanySelectedIsRefused() {
    CProgram program;
    QVERIFY(program.Start());
    program.OpenLoggingView(ViewKind::CallReport, ID_YIELD_CALL_REPORTS, "Call");
    program.OpenLoggingView(ViewKind::ShortList, ID_SHORT_LIST_OPEN, "Short List");
    CReportSettings& settings = program.Session().ReportSettings(ReportKind::Call);
    settings.SetCompanyList(Codes({"BHP"}));
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    // The stored company is preselected even while another stock mode is chosen.
    QCOMPARE(SelectedLines(view->CompanyListBox()), QStringList{"BHP - BHP Group"});
    ChooseByKeyboard(view->StocksList(), CReportSettings::SelectStocks);
    ChooseByKeyboard(view->ExpireList(), CReportSettings::NextMonth);
    ClickLine(view->CompanyListBox(), "BHP - BHP Group", Qt::ControlModifier);
    QVERIFY(SelectedLines(view->CompanyListBox()).isEmpty());

    CMessageLog& messages = program.Messages();
    view->SaveButton()->setFocus();
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QCOMPARE(messages.texts, QStringList{"Please select at least one company."});
    QVERIFY(view->CompanyListBox()->hasFocus());
    QCOMPARE(program.OpenSettingsWindow(ReportKind::Call), view);
    QVERIFY(program.Refreshes().isEmpty());
    // A refused save leaves the record as it was, so a later rebuild shows the old report.
    QCOMPARE(settings.Stocks(), std::int32_t{CReportSettings::ListAll});
    QCOMPARE(settings.Expire(), std::int32_t{CReportSettings::CurrentMonth});
    QCOMPARE(settings.CompanyList(), Codes({"BHP"}));

    // A selection then goes through.
    ClickLine(view->CompanyListBox(), "CBA - Commonwealth Bank");
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(settings.Stocks(), std::int32_t{CReportSettings::SelectStocks});
    QCOMPARE(settings.Expire(), std::int32_t{CReportSettings::NextMonth});
    QCOMPARE(settings.CompanyList(), Codes({"CBA"}));
    QCOMPARE(program.Refreshes(), (QStringList{"Call", "Short List"}));
}

void ReportSettingsViewTest::ACompanyOnlyInTheNamesListCanBeChosen() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    ChooseByKeyboard(view->StocksList(), CReportSettings::SelectStocks);
    CProgram::Settle(*view);
    // Shift extends from the line clicked first: ANZ down to CBA.
    ClickLine(view->CompanyListBox(), "ANZ - ANZ Bank");
    ClickLine(view->CompanyListBox(), "CBA - Commonwealth Bank", Qt::ShiftModifier);
    QCOMPARE(SelectedLines(view->CompanyListBox()),
             (QStringList{"ANZ - ANZ Bank", "BHP - BHP Group", "CBA - Commonwealth Bank"}));
    // Ctrl adds a line and takes one away.
    ClickLine(view->CompanyListBox(), "ZZZ", Qt::ControlModifier);
    ClickLine(view->CompanyListBox(), "BHP - BHP Group", Qt::ControlModifier);
    QCOMPARE(SelectedLines(view->CompanyListBox()),
             (QStringList{"ANZ - ANZ Bank", "CBA - Commonwealth Bank", "ZZZ"}));
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    // Codes in list order, the one without option data among them.
    QCOMPARE(program.Session().ReportSettings(ReportKind::Call).CompanyList(),
             Codes({"ANZ", "CBA", "ZZZ"}));
    QTRY_VERIFY(program.OpenSettingsWindow(ReportKind::Call) == nullptr);
}

void ReportSettingsViewTest::SavingRewritesTheCompanyListInTheStore() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettings& settings = program.Session().ReportSettings(ReportKind::Call);
    settings.SetStocks(CReportSettings::SelectStocks);
    settings.SetCompanyList(Codes({"BHP", "ZZZ", "CBA"}));
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    ClickLine(view->CompanyListBox(), "ZZZ", Qt::ControlModifier);
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QCOMPARE(settings.CompanyList(), Codes({"BHP", "CBA"}));

    // What the program writes at exit holds the two codes and nothing of the third.
    program.Exit();
    const std::string stored = test::ReadTextFile(program.File("settings.reg"));
    QVERIFY(stored.find("\"0\"=\"BHP\"") != std::string::npos);
    QVERIFY(stored.find("\"1\"=\"CBA\"") != std::string::npos);
    QVERIFY(stored.find("\"2\"=") == std::string::npos);
    QVERIFY(stored.find("ZZZ") == std::string::npos);
}

void ReportSettingsViewTest::SavingCopiesEveryChoiceAndKeepsTheListOutsideSelectStocks() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettings& settings = program.Session().ReportSettings(ReportKind::Call);
    settings.SetCompanyList(Codes({"BHP"}));
    settings.SetDisplayLeveragedBar(true);
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    ChooseByKeyboard(view->StocksList(), CReportSettings::ListHighest10);
    ChooseByKeyboard(view->ExpireList(), CReportSettings::NextMonth);
    ChooseByKeyboard(view->RangeList(), 2);
    ChooseByKeyboard(view->RemoveOldList(), CReportSettings::kRemoveOldOff);
    ChooseByKeyboard(view->SortModeList(), CReportSettings::ByYield);
    ChooseByKeyboard(view->SortDirectionList(), 1);
    QCOMPARE(view->SortDirectionList()->currentText(), QString("Descending"));
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QCOMPARE(settings.Stocks(), std::int32_t{CReportSettings::ListHighest10});
    QCOMPARE(settings.Expire(), std::int32_t{CReportSettings::NextMonth});
    QCOMPARE(settings.Range(), 2);
    QCOMPARE(settings.RemoveOld(), CReportSettings::kRemoveOldOff);
    QCOMPARE(settings.SortMode(), std::int32_t{CReportSettings::ByYield});
    QVERIFY(!settings.SortAscending());
    QVERIFY(settings.DisplayLeveragedBar()); // not the form's to change
    QCOMPARE(settings.CompanyList(), Codes({"BHP"}));
    // The Put record is another record.
    QCOMPARE(program.Session().ReportSettings(ReportKind::Put), CReportSettings());
}

void ReportSettingsViewTest::AStoredValueOutsideItsListSelectsNothing() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettings& settings = program.Session().ReportSettings(ReportKind::Put);
    settings.SetRange(9);
    settings.SetSortMode(-3);
    CReportSettingsView* view = program.OpenSettings(ReportKind::Put);
    QVERIFY(view != nullptr);
    QCOMPARE(view->RangeList()->currentIndex(), -1);
    QCOMPARE(view->SortModeList()->currentIndex(), -1);
    QCOMPARE(view->ExpireList()->currentText(), QString("Current Month"));
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QCOMPARE(settings.Range(), -1);
    QCOMPARE(settings.SortMode(), -1);
    QCOMPARE(settings.Expire(), 0);
}

void ReportSettingsViewTest::SavingRefreshesItsReportAndAnOpenShortList() {
    CProgram program;
    QVERIFY(program.Start());
    program.OpenLoggingView(ViewKind::CallReport, ID_YIELD_CALL_REPORTS, "Call");
    program.OpenLoggingView(ViewKind::PutReport, ID_YIELD_PUT_REPORTS, "Put");
    // A Short List that is registered but not open is neither opened nor refreshed.
    bool shortListMade = false;
    program.Frame().RegisterView(ViewKind::ShortList, {"Short List", true, true, {}, [&] {
                                                           shortListMade = true;
                                                           return new QLabel;
                                                       }});
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    QPointer<QWidget> window = view->parentWidget();
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QCOMPARE(program.Refreshes(), QStringList{"Call"});
    QVERIFY(!shortListMade);
    QVERIFY(program.OpenSettingsWindow(ReportKind::Call) == nullptr);
    QTRY_VERIFY(window.isNull());
}

void ReportSettingsViewTest::PutSettingsRefreshThePutReport() {
    CProgram program;
    QVERIFY(program.Start());
    program.OpenLoggingView(ViewKind::CallReport, ID_YIELD_CALL_REPORTS, "Call");
    program.OpenLoggingView(ViewKind::PutReport, ID_YIELD_PUT_REPORTS, "Put");
    program.OpenLoggingView(ViewKind::ShortList, ID_SHORT_LIST_OPEN, "Short List");
    CReportSettingsView* view = program.OpenSettings(ReportKind::Put);
    QVERIFY(view != nullptr);
    ChooseByKeyboard(view->SortModeList(), CReportSettings::ByPrice);
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QCOMPARE(program.Refreshes(), (QStringList{"Put", "Short List"}));
    QCOMPARE(program.Session().ReportSettings(ReportKind::Put).SortMode(),
             std::int32_t{CReportSettings::ByPrice});
    QCOMPARE(program.Session().ReportSettings(ReportKind::Call), CReportSettings());
}

void ReportSettingsViewTest::TheFormWorksFromTheKeyboardAlone() {
    CProgram program;
    QVERIFY(program.Start());
    program.OpenLoggingView(ViewKind::CallReport, ID_YIELD_CALL_REPORTS, "Call");
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    program.Frame().MdiArea()->setActiveSubWindow(
        qobject_cast<QMdiSubWindow*>(view->parentWidget()));
    view->StocksList()->setFocus();
    QTRY_VERIFY(view->StocksList()->hasFocus());
    QTest::keyClick(view->StocksList(), Qt::Key_Down);
    QTest::keyClick(view->StocksList(), Qt::Key_Down);
    QCOMPARE(view->StocksList()->currentText(), QString("Select Stocks"));

    // Tab walks the form top to bottom; the disabled price range is passed over.
    const auto tab = [] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    };
    tab();
    QCOMPARE(QApplication::focusWidget(), view->CompanyListBox());
    // Down selects the next line, Ctrl+Down and Ctrl+Space add another one.
    QTest::keyClick(view->CompanyListBox(), Qt::Key_Down);
    QTest::keyClick(view->CompanyListBox(), Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(view->CompanyListBox(), Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(SelectedLines(view->CompanyListBox()).size(), 2);
    const QStringList chosen = SelectedLines(view->CompanyListBox());
    tab();
    QCOMPARE(QApplication::focusWidget(), view->ExpireList());
    QTest::keyClick(view->ExpireList(), Qt::Key_End);
    tab();
    QCOMPARE(QApplication::focusWidget(), view->RemoveOldList());
    tab();
    QCOMPARE(QApplication::focusWidget(), view->SortModeList());
    tab();
    QCOMPARE(QApplication::focusWidget(), view->SortDirectionList());
    QTest::keyClick(view->SortDirectionList(), Qt::Key_Down);
    tab();
    QCOMPARE(QApplication::focusWidget(), view->MinOpenInterestBox());
    tab();
    QCOMPARE(QApplication::focusWidget(), view->MinPremiumBox());
    tab();
    QCOMPARE(QApplication::focusWidget(), view->SaveButton());
    QTest::keyClick(view->SaveButton(), Qt::Key_Return);

    const CReportSettings& settings = program.Session().ReportSettings(ReportKind::Call);
    QCOMPARE(settings.Stocks(), std::int32_t{CReportSettings::SelectStocks});
    QCOMPARE(settings.Expire(), std::int32_t{CReportSettings::AllMonths});
    QVERIFY(!settings.SortAscending());
    QCOMPARE(settings.CompanyList().size(), std::size_t{2});
    QVERIFY(chosen.first().startsWith(QString::fromStdString(settings.CompanyList()[0])));
    QVERIFY(chosen.last().startsWith(QString::fromStdString(settings.CompanyList()[1])));
    QCOMPARE(program.Refreshes(), QStringList{"Call"});
}

void ReportSettingsViewTest::AReopenedFormShowsWhatWasSaved() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* view = program.OpenSettings(ReportKind::Call);
    QVERIFY(view != nullptr);
    QPointer<CReportSettingsView> first = view;
    ChooseByKeyboard(view->StocksList(), CReportSettings::SelectStocks);
    ChooseByKeyboard(view->SortModeList(), CReportSettings::ByFairPrice);
    ClickLine(view->CompanyListBox(), "CBA - Commonwealth Bank");
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);
    QTRY_VERIFY(first.isNull());

    CReportSettingsView* again = program.OpenSettings(ReportKind::Call);
    QVERIFY(again != nullptr);
    QCOMPARE(again->StocksList()->currentText(), QString("Select Stocks"));
    QCOMPARE(again->SortModeList()->currentText(), QString("ASX Fair Price"));
    QCOMPARE(SelectedLines(again->CompanyListBox()), QStringList{"CBA - Commonwealth Bank"});
}

void ReportSettingsViewTest::LiquidityFloorsAreTypedAndSaved() {
    CProgram program;
    QVERIFY(program.Start());
    CReportSettingsView* view = program.OpenSettings(ReportKind::Put);
    QVERIFY(view != nullptr);
    QSpinBox* openInterest = view->MinOpenInterestBox();
    QDoubleSpinBox* premium = view->MinPremiumBox();
    QVERIFY(openInterest->isVisible() && premium->isVisible());
    auto* group = qobject_cast<QGroupBox*>(openInterest->parentWidget());
    QVERIFY(group != nullptr);
    QCOMPARE(group->title(), QString("Liquidity"));
    QCOMPARE(premium->parentWidget(), group);
    QStringList labels;
    for (const QLabel* label : group->findChildren<QLabel*>()) {
        labels << label->text();
    }
    QCOMPARE(labels, (QStringList{"Least open interest:", "Least premium ($):"}));
    // Both start off, and 0 is shown as "Off".
    QCOMPARE(openInterest->value(), 0);
    QCOMPARE(premium->value(), 0.0);
    QCOMPARE(openInterest->text(), QString("Off"));
    QCOMPARE(premium->text(), QString("Off"));
    QCOMPARE(openInterest->maximum(), 10000000);
    QCOMPARE(premium->maximum(), 1000.0);
    QCOMPARE(premium->decimals(), 3);
    QCOMPARE(premium->singleStep(), 0.005);

    const auto type = [](QAbstractSpinBox* box, const QString& text) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    };
    type(openInterest, "250");
    type(premium, "0.125");
    QTest::keyClick(premium, Qt::Key_Up); // one step up: 0.130
    QTest::mouseClick(view->SaveButton(), Qt::LeftButton);

    const CReportSettings& put = program.Session().ReportSettings(ReportKind::Put);
    QCOMPARE(put.MinOpenInterest(), 250);
    QCOMPARE(put.MinPremium(), 0.13);
    QCOMPARE(program.Session().ReportSettings(ReportKind::Call), CReportSettings());

    CReportSettingsView* again = program.OpenSettings(ReportKind::Put);
    QVERIFY(again != nullptr);
    QCOMPARE(again->MinOpenInterestBox()->value(), 250);
    QCOMPARE(again->MinPremiumBox()->text(), QString("0.130"));
}

QTEST_MAIN(ReportSettingsViewTest)
#include "ReportSettingsViewTest.moc"
