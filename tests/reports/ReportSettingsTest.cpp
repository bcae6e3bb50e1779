#include "reports/ReportSettings.h"

#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

TEST(ReportSettings, DefaultsAndReset) {
    CReportSettings settings;
    EXPECT_EQ(settings.Stocks(), CReportSettings::ListAll);
    EXPECT_EQ(settings.Expire(), CReportSettings::CurrentMonth);
    EXPECT_EQ(settings.Range(), 0);
    EXPECT_EQ(settings.RemoveOld(), CReportSettings::kRemoveOldOn);
    EXPECT_EQ(settings.SortMode(), CReportSettings::ByName);
    EXPECT_TRUE(settings.SortAscending());
    EXPECT_FALSE(settings.DisplayLeveragedBar());
    EXPECT_EQ(settings.MinOpenInterest(), 0);
    EXPECT_EQ(settings.MinPremium(), 0.0);
    EXPECT_TRUE(settings.CompanyList().empty());

    settings.SetExpire(3);
    settings.SetMinOpenInterest(100);
    settings.SetMinPremium(0.05);
    settings.SetSortAscending(false);
    settings.SetCompanyList({"BHP"});
    settings.Reset();
    EXPECT_EQ(settings, CReportSettings());
}

TEST(ReportSettings, LoadStartsFromDefaultsAndKeepsThemForMissingValues) {
    CRegistryFile registry;
    CRegistryStorage record;
    ASSERT_TRUE(record.CreateRoot(registry.CurrentUser(), "CallReport"));
    record.WriteInt("SortMode", 4);
    record.WriteInt("Range", -1);
    record.WriteBool("SortDirection", false);

    CReportSettings settings;
    settings.SetStocks(2);
    settings.SetCompanyList({"OLD"});
    ASSERT_TRUE(settings.Load(record));
    EXPECT_EQ(settings.SortMode(), 4);
    EXPECT_EQ(settings.Range(), -1);
    EXPECT_FALSE(settings.SortAscending());
    EXPECT_EQ(settings.Stocks(), 0) << "reset before loading";
    EXPECT_TRUE(settings.CompanyList().empty());

    settings.SetStocks(CReportSettings::SelectStocks);
    settings.SetDisplayLeveragedBar(true);
    settings.SetCompanyList({"BHP", "rio"});
    settings.Save(record);
    EXPECT_EQ(record.ReadInt("Stocks", 0), 2);
    EXPECT_EQ(record.ReadDword("DisplayLeveragedBar", 0), 1u);
    CReportSettings read;
    ASSERT_TRUE(read.Load(record));
    EXPECT_EQ(read, settings);
}

// The liquidity floors go through the settings file and back; one below zero, as a hand-edited
// file may hold, reads as off.
TEST(ReportSettings, LiquidityFloorsSurviveTheSettingsFile) {
    struct Case {
        std::int32_t minOpenInterest;
        double minPremium;
        std::int32_t readOpenInterest;
        double readPremium;
    };
    const Case cases[] = {
        {0, 0.0, 0, 0.0},
        {250, 0.005, 250, 0.005},
        {10000000, 1000.0, 10000000, 1000.0},
        {-1, -0.5, 0, 0.0},
        {-2147483647 - 1, -1000.0, 0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minOpenInterest << " " << c.minPremium);
        test::CTempFolder folder;
        const std::string path = folder.File("settings.reg");
        std::string error;
        {
            CRegistryFile registry;
            CRegistryStorage record;
            ASSERT_TRUE(record.CreateRoot(registry.CurrentUser(), "PutReport"));
            CReportSettings settings;
            settings.SetMinOpenInterest(c.minOpenInterest);
            settings.SetMinPremium(c.minPremium);
            settings.Save(record);
            ASSERT_TRUE(registry.Save(path, error)) << error;
        }
        CRegistryFile registry;
        ASSERT_TRUE(registry.Load(path, error)) << error;
        CRegistryStorage record;
        ASSERT_TRUE(record.OpenRoot(registry.CurrentUser(), "PutReport"));
        EXPECT_EQ(record.ReadInt("MinOpenInterest", 7), c.minOpenInterest) << "stored as set";
        CReportSettings read;
        read.SetMinOpenInterest(3);
        read.SetMinPremium(3.0);
        ASSERT_TRUE(read.Load(record));
        EXPECT_EQ(read.MinOpenInterest(), c.readOpenInterest);
        EXPECT_EQ(read.MinPremium(), c.readPremium);
    }

    // A file written before the floors existed lists every series.
    CRegistryFile registry;
    CRegistryStorage record;
    ASSERT_TRUE(record.CreateRoot(registry.CurrentUser(), "CallReport"));
    record.WriteInt("SortMode", 2);
    CReportSettings read;
    read.SetMinOpenInterest(3);
    read.SetMinPremium(3.0);
    ASSERT_TRUE(read.Load(record));
    EXPECT_EQ(read.MinOpenInterest(), 0);
    EXPECT_EQ(read.MinPremium(), 0.0);
}

} // namespace
} // namespace strikeline
