#include "journal/DiaryEntryTexts.h"

#include "support/ScopedEnvironment.h"
#include "support/TestTimes.h"

#include <gtest/gtest.h>
#include <vector>

namespace strikeline {
namespace {

using test::Utc;

// Local time is Sydney's: ten hours ahead in April and June 2010 (no daylight saving).
class DiaryEntryTexts : public test::CSydneyTimeTest {};

CDiaryEntry StoredEntry() {
    CDiaryEntry entry;
    entry.m_StartDate = Utc("2010-04-13 05:30:00");
    entry.m_CloseDate = Utc("2010-05-20 06:00:00");
    entry.m_CompanyID = "BHP";
    entry.m_ContractID = "BHPZL9";
    entry.m_DateExpiry = Utc("2010-06-24 00:00:00");
    entry.m_Shares = 1000;
    entry.m_SharePrice = 42.123456;
    entry.m_Cost = -12.5;
    entry.m_NEProfit = 0.005;
    entry.m_EReturn = NA_VALUE;
    return entry;
}

CDiaryEntryTexts GoodTexts() {
    CDiaryEntryTexts texts;
    texts.expiryDate = "2010-06-24 10:00:00";
    return texts;
}

TEST_F(DiaryEntryTexts, ShowLocalDatesAndFiguresWithFiveDecimals) {
    const CDiaryEntryTexts texts = DiaryEntryToTexts(StoredEntry());
    CDiaryEntryTexts expected;
    expected.contractCode = "BHPZL9";
    expected.expiryDate = "2010-06-24 10:00:00";
    expected.shares = "1000";
    expected.sharePrice = "42.12346";
    expected.cost = "-12.5";
    expected.neProfit = "0.005";
    expected.eReturn = "N/A";
    EXPECT_EQ(texts, expected);

    CDiaryEntry withDividend;
    withDividend.m_DividendsDate = Utc("2010-04-30 15:00:00");
    withDividend.m_DividendsValue = 0.47;
    const CDiaryEntryTexts dividend = DiaryEntryToTexts(withDividend);
    EXPECT_EQ(dividend.expiryDate, "");
    EXPECT_EQ(dividend.dividendsValue, "0.47");
    EXPECT_EQ(dividend.dividendsDate, "2010-05-01 01:00:00");
}

TEST_F(DiaryEntryTexts, TakeEveryFieldAndKeepWhatTheDialogDoesNotShow) {
    CDiaryEntryTexts texts;
    texts.contractCode = "changed";
    texts.expiryDate = "2010-06-24 10:00:00";
    texts.shares = "1000";
    texts.contracts = " 1";
    texts.sharePrice = "42.5";
    texts.cost = "42500";
    texts.brokerage = "29.95";
    texts.strikePrice = "44";
    texts.premium = "0.87";
    texts.neBrokerage = "10";
    texts.neProfit = "830.05";
    texts.neReturn = "1.953";
    texts.eBrokerage = "12.5";
    texts.eProfit = "2317.55";
    texts.eReturn = "-5.25";
    texts.dividendsValue = "0.47";
    texts.dividendsDate = "03-May-2010";

    CDiaryEntry entry = StoredEntry();
    CDiaryEntryTextError error;
    ASSERT_TRUE(TakeDiaryEntryTexts(texts, entry, error)) << error.message;

    CDiaryEntry expected = StoredEntry(); // start, close and codes stay
    expected.m_DateExpiry = Utc("2010-06-24 00:00:00");
    expected.m_Shares = 1000;
    expected.m_Contracts = 1;
    expected.m_SharePrice = 42.5;
    expected.m_Cost = 42500;
    expected.m_Brokerage = 29.95;
    expected.m_StrikePrice = 44;
    expected.m_Premium = 0.87;
    expected.m_NEBrokerage = 10;
    expected.m_NEProfit = 830.05;
    expected.m_NEReturn = 1.953;
    expected.m_EBrokerage = 12.5;
    expected.m_EProfit = 2317.55;
    expected.m_EReturn = -5.25;
    expected.m_DividendsValue = 0.47;
    expected.m_DividendsDate = Utc("2010-05-02 14:00:00"); // local midnight
    EXPECT_EQ(entry, expected);
}

TEST_F(DiaryEntryTexts, BlankFiguresAndDividendDateClearTheFields) {
    CDiaryEntry entry = StoredEntry();
    entry.m_DividendsDate = Utc("2010-05-03");
    CDiaryEntryTexts texts = GoodTexts();
    texts.shares = "   ";
    texts.dividendsDate = " ";
    CDiaryEntryTextError error;
    ASSERT_TRUE(TakeDiaryEntryTexts(texts, entry, error)) << error.message;
    for (const CDiaryNumberField& field : kDiaryNumberFields) {
        EXPECT_EQ(entry.*field.member, UNSET_VALUE) << field.name;
    }
    EXPECT_EQ(entry.m_DividendsDate, kNoDate);
}

TEST_F(DiaryEntryTexts, AcceptExpiryDatesInTheUsualForms) {
    struct Case {
        const char* text;
        const char* universal;
    };
    const Case cases[] = {
        {"13-Apr-2010", "2010-04-12 14:00:00"},
        {"2010-04-13 10:00", "2010-04-13 00:00:00"},
        {"2010/4/13 10:00:30", "2010-04-13 00:00:30"},
    };
    for (const Case& c : cases) {
        CDiaryEntryTexts texts = GoodTexts();
        texts.expiryDate = c.text;
        CDiaryEntry entry;
        CDiaryEntryTextError error;
        EXPECT_TRUE(TakeDiaryEntryTexts(texts, entry, error)) << c.text;
        EXPECT_EQ(entry.m_DateExpiry, Utc(c.universal)) << c.text;
    }
}

TEST_F(DiaryEntryTexts, RefuseTheFirstBadFieldWithItsMessageAndChangeNothing) {
    struct Case {
        std::string CDiaryEntryTexts::*text;
        const char* value;
        DiaryEntryField field;
        const char* message;
    };
    const Case cases[] = {
        {&CDiaryEntryTexts::expiryDate, "", DiaryEntryField::ExpiryDate, "Invalid expiry date"},
        {&CDiaryEntryTexts::expiryDate, "13-April-2010", DiaryEntryField::ExpiryDate,
         "Invalid expiry date"},
        {&CDiaryEntryTexts::shares, "N/A", DiaryEntryField::Shares, "Invalid shares"},
        {&CDiaryEntryTexts::contracts, "abc", DiaryEntryField::Contracts, "Invalid contracts"},
        {&CDiaryEntryTexts::sharePrice, "$42,5", DiaryEntryField::SharePrice,
         "Invalid share price"},
        // Read up to the comma these would be 1 and 12.
        {&CDiaryEntryTexts::shares, "1,23", DiaryEntryField::Shares, "Invalid shares"},
        {&CDiaryEntryTexts::brokerage, "12 345", DiaryEntryField::Brokerage, "Invalid brokerage"},
        {&CDiaryEntryTexts::cost, "-1000000000", DiaryEntryField::Cost, "Invalid cost"},
        {&CDiaryEntryTexts::brokerage, "-1000000001", DiaryEntryField::Brokerage,
         "Invalid brokerage"},
        {&CDiaryEntryTexts::strikePrice, "-1e9", DiaryEntryField::StrikePrice,
         "Invalid strike price"},
        {&CDiaryEntryTexts::premium, "1e10", DiaryEntryField::Premium, "Invalid premium"},
        {&CDiaryEntryTexts::neBrokerage, "N/A", DiaryEntryField::NEBrokerage,
         "Invalid Not-Exercised brokerage"},
        {&CDiaryEntryTexts::neProfit, "-2000000000", DiaryEntryField::NEProfit,
         "Invalid Not-Exercised profit"},
        {&CDiaryEntryTexts::neReturn, "x1", DiaryEntryField::NEReturn,
         "Invalid Not-Exercised return"},
        {&CDiaryEntryTexts::eBrokerage, "N/A", DiaryEntryField::EBrokerage,
         "Invalid Exercised brokerage"},
        {&CDiaryEntryTexts::eProfit, "inf", DiaryEntryField::EProfit, "Invalid Exercised profit"},
        {&CDiaryEntryTexts::eReturn, "N/A", DiaryEntryField::EReturn, "Invalid Exercised return"},
        {&CDiaryEntryTexts::dividendsValue, "N/A", DiaryEntryField::DividendsValue,
         "Invalid dividends"},
        {&CDiaryEntryTexts::dividendsDate, "30-Feb-2010", DiaryEntryField::DividendsDate,
         "Invalid dividends date"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message + std::string(" from ") + c.value);
        CDiaryEntryTexts texts = GoodTexts();
        texts.*c.text = c.value;
        CDiaryEntry entry = StoredEntry();
        CDiaryEntryTextError error;
        EXPECT_FALSE(TakeDiaryEntryTexts(texts, entry, error));
        EXPECT_EQ(error.field, c.field);
        EXPECT_EQ(error.message, c.message);
        EXPECT_EQ(entry, StoredEntry());
    }
}

TEST_F(DiaryEntryTexts, RefuseAnEmptyExpiryEvenWhenTheEntryHadNone) {
    CDiaryEntry entry; // no expiry
    const CDiaryEntryTexts texts = DiaryEntryToTexts(entry);
    EXPECT_EQ(texts.expiryDate, "");
    CDiaryEntryTextError error;
    EXPECT_FALSE(TakeDiaryEntryTexts(texts, entry, error));
    EXPECT_EQ(error.field, DiaryEntryField::ExpiryDate);
    EXPECT_EQ(error.message, "Invalid expiry date");
}

TEST_F(DiaryEntryTexts, ReportTheEarliestFieldInDialogOrder) {
    CDiaryEntryTexts texts = GoodTexts();
    texts.dividendsDate = "nonsense";
    texts.eReturn = "N/A";
    texts.cost = "abc";
    CDiaryEntry entry;
    CDiaryEntryTextError error;
    EXPECT_FALSE(TakeDiaryEntryTexts(texts, entry, error));
    EXPECT_EQ(error.field, DiaryEntryField::Cost);

    texts.cost.clear();
    EXPECT_FALSE(TakeDiaryEntryTexts(texts, entry, error));
    EXPECT_EQ(error.field, DiaryEntryField::EReturn);

    texts.eReturn.clear();
    EXPECT_FALSE(TakeDiaryEntryTexts(texts, entry, error));
    EXPECT_EQ(error.field, DiaryEntryField::DividendsDate);
}

TEST_F(DiaryEntryTexts, AShownNAMustBeClearedBeforeOkIsTaken) {
    // An entry whose return does not apply opens with "N/A" in that field.
    CDiaryEntry entry = StoredEntry();
    CDiaryEntryTexts texts = DiaryEntryToTexts(entry);
    CDiaryEntryTextError error;
    EXPECT_FALSE(TakeDiaryEntryTexts(texts, entry, error));
    EXPECT_EQ(error.message, "Invalid Exercised return");

    texts.eReturn.clear();
    ASSERT_TRUE(TakeDiaryEntryTexts(texts, entry, error)) << error.message;
    EXPECT_EQ(entry.m_EReturn, UNSET_VALUE);
    CDiaryEntry expected = StoredEntry();
    expected.m_SharePrice = 42.12346; // what the dialog showed
    expected.m_EReturn = UNSET_VALUE;
    EXPECT_EQ(entry, expected);
}

TEST_F(DiaryEntryTexts, FiguresReadThousandsSeparatorsAndDollarSigns) {
    CDiaryEntryTexts texts = GoodTexts();
    texts.shares = "1,234";
    texts.sharePrice = "$1,234.50";
    texts.cost = "-1,234";
    texts.neReturn = "4.5%";
    CDiaryEntry entry;
    CDiaryEntryTextError error;
    ASSERT_TRUE(TakeDiaryEntryTexts(texts, entry, error)) << error.message;
    EXPECT_EQ(entry.m_Shares, 1234.0);
    EXPECT_EQ(entry.m_SharePrice, 1234.5);
    EXPECT_EQ(entry.m_Cost, -1234.0);
    EXPECT_EQ(entry.m_NEReturn, 4.5);
}

TEST_F(DiaryEntryTexts, AcceptTheEndsOfTheFileRangeAndLeadingNumbers) {
    CDiaryEntryTexts texts = GoodTexts();
    texts.shares = "1000000000";
    texts.cost = "-999999999.5";
    texts.premium = "0.87 per share";
    CDiaryEntry entry;
    CDiaryEntryTextError error;
    ASSERT_TRUE(TakeDiaryEntryTexts(texts, entry, error)) << error.message;
    EXPECT_EQ(entry.m_Shares, 1000000000.0);
    EXPECT_EQ(entry.m_Cost, -999999999.5);
    EXPECT_EQ(entry.m_Premium, 0.87);
}

} // namespace
} // namespace strikeline
