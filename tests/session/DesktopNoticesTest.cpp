#include "session/DesktopNotices.h"

#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <chrono>
#include <ctime>
#include <gtest/gtest.h>

namespace strikeline {
namespace {

using namespace std::chrono;

FileTime At(year_month_day day, int hour = 0) {
    return FileTimeFromUnix(sys_seconds{sys_days{day}}.time_since_epoch().count() + hour * 3600);
}

// Friday 11 December 2026, mid-morning.
const FileTime kNow = At(2026y / December / 11, 9);

CTradingPlanEntry Row(const char* company, const char* series, year_month_day expiry,
                      FileTime exDate = kNoDate) {
    CTradingPlanEntry row;
    row.m_SourceType = TYPE_SELL_CALL;
    row.m_CompanyID = company;
    row.m_ContractID = series;
    row.m_DateExpiry = At(expiry);
    row.m_DividendsDate = exDate;
    return row;
}

class DesktopNoticesTest : public ::testing::Test {
protected:
    void SetUp() override { ::tzset(); }

    const test::CScopedEnv m_Zone{"TZ", "UTC"};
};

TEST_F(DesktopNoticesTest, PlanDatesAreToldFromTheTradingDayThatManyDaysBefore) {
    struct Case {
        year_month_day expiry;
        std::uint32_t lead;
        const char* summary; // empty when nothing is due
    };
    const Case cases[] = {
        // Friday is the trading day before Monday.
        {2026y / December / 14, 1, "Expiry on Monday 14 December 2026: BHPZZ9 (BHP)"},
        {2026y / December / 15, 1, ""},
        {2026y / December / 15, 2, "Expiry on Tuesday 15 December 2026: BHPZZ9 (BHP)"},
        {2026y / December / 18, 5, "Expiry on Friday 18 December 2026: BHPZZ9 (BHP)"},
        {2026y / December / 21, 5, ""},
        // Until the day itself; a series that expired is closed.
        {2026y / December / 11, 1, "Expiry today: BHPZZ9 (BHP)"},
        {2026y / December / 10, 1, ""},
    };
    for (const Case& item : cases) {
        CTradingPlan plan;
        plan.Append(Row("BHP", "BHPZZ9", item.expiry));
        const std::vector<CDesktopNotice> notices = PlanEventNotices(plan, kNow, item.lead);
        SCOPED_TRACE(item.summary);
        if (*item.summary == '\0') {
            EXPECT_TRUE(notices.empty());
            continue;
        }
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].summary, item.summary);
        EXPECT_EQ(notices[0].window, NoticeWindow::TradingPlan);
    }
}

TEST_F(DesktopNoticesTest, RowsOfOneCompanyShareTheirExDividendNotice) {
    const FileTime monday = At(2026y / December / 14);
    CTradingPlan plan;
    plan.Append(Row("CBA", "CBAZZ1", 2027y / January / 28, monday));
    plan.Append(Row("CBA", "CBAZZ2", 2027y / February / 25, monday));
    // An ex-date past the row's expiry is no longer the row's business.
    plan.Append(Row("NAB", "NABZZ1", 2026y / December / 17, At(2026y / December / 18)));
    plan.Append(Row("WBC", "WBCZZ1", 2026y / December / 17, monday));
    plan.At(3).m_SourceType = TYPE_SELL_PUT;
    const std::vector<CDesktopNotice> notices = PlanEventNotices(plan, kNow, 1);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].summary, "CBA goes ex-dividend on Monday 14 December 2026");
    EXPECT_NE(notices[0].body.find("CBAZZ1 (C (Sell)) and CBAZZ2 (C (Sell))"), std::string::npos)
        << notices[0].body;
    EXPECT_NE(notices[0].body.find("exercised early"), std::string::npos);
    EXPECT_EQ(notices[1].summary, "WBC goes ex-dividend on Monday 14 December 2026");
    // A sold put is not called away.
    EXPECT_EQ(notices[1].body.find("exercised early"), std::string::npos) << notices[1].body;
    EXPECT_NE(notices[0].key, notices[1].key);
}

TEST_F(DesktopNoticesTest, NewListsNameWhatCameAndOpenItsReport) {
    struct Case {
        bool calls;
        bool puts;
        const char* summary;
        NoticeWindow window;
    };
    const Case cases[] = {
        {true, true, "New call and put prices", NoticeWindow::CallReport},
        {true, false, "New call prices", NoticeWindow::CallReport},
        {false, true, "New put prices", NoticeWindow::PutReport},
    };
    for (const Case& item : cases) {
        const auto notices = NewPriceListNotices(item.calls, item.puts, "10-Dec-2026 final");
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].summary, item.summary);
        EXPECT_EQ(notices[0].window, item.window);
        EXPECT_NE(notices[0].body.find(" of 10-Dec-2026 final "), std::string::npos);
    }
    EXPECT_TRUE(NewPriceListNotices(false, false, "10-Dec-2026 final").empty());
}

TEST_F(DesktopNoticesTest, TheLogTellsEachEventOnceAndForgetsOldOnes) {
    test::CTempFolder folder;
    const auto lists = NewPriceListNotices(true, true, "10-Dec-2026 final");
    const auto other = NewPriceListNotices(true, false, "11-Dec-2026 final");
    CNoticeLog program(folder.Path().string());
    ASSERT_EQ(program.Unsent({lists[0], lists[0]}).size(), 1u);
    std::string error;
    ASSERT_TRUE(program.MarkSent(lists, kNow, error)) << error;
    // Another process (the scheduled fetch) reads the same file.
    CNoticeLog fetch(folder.Path().string());
    EXPECT_TRUE(fetch.Unsent(lists).empty());
    EXPECT_EQ(fetch.Unsent({lists[0], other[0]}), other);
    // Two months on, the old entry goes when the file is next written.
    ASSERT_TRUE(fetch.MarkSent(other, At(2027y / February / 10), error)) << error;
    EXPECT_EQ(program.Unsent(lists), lists);
    EXPECT_TRUE(program.Unsent(other).empty());
}

TEST_F(DesktopNoticesTest, SettingsKeepTheirLeadTimeInRange) {
    CNotificationSettings settings;
    EXPECT_TRUE(settings.Enabled());
    EXPECT_EQ(settings.LeadDays(), 1u);
    for (const auto& [asked, kept] : {std::pair{0u, 1u}, {4u, 4u}, {99u, 10u}}) {
        settings.SetLeadDays(asked);
        EXPECT_EQ(settings.LeadDays(), kept);
    }
    test::CTempFolder folder;
    EXPECT_EQ(ReadNotificationSettings(folder.File("missing.reg")), CNotificationSettings());
}

} // namespace
} // namespace strikeline
