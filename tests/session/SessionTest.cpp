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

} // namespace
} // namespace strikeline
