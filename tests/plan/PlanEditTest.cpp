#include "plan/PlanCellEdit.h"
#include "plan/PlanColumns.h"
#include "plan/PlanFigures.h"
#include "plan/PlanTestData.h"
#include "support/ScopedEnvironment.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace strikeline {
namespace {

namespace C = PlanColumn;

struct CEditCase {
    std::string_view key;
    std::string typed;
    std::optional<std::string> shown;
    double CTradingPlanEntry::*field;
    double stored;
};

TEST(PlanCellEdit, TypedTextIsCleanedStoredAndShown) {
    const std::vector<CEditCase> cases = {
        {C::Shares, " 2500 ", "2500", &CTradingPlanEntry::m_Shares, 2500},
        {C::Shares, "", "", &CTradingPlanEntry::m_Shares, UNSET_VALUE},
        {C::Shares, "2,500", "2,500", &CTradingPlanEntry::m_Shares, 2500},
        {C::Shares, "1000000000", "1000000000", &CTradingPlanEntry::m_Shares, 1000000000},
        {C::OptionContracts, "3", "3", &CTradingPlanEntry::m_Shares, 3000},
        {C::OptionContracts, "1,000", "1,000", &CTradingPlanEntry::m_Shares, 1000000},
        // Thousands separators are read; the cell keeps what was typed, with its dollar sign.
        {C::SharePrice, "$1,234", "$1,234", &CTradingPlanEntry::m_SharePrice, 1234},
        {C::SharePrice, "$1,234.50", "$1,234.50", &CTradingPlanEntry::m_SharePrice, 1234.5},
        {C::SharePrice, "-1,234", "$-1,234", &CTradingPlanEntry::m_SharePrice, -1234},
        {C::SharePrice, "12.5", "$12.5", &CTradingPlanEntry::m_SharePrice, 12.5},
        {C::SharePrice, "  ", "", &CTradingPlanEntry::m_SharePrice, UNSET_VALUE},
        {C::EquityBrokerage, "$$29.95", "$29.95", &CTradingPlanEntry::m_Brokerage, 29.95},
        {C::StrikePrice, "11%", "$11", &CTradingPlanEntry::m_StrikePrice, 11},
        {C::FairPrice, "0.61", "$0.61", &CTradingPlanEntry::m_Premium, 0.61},
        {C::NEBrokerage, "15", "$15", &CTradingPlanEntry::m_NEBrokerage, 15},
        {C::EBrokerage, "70", "$70", &CTradingPlanEntry::m_EBrokerage, 70},
        {C::DividendValue, "$0.85", "$0.85", &CTradingPlanEntry::m_DividendsValue, 0.85},
        // Computed columns take no edits.
        {C::Cost, "5", std::nullopt, &CTradingPlanEntry::m_Shares, 1000},
        {C::NEProfit, "5", std::nullopt, &CTradingPlanEntry::m_Shares, 1000},
    };
    for (const CEditCase& c : cases) {
        CTradingPlanEntry e = test::SoldCall();
        EXPECT_EQ(EditPlanCell(e, c.key, c.typed), c.shown) << c.key << " " << c.typed;
        EXPECT_EQ(e.*c.field, c.stored) << c.key << " " << c.typed;
    }
}

// A text that is not wholly a number, or a figure the plan file could not read back, is
// refused with a reason and leaves the row as it was (SoldCall holds 1000 shares of 1000
// a contract, a share price of 10 and a strike of 11).
TEST(PlanCellEdit, RefusesWhatIsNoNumberOrCannotBeSaved) {
    struct Case {
        std::string_view key;
        std::string typed;
        std::string refusal;
    };
    const std::string range = "between -1000000000 and 1000000000";
    const std::vector<Case> cases = {
        {C::StrikePrice, "abc", "Invalid strike price\n\n\"abc\" is not a number."},
        {C::Shares, " lots ", "Invalid shares\n\n\"lots\" is not a number."},
        {C::SharePrice, "12abc", "Invalid share price\n\n\"12abc\" is not a number."},
        {C::SharePrice, "$1,23", "Invalid share price\n\n\"$1,23\" is not a number."},
        {C::FairPrice, "1.2.3", "Invalid premium\n\n\"1.2.3\" is not a number."},
        {C::Shares, "2000000000",
         "Invalid shares\n\nThe trading plan can hold figures " + range + "."},
        {C::Shares, "2,000,000,000",
         "Invalid shares\n\nThe trading plan can hold figures " + range + "."},
        {C::EquityBrokerage, "-1000000000.5",
         "Invalid equity brokerage\n\nThe trading plan can hold figures " + range + "."},
        // The marker values would read back as "nothing entered" and "N/A".
        {C::NEBrokerage, "-1000000000",
         "Invalid option brokerage\n\nThe trading plan can hold figures " + range + "."},
        {C::EBrokerage, "1e10",
         "Invalid exercise brokerage\n\nThe trading plan can hold figures " + range + "."},
        {C::DividendValue, "$5000000000",
         "Invalid dividends\n\nThe trading plan can hold figures " + range + "."},
        {C::OptionContracts, "2000000",
         "Invalid option contracts\n\nThe shares they make must lie " + range +
             ", which the trading plan can hold."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " \"" + c.typed + "\"");
        CTradingPlanEntry e = test::SoldCall();
        const CTradingPlanEntry before = e;
        std::string refusal;
        EXPECT_EQ(EditPlanCell(e, c.key, c.typed, &refusal), std::nullopt);
        EXPECT_EQ(refusal, c.refusal);
        EXPECT_EQ(e, before);
        // Without a place for the reason the edit is refused just the same.
        EXPECT_EQ(EditPlanCell(e, c.key, c.typed), std::nullopt);
        EXPECT_EQ(e, before);
    }
}

TEST(PlanCellEdit, OptionContractsNeedAContractSize) {
    CTradingPlanEntry e = test::SoldCall();
    e.m_ContractSize = UNSET_VALUE;
    EXPECT_EQ(EditPlanCell(e, C::OptionContracts, "3"), "3");
    EXPECT_EQ(e.m_Shares, UNSET_VALUE);
    // After typing 3 contracts of 1000 shares the row shows 3000 shares.
    e.m_ContractSize = 1000;
    EditPlanCell(e, C::OptionContracts, "3");
    EXPECT_EQ(PlanCellText(e, C::Shares), "3000");
    EXPECT_EQ(PlanCellText(e, C::OptionContracts), "3");
}

class PlanDividendDateEdit : public test::CSydneyTimeTest {};

TEST_F(PlanDividendDateEdit, AnUnreadableDateIsIgnored) {
    CTradingPlanEntry e = test::SoldCall();
    ASSERT_EQ(EditPlanCell(e, C::DividendDate, "05-May-2010"), "05-May-2010");
    EXPECT_EQ(e.m_DividendsDate, test::Utc("2010-05-04 14:00:00"));
    const CTradingPlanEntry before = e;
    EXPECT_EQ(EditPlanCell(e, C::DividendDate, "next week"), std::nullopt);
    EXPECT_EQ(e, before);
    EXPECT_EQ(EditPlanCell(e, C::DividendDate, " "), "");
    EXPECT_EQ(e.m_DividendsDate, kNoDate);
}

TEST(PlanCellEdit, ExerciseBrokerageIsLockedOnBoughtRows) {
    CTradingPlanEntry e = test::SoldCall();
    EXPECT_TRUE(IsPlanCellEditable(e, C::EBrokerage));
    e.m_SourceType = TYPE_BUY_CALL;
    EXPECT_FALSE(IsPlanCellEditable(e, C::EBrokerage));
    EXPECT_TRUE(IsPlanCellEditable(e, C::Shares));
    EXPECT_FALSE(IsPlanCellEditable(e, C::Cost));
    EXPECT_FALSE(IsPlanCellEditable(e, C::SrcType));
}

} // namespace
} // namespace strikeline
