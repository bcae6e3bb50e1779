#include "reports/ReportSettings.h"

#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"

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
    EXPECT_TRUE(settings.CompanyList().empty());

    settings.SetExpire(3);
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

} // namespace
} // namespace strikeline
