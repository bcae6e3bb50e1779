#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/Dividend.h"
#include "marketdata/MarketSnapshot.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace strikeline {
namespace {

CContractInfo Series(const char* code, double exercise, double last) {
    CContractInfo contract;
    contract.SetCode(code);
    contract.SetExercise(exercise);
    contract.SetLast(last);
    return contract;
}

CCompanyInfo Share(const char* code, double last, std::initializer_list<CContractInfo> series) {
    CCompanyInfo company;
    company.SetCode(code);
    company.SetLast(last);
    for (const CContractInfo& contract : series) {
        company.AddContract(contract);
    }
    return company;
}

TEST(CompanyInfo, CopiesAndMovesAreDeepAndReferToThemselves) {
    CCompanyInfo original = Share("BHP", 10, {Series("A", 9, 1), Series("B", 11, 0.2)});
    original.SetAtTheMoney(&original.Contracts()[0]);
    ASSERT_NE(original.AtTheMoneyStrike(), UNSET_VALUE);

    const CCompanyInfo copy = original;
    EXPECT_EQ(copy.Contracts()[1].Code(), "B");
    EXPECT_EQ(copy.Contracts()[0].Company(), &copy);
    EXPECT_EQ(copy.AtTheMoneyStrike(), UNSET_VALUE) << "a copy has not been worked out";

    std::vector<CCompanyInfo> list;
    for (int i = 0; i < 50; ++i) {
        list.push_back(original); // reallocations move the companies
    }
    for (const CCompanyInfo& company : list) {
        for (const CContractInfo& contract : company.Contracts()) {
            ASSERT_EQ(contract.Company(), &company);
        }
    }
    original.Reset();
    EXPECT_TRUE(original.Contracts().empty());
    EXPECT_EQ(original.PriceEarnings(), UNSET_VALUE);
    EXPECT_TRUE(original.IsCall());
    EXPECT_EQ(list[0].Contracts().size(), 2u);
}

TEST(CompanyInfo, AtTheMoneyFiguresComeFromTheGivenSeries) {
    CCompanyInfo company = Share("BHP", 10, {Series("LOW", 9.5, 0.9), Series("EXACT", 10, 0.5)});
    company.SetAtTheMoney(&company.Contracts()[0]);
    EXPECT_EQ(company.AtTheMoneyStrike(), 9.5);
    EXPECT_EQ(company.AtTheMoneyOptionPrice(), 0.9);
    EXPECT_DOUBLE_EQ(company.AtTheMoneyYield(), 9.0);

    company.SetAtTheMoney(nullptr);
    EXPECT_EQ(company.AtTheMoneyYield(), UNSET_VALUE);
    EXPECT_EQ(company.AtTheMoneyStrike(), UNSET_VALUE);
    EXPECT_EQ(company.AtTheMoneyOptionPrice(), UNSET_VALUE);

    CCompanyInfo untraded = Share("RIO", 0, {Series("A", 1, UNSET_VALUE)});
    untraded.SetAtTheMoney(&untraded.Contracts()[0]);
    EXPECT_EQ(untraded.AtTheMoneyYield(), UNSET_VALUE) << "no premium, no share price: no yield";
    EXPECT_EQ(untraded.AtTheMoneyStrike(), 1.0);
}

TEST(MarketSnapshot, FindsCodesIgnoringCase) {
    CMarketData market;
    market.PublishCalls({Share("BHP", 1, {}), Share("NAB", 1, {}), Share("nab", 2, {})});
    market.PublishDividends({{"BHP", 1, 0.5}, {"bhp", 2, 0.7}});
    const auto snapshot = market.Current();
    EXPECT_EQ(FindCompanyIndex(snapshot->Calls(), "bhp"), 0);
    EXPECT_EQ(FindCompanyIndex(snapshot->Calls(), "Nab"), 1);
    EXPECT_EQ(FindCompanyIndex(snapshot->Calls(), "BH"), -1);
    ASSERT_TRUE(snapshot->FindDividend("Bhp"));
    EXPECT_EQ(snapshot->FindDividend("Bhp")->amount, 0.5);
    EXPECT_FALSE(snapshot->FindDividend("RIO"));

    market.PublishCalls({});
    EXPECT_EQ(FindCompanyIndex(market.Current()->Calls(), "bhp"), -1);
    EXPECT_EQ(snapshot->Calls()[0].Code(), "BHP") << "a snapshot taken stays as it was";
}

TEST(MarketSnapshot, PartsNotReplacedAreSharedNotCopied) {
    CMarketData market;
    market.PublishCalls({Share("BHP", 1, {})});
    const auto before = market.Current();
    market.PublishPuts({Share("NAB", 1, {})});
    const auto after = market.Current();
    EXPECT_NE(before, after);
    EXPECT_EQ(&before->Calls(), &after->Calls());
    EXPECT_EQ(&before->Dividends(), &after->Dividends());
    EXPECT_TRUE(before->Puts().empty());
    EXPECT_EQ(after->Puts().size(), 1u);
}

// Readers on one thread keep a whole market while two threads publish new parts: each
// table read is whole, and both publishers' last parts end in the market.
TEST(MarketSnapshot, ReadersAlwaysSeeAWholeMarket) {
    CMarketData market;
    std::atomic<int> running{2};
    const auto publishNames = [&](bool top20) {
        for (int round = 0; round < 200; ++round) {
            CCompanyNameTable table;
            for (int i = 0; i < 50; ++i) {
                table.Add("C" + std::to_string(i), "round " + std::to_string(round));
            }
            if (top20) {
                market.PublishTop20(std::move(table));
            } else {
                market.PublishCompanyNames(std::move(table));
            }
        }
        --running;
    };
    std::thread names(publishNames, false);
    std::thread top20(publishNames, true);
    while (running > 0) {
        const auto snapshot = market.Current();
        for (const CCompanyNameTable* table : {&snapshot->CompanyNames(), &snapshot->Top20()}) {
            const std::size_t count = table->GetCount();
            ASSERT_TRUE(count == 0 || count == 50);
            if (count == 50) {
                ASSERT_EQ(table->GetNameAt(0), table->GetNameAt(49));
            }
        }
    }
    names.join();
    top20.join();
    EXPECT_EQ(market.Current()->CompanyNames().GetName("c7"), "round 199");
    EXPECT_EQ(market.Current()->Top20().GetName("c7"), "round 199");
}

} // namespace
} // namespace strikeline
