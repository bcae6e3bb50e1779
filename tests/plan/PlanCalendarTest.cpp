#include "plan/PlanCalendar.h"

#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace strikeline {
namespace {

using test::Utc;

CTradingPlanEntry Row(const std::string& company, const std::string& series,
                      const std::string& expiry, std::uint32_t type = TYPE_SELL_CALL) {
    CTradingPlanEntry row;
    row.m_SourceType = type;
    row.m_CompanyID = company;
    row.m_ContractID = series;
    row.m_DateExpiry = Utc(expiry);
    row.m_Shares = 2000;
    row.m_ContractSize = 1000;
    row.m_StrikePrice = 45.5;
    return row;
}

CDividend Dividend(const std::string& code, const std::string& date, double amount) {
    return {code, Utc(date), amount, 100.0};
}

// "kind day company series" of each event, in the order given.
std::vector<std::string> Listing(const std::vector<CPlanCalendarEvent>& events) {
    std::vector<std::string> out;
    for (const CPlanCalendarEvent& event : events) {
        std::ostringstream line;
        line << (event.kind == PlanCalendarEventKind::Expiry ? "expiry " : "exdiv ")
             << static_cast<int>(event.date.year()) << '-'
             << static_cast<unsigned>(event.date.month()) << '-'
             << static_cast<unsigned>(event.date.day()) << ' ' << event.company << ' '
             << event.series;
        out.push_back(line.str());
    }
    return out;
}

class PlanCalendarTest : public ::testing::Test {
protected:
    test::CScopedEnv m_Zone{"TZ", "UTC"};
    const FileTime m_Now = Utc("2026-06-10 09:30:00");
};

TEST_F(PlanCalendarTest, OpenRowsGiveTheirExpiryAndTheExDatesUpToIt) {
    struct Case {
        const char* name;
        std::vector<CTradingPlanEntry> rows;
        std::vector<CDividend> dividends;
        bool marketGiven;
        std::vector<std::string> expected;
    };
    CTradingPlanEntry ownDividend = Row("ANZ", "ANZXY9", "2026-07-30");
    ownDividend.m_DividendsDate = Utc("2026-07-01");
    ownDividend.m_DividendsValue = 0.8;
    CTradingPlanEntry ownDividendAfterExpiry = ownDividend;
    ownDividendAfterExpiry.m_DividendsDate = Utc("2026-08-01");
    CTradingPlanEntry noExpiry = Row("CBA", "CBAXY9", "2026-07-30");
    noExpiry.m_DateExpiry = kNoDate;
    const std::vector<Case> cases = {
        {"expired yesterday, expiring today, later",
         {Row("BHP", "BHPOLD", "2026-06-09"), Row("BHP", "BHPTDY", "2026-06-10"),
          Row("BHP", "BHPLTR", "2026-06-25")},
         {},
         false,
         {"expiry 2026-6-10 BHP BHPTDY", "expiry 2026-6-25 BHP BHPLTR"}},
        {"a row without an expiry has no date",
         {noExpiry},
         {Dividend("CBA", "2026-06-20", 1)},
         true,
         {}},
        {"market dividends: only the share's, from today to the expiry day itself",
         {Row("BHP", "BHPXY9", "2026-06-25")},
         {Dividend("BHP", "2026-06-09", 1), Dividend("bhp", "2026-06-10", 1),
          Dividend("BHP", "2026-06-25", 1), Dividend("BHP", "2026-06-26", 1),
          Dividend("RIO", "2026-06-15", 1)},
         true,
         {"exdiv 2026-6-10 BHP BHPXY9", "expiry 2026-6-25 BHP BHPXY9",
          "exdiv 2026-6-25 BHP BHPXY9"}},
        {"an expired row takes no dividend",
         {Row("BHP", "BHPOLD", "2026-06-09")},
         {Dividend("BHP", "2026-06-09", 1)},
         true,
         {}},
        {"the market's dates win over the row's own",
         {ownDividend},
         {Dividend("ANZ", "2026-07-10", 0.5)},
         true,
         {"exdiv 2026-7-10 ANZ ANZXY9", "expiry 2026-7-30 ANZ ANZXY9"}},
        {"a share the market lists nothing for in the span takes the row's own",
         {ownDividend},
         {Dividend("ANZ", "2026-09-10", 0.5)},
         true,
         {"exdiv 2026-7-1 ANZ ANZXY9", "expiry 2026-7-30 ANZ ANZXY9"}},
        {"without a market the row's own",
         {ownDividend},
         {},
         false,
         {"exdiv 2026-7-1 ANZ ANZXY9", "expiry 2026-7-30 ANZ ANZXY9"}},
        {"the row's own after its expiry",
         {ownDividendAfterExpiry},
         {},
         false,
         {"expiry 2026-7-30 ANZ ANZXY9"}},
        {"two rows of one series share the events; another series has its own",
         {Row("BHP", "BHPXY9", "2026-06-25"), Row("BHP", "BHPXY9", "2026-06-25", TYPE_BUY_CALL),
          Row("BHP", "BHPXZ9", "2026-06-25")},
         {Dividend("BHP", "2026-06-12", 1)},
         true,
         {"exdiv 2026-6-12 BHP BHPXY9", "exdiv 2026-6-12 BHP BHPXZ9", "expiry 2026-6-25 BHP BHPXY9",
          "expiry 2026-6-25 BHP BHPXZ9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTradingPlan plan;
        for (const CTradingPlanEntry& row : c.rows) {
            plan.Append(row);
        }
        const std::vector<CPlanCalendarEvent> events =
            PlanCalendarEvents(plan, m_Now, c.marketGiven ? &c.dividends : nullptr);
        EXPECT_EQ(Listing(events), c.expected);
        std::set<std::string> uids;
        for (const CPlanCalendarEvent& event : events) {
            EXPECT_TRUE(uids.insert(event.uid).second) << event.uid;
        }
    }
}

TEST_F(PlanCalendarTest, EventsSayWhatTheyAreAbout) {
    CTradingPlan plan;
    plan.Append(Row("BHP", "BHPXY9", "2026-06-25"));
    const std::vector<CDividend> dividends = {Dividend("BHP", "2026-06-12", 0.725)};
    const std::vector<CPlanCalendarEvent> events = PlanCalendarEvents(plan, m_Now, &dividends);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].summary, "Ex-dividend: BHP");
    EXPECT_EQ(events[1].summary, "Expiry: BHPXY9 (BHP)");
    for (const CPlanCalendarEvent& event : events) {
        for (const char* part : {"Company: BHP\n", "Series: BHPXY9\n", "Type: C (Sell)\n",
                                 "Strike: $45.5\n", "Contracts: 2"}) {
            EXPECT_NE(event.description.find(part), std::string::npos) << part;
        }
    }
    EXPECT_NE(events[0].description.find("Dividend: $0.725 a share, 100% franked"),
              std::string::npos);
    EXPECT_EQ(events[1].description.find("Dividend"), std::string::npos);
}

TEST_F(PlanCalendarTest, UidsFollowTheEventNotTheRowOrTheMoment) {
    const auto uids = [](std::vector<CTradingPlanEntry> rows, FileTime now, double premium = 0.1) {
        CTradingPlan plan;
        for (CTradingPlanEntry& row : rows) {
            row.m_Premium = premium; // a figure, not what the event is
            plan.Append(row);
        }
        std::map<std::string, std::string> byEvent;
        for (const CPlanCalendarEvent& event : PlanCalendarEvents(plan, now, nullptr)) {
            byEvent[event.summary] = event.uid;
        }
        return byEvent;
    };
    const CTradingPlanEntry bhp = Row("BHP", "BHPXY9", "2026-06-25");
    const CTradingPlanEntry rio = Row("RIO", "RIOXY9", "2026-07-30");
    const auto before = uids({bhp, rio}, m_Now);
    EXPECT_EQ(before, uids({rio, bhp}, Utc("2026-06-20 23:59:59"), 0.35));
    ASSERT_EQ(before.size(), 2u);
    EXPECT_NE(before.at("Expiry: BHPXY9 (BHP)"), before.at("Expiry: RIOXY9 (RIO)"));
    for (const auto& [summary, uid] : before) {
        EXPECT_TRUE(uid.ends_with("@strikeline")) << uid;
    }
    // Another day is another event.
    CTradingPlanEntry moved = bhp;
    moved.m_DateExpiry = Utc("2026-06-26");
    EXPECT_NE(uids({moved}, m_Now).at("Expiry: BHPXY9 (BHP)"), before.at("Expiry: BHPXY9 (BHP)"));
}

TEST_F(PlanCalendarTest, TextIsFoldedEscapedAndEndsItsLinesWithCrLf) {
    CTradingPlan plan;
    // Long, multi-byte and hostile: every line must stay within 75 octets without splitting
    // a character, and no text may end a property or start another.
    plan.Append(Row(
        "B;H,P\\", std::string(40, 'X') + "\xc3\xa9\xe2\x82\xac\nEND:VEVENT" + std::string(60, 'Y'),
        "2026-06-25"));
    const std::string text = PlanCalendarText(PlanCalendarEvents(plan, m_Now, nullptr), m_Now);
    EXPECT_TRUE(text.starts_with("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"));
    EXPECT_TRUE(text.ends_with("END:VCALENDAR\r\n"));
    std::size_t start = 0;
    int endEvents = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_EQ(line.find('\r'), std::string::npos);
        if (end + 2 < text.size() && text[end + 2] == ' ') {
            // A continuation never starts inside a character.
            EXPECT_NE(static_cast<unsigned char>(text[end + 3]) & 0xc0, 0x80) << line;
        }
        endEvents += line == "END:VEVENT" ? 1 : 0;
        start = end + 2;
    }
    EXPECT_EQ(endEvents, 1);
    EXPECT_NE(text.find("DTSTAMP:20260610T093000Z\r\n"), std::string::npos);
    EXPECT_NE(text.find("DTSTART;VALUE=DATE:20260625\r\nDTEND;VALUE=DATE:20260626\r\n"),
              std::string::npos);
    // Unfolded, the summary holds the escaped texts.
    std::string unfolded = text;
    for (std::size_t at = unfolded.find("\r\n "); at != std::string::npos;
         at = unfolded.find("\r\n ", at)) {
        unfolded.erase(at, 3);
    }
    EXPECT_NE(unfolded.find("(B\\;H\\,P\\\\)"), std::string::npos);
    EXPECT_NE(unfolded.find("\xc3\xa9\xe2\x82\xac\\nEND:VEVENT"), std::string::npos);
}

TEST_F(PlanCalendarTest, WritingReplacesTheFileOnlyWhenComplete) {
    test::CTempFolder folder;
    CTradingPlan plan;
    plan.Append(Row("BHP", "BHPXY9", "2026-06-25"));
    const std::vector<CPlanCalendarEvent> events = PlanCalendarEvents(plan, m_Now, nullptr);
    const std::string path = folder.File("plan.ics");
    std::string error;
    ASSERT_TRUE(WritePlanCalendar(events, m_Now, path, error)) << error;
    EXPECT_EQ(test::ReadTextFile(path), PlanCalendarText(events, m_Now));
    EXPECT_FALSE(WritePlanCalendar(events, m_Now, folder.File("missing/plan.ics"), error));
    EXPECT_NE(error.find("missing/plan.ics"), std::string::npos) << error;
}

} // namespace
} // namespace strikeline
