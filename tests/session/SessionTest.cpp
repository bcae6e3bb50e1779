#include "session/Session.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

// Each session holds a day of its own: nothing one changes shows in another, so a test or
// the headless command never resets what another left behind.
TEST(Session, EachSessionHoldsItsOwnDay) {
    CSession first("/first");
    CSession second("/second");
    EXPECT_EQ(first.DataFolder(), "/first");

    first.ReportSettings(ReportKind::Call).SetExpire(2);
    first.ShortList().Add("BHP", ReportKind::Call);
    first.TradingPlan().Append(CTradingPlanEntry());
    first.Diary().SetStartBalance(1);
    first.AverageTrades().Set("BHP", 1);
    first.Market().PublishCalls({CCompanyInfo()});
    CColorScheme scheme;
    scheme.SetDefaults();
    scheme.SetFontSize(scheme.FontSize() + 3);
    {
        const CApplicationStateLock lock(first.State());
        first.State().SetColorScheme(scheme);
    }

    EXPECT_EQ(first.ReportSettings(ReportKind::Call).Expire(), 2);
    EXPECT_EQ(first.ReportSettings(ReportKind::Put).Expire(), 0) << "one record per kind";
    EXPECT_EQ(first.ColorScheme(), scheme);
    EXPECT_EQ(second.ReportSettings(ReportKind::Call).Expire(), 0);
    EXPECT_TRUE(second.ShortList().IsEmpty());
    EXPECT_EQ(second.TradingPlan().Count(), 0u);
    EXPECT_EQ(second.Diary().StartBalance(), 10000.0);
    EXPECT_TRUE(second.AverageTrades().Items().empty());
    EXPECT_TRUE(second.Market().Current()->Calls().empty());
    EXPECT_EQ(second.ColorScheme(), CColorScheme());
}

// Analytics belong to the market they were worked out from: a newer market hides them
// until its own arrive, so no window shows the old figures, or their absence, as today's.
TEST(Session, AnalyticsAreHandedOutOnlyForTheirOwnMarket) {
    CSession session("/day");
    EXPECT_EQ(session.Analytics(), nullptr);
    const auto worked = [&] {
        return ComputeMarketAnalytics(*session.Market().Current(),
                                      MakeAnalyticsContext(FileTimeFromUnix(0), {}), 1);
    };
    const std::shared_ptr<const CMarketSnapshot> first = session.Market().Current();
    const std::shared_ptr<const CMarketAnalytics> analytics = worked();
    session.PublishAnalytics(analytics, first);
    EXPECT_EQ(session.Analytics(), analytics);

    session.Market().PublishTop20(CCompanyNameTable());
    EXPECT_EQ(session.Analytics(), analytics) << "a new Top 20 changes no figure";

    session.Market().PublishPuts({CCompanyInfo()});
    EXPECT_EQ(session.Analytics(), nullptr) << "the new puts have none yet";
    session.PublishAnalytics(analytics, first);
    EXPECT_EQ(session.Analytics(), nullptr) << "a late result for the old market";
    const std::shared_ptr<const CMarketAnalytics> fresh = worked();
    session.PublishAnalytics(fresh, session.Market().Current());
    EXPECT_EQ(session.Analytics(), fresh);
}

} // namespace
} // namespace strikeline
