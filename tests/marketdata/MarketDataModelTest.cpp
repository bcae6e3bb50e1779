#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/DividendList.h"

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

TEST(CompanyList, FindsCodesIgnoringCase) {
    CCompanyList list;
    list.Replace({Share("BHP", 1, {}), Share("NAB", 1, {}), Share("nab", 2, {})});
    EXPECT_EQ(list.FindIndex("bhp"), 0);
    EXPECT_EQ(list.FindIndex("Nab"), 1);
    EXPECT_EQ(list.FindIndex("BH"), -1);
    const auto copy = list.Copy();
    EXPECT_EQ(copy.size(), 3u);
    list.Clear();
    EXPECT_EQ(list.FindIndex("bhp"), -1);
    EXPECT_EQ(copy[0].Code(), "BHP") << "copies are independent of the list";

    CDividendList dividends;
    dividends.Replace({{"BHP", 1, 0.5}, {"bhp", 2, 0.7}});
    ASSERT_TRUE(dividends.Find("Bhp"));
    EXPECT_EQ(dividends.Find("Bhp")->amount, 0.5);
    EXPECT_FALSE(dividends.Find("RIO"));
}

// A reader on one thread keeps a whole table while another thread swaps new ones in.
TEST(SharedNameTable, ReadersAlwaysSeeAWholeTable) {
    CSharedNameTable shared;
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int round = 0; round < 200; ++round) {
            CCompanyNameTable table;
            for (int i = 0; i < 50; ++i) {
                table.Add("C" + std::to_string(i), "round " + std::to_string(round));
            }
            shared.Replace(std::move(table));
        }
        stop = true;
    });
    while (!stop) {
        const auto table = shared.Get();
        const std::size_t count = table->GetCount();
        ASSERT_TRUE(count == 0 || count == 50);
        if (count == 50) {
            ASSERT_EQ(table->GetNameAt(0), table->GetNameAt(49));
        }
    }
    writer.join();
    EXPECT_EQ(shared.Get()->GetName("c7"), "round 199");
}

} // namespace
} // namespace strikeline
