#include "analytics/MarketAnalytics.h"
#include "plan/PlanAnalyticsTestData.h"
#include "plan/PlanColumns.h"
#include "plan/PlanCsvWriter.h"
#include "plan/PlanFigures.h"
#include "plan/PlanHtmlWriter.h"
#include "plan/PlanMail.h"
#include "plan/PlanTestData.h"
#include "storage/ColorScheme.h"
#include "storage/NumberText.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"
#include "support/TestTimes.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace strikeline {
namespace {

namespace C = PlanColumn;

const std::string kCsvHeadings =
    "Type,Company Code,\"Record Date\nExpiry Date\",Shares,Option Contracts,Share Price,Cost,"
    "Equity Brokerage,Strike Price,ASX Fair Price (Premium),Option Brokerage,Not exercised,,"
    "Exercised,,,Dividends,,BEP\n"
    ",,,,,,,,,,,Net Profit,% Return,Exercise Brokerage,Net Profit,% Return,Value,Date,\n";

class PlanExportTest : public ::testing::Test {
protected:
    // A plan of two companies: ANZ with shares not yet entered, BHP with a sold call and
    // a bought put, added out of display order.
    static CTradingPlan TwoCompanies() {
        CTradingPlan plan;
        CTradingPlanEntry bought = Dated(test::SoldCall("BHP", "BHPPZ9"));
        bought.m_SourceType = TYPE_BUY_PUT;
        plan.Append(bought);
        CTradingPlanEntry anz = Dated(test::SoldCall("ANZ", "ANZXA1"));
        anz.m_Shares = UNSET_VALUE;
        plan.Append(anz);
        CTradingPlanEntry sold = Dated(test::SoldCall("BHP", "BHPXY9"));
        sold.m_DividendsValue = 0.85;
        sold.m_DividendsDate = test::Utc("2010-05-05");
        sold.SetCellColour(C::NEProfit, 3);
        plan.Append(sold);
        return plan;
    }

    static CTradingPlanEntry Dated(CTradingPlanEntry e) {
        e.m_RecordDate = test::Utc("2010-04-13 05:30:00");
        e.m_DateExpiry = test::Utc("2010-06-24");
        return e;
    }

    const FileTime m_Generated = test::Utc("2010-04-13 17:05:09");
    test::CScopedEnv m_Zone{"TZ", "UTC"};
    test::CTempFolder m_Folder;
};

TEST_F(PlanExportTest, CsvOfAnEmptyPlan) {
    EXPECT_EQ(PlanCsvText(BuildPlanExport(CTradingPlan(), m_Generated)),
              kCsvHeadings + "Totals\n,,,,,,$0,$0,,,$0,$0,0%,$0,$0,0%,,\n"
                             "Trading Plan Generated at 2010-04-13 17:05:09 \n");
}

TEST_F(PlanExportTest, CsvOfTwoCompaniesInDisplayOrder) {
    const std::string path = m_Folder.File("plan.csv");
    std::string error;
    ASSERT_TRUE(WritePlanCsv(BuildPlanExport(TwoCompanies(), m_Generated), path, error)) << error;
    EXPECT_EQ(test::ReadTextFile(path),
              kCsvHeadings +
                  "ANZ\n"
                  "C (Sell),ANZXA1,\"13-Apr-2010\n24-Jun-2010\",,,$10,,$50,$11,$0.5,$0,,,$60,,,,,"
                  "$9.5\n"
                  "BHP\n"
                  "C (Sell),BHPXY9,\"13-Apr-2010\n24-Jun-2010\",1000,1,$10,$10000,$50,$11,$0.5,$0,"
                  "$450,4.5%,$60,$1390,13.9%,$0.85,05-May-2010,$9.5\n"
                  "P (Buy),BHPPZ9,\"13-Apr-2010\n24-Jun-2010\",1000,1,$10,$500,$50,$11,$0.5,$0,"
                  "$-500,N/A,N/A,N/A,N/A,,,$9.5\n"
                  "Totals\n"
                  ",,,,,,$10500,$150,,,$0,$-50,-0.48%,$120,$890,8.48%,,\n"
                  "Trading Plan Generated at 2010-04-13 17:05:09 \n");
}

// Codes come from the feed and from typing: none may run as a spreadsheet formula or move
// the columns after it.
TEST_F(PlanExportTest, CsvCodesNeitherRunAsFormulasNorShiftColumns) {
    struct Case {
        std::string code;
        std::string written;
    };
    const Case cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+SUM(A1:A2)", "'+SUM(A1:A2)"},
        {"@SUM(1)", "'@SUM(1)"},
        {"-2+3", "'-2+3"},
        {"\t=1", "'\t=1"},
        {"A,B", "\"A,B\""},
        {"Q\"T", "\"Q\"\"T\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"AB=C-D", "AB=C-D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CTradingPlan plan;
        plan.Append(Dated(test::SoldCall(c.code, c.code)));
        const std::string text = PlanCsvText(BuildPlanExport(plan, m_Generated));
        EXPECT_EQ(text.substr(kCsvHeadings.size(), text.find("Totals\n") - kCsvHeadings.size()),
                  c.written + "\nC (Sell)," + c.written +
                      ",\"13-Apr-2010\n24-Jun-2010\",1000,1,$10,$10000,$50,$11,$0.5,$0,$450,"
                      "4.5%,$60,$1390,13.9%,,,$9.5\n");
    }
}

TEST_F(PlanExportTest, WritersReportFilesTheyCannotCreate) {
    const std::string path = m_Folder.File("missing/plan.csv");
    std::string error;
    EXPECT_FALSE(WritePlanCsv(BuildPlanExport(CTradingPlan(), m_Generated), path, error));
    EXPECT_EQ(error, "Unable to create file " + path + "\n\nNo such file or directory");
    EXPECT_FALSE(
        WritePlanHtml(BuildPlanExport(CTradingPlan(), m_Generated), CColorScheme(), path, error));
    EXPECT_EQ(error, "Unable to create file " + path + "\n\nNo such file or directory");
    EXPECT_TRUE(std::filesystem::is_empty(m_Folder.Path()));
}

TEST_F(PlanExportTest, HtmlCellsTakeTheirHighlightAndTheSchemeColours) {
    CColorScheme scheme;
    scheme.Set(SchemeColor::ReportBk, Rgb(0x12, 0x34, 0x56));
    scheme.Set(SchemeColor::OptionsHeaderBk, Rgb(0xAB, 0xCD, 0xEF));
    scheme.SetFontSize(9);
    const std::string page = PlanHtmlText(BuildPlanExport(TwoCompanies(), m_Generated), scheme);
    EXPECT_NE(page.find("<title>2010-04-13 17:05:09 Trading Plan</title>"), std::string::npos);
    EXPECT_NE(page.find("font-size:9pt;"), std::string::npos);
    EXPECT_NE(page.find("background-color:#123456;"), std::string::npos);
    EXPECT_NE(page.find("background-color:#ABCDEF;"), std::string::npos);
    EXPECT_NE(page.find("<td style=\"background-color:#FF0000\">$450</td>"), std::string::npos);
    EXPECT_NE(page.find("<td style=\"background-color:#123456\">$-500</td>"), std::string::npos);
    EXPECT_NE(page.find("<td style=\"background-color:#00FFFF\">$0.5</td>"), std::string::npos);
    EXPECT_NE(page.find(">13-Apr-2010<br>24-Jun-2010</td>"), std::string::npos);
    EXPECT_NE(page.find("<b>BHP</b>"), std::string::npos);
    EXPECT_NE(page.find("<td>$10500</td>\n<td>$150</td>"), std::string::npos);
    EXPECT_NE(page.find("<td>$890</td>\n<td>8.48%</td>"), std::string::npos);
    EXPECT_NE(page.find("<b>Trading Plan Generated at 2010-04-13 17:05:09</b>"), std::string::npos);
    EXPECT_EQ(page.find('#' + std::string("CLR")), std::string::npos);
}

TEST_F(PlanExportTest, HtmlEscapesEveryTextFromThePlan) {
    CTradingPlan plan;
    plan.Append(test::SoldCall("<i>A&B</i>", "<script>x</script>#GEN#"));
    CColorScheme scheme;
    scheme.SetFontStyle("Evil\"; }</style><script>");
    const std::string page = PlanHtmlText(BuildPlanExport(plan, m_Generated), scheme);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_NE(page.find("<b>&lt;i&gt;A&amp;B&lt;/i&gt;</b>"), std::string::npos);
    // A value that looks like a placeholder is shown as it is.
    EXPECT_NE(page.find(">&lt;script&gt;x&lt;/script&gt;#GEN#</td>"), std::string::npos);
    EXPECT_NE(page.find("font-family:\"Evil\\22 ; }\\3C /style\\3E \\3C script\\3E \";"),
              std::string::npos);
}

// The analytics columns, in an export that asks for them.
class PlanExportAnalyticsTest : public PlanExportTest {
protected:
    using CMarket = test::CFrankedCallMarket;

    PlanExportAnalyticsTest() {
        m_Plan.Append(m_Market.Row());
        m_Plan.Append(m_Market.Row(CMarket::kMissingSeries));
        const std::shared_ptr<const CMarketSnapshot> snapshot =
            CMarketSnapshot().WithCalls(m_Market.calls)->WithDividends(m_Market.dividends);
        m_Analytics.market =
            ComputeMarketAnalytics(*snapshot, MakeAnalyticsContext(m_Now, m_Analytics.settings), 1);
    }

    // What the row writing the call shows: the days to expiry and its not-exercised
    // return a year.
    std::string Days() const { return std::to_string(CMarket::kExpiryDays); }
    std::string AnnualReturn() const {
        return FormatPercent(NotExercisedReturn(m_Market.Row()) * 365.0 / CMarket::kExpiryDays, 2);
    }

    // The CSV line of the row of `series` (its dates' field holds a line break).
    static std::string CsvRow(const std::string& csv, const std::string& series) {
        const std::size_t start = csv.rfind('\n', csv.find("," + series + ",")) + 1;
        const std::size_t dates = csv.find("\",", start);
        return csv.substr(start, csv.find('\n', dates) - start);
    }

    static std::string Escaped(std::string text) {
        for (std::size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at)) {
            text.replace(at, 1, "&#39;");
        }
        return text;
    }

    const FileTime m_Now = test::Utc("2027-03-10 20:00:00");
    const CMarket m_Market{m_Now};
    CTradingPlan m_Plan;
    CPlanExportAnalytics m_Analytics;
};

TEST_F(PlanExportAnalyticsTest, CsvShowsTheAnalyticsColumnsOnlyWhenAskedFor) {
    ASSERT_TRUE(m_Analytics.market);
    const CPlanExportAnalytics notReady{nullptr, m_Analytics.settings};
    struct Case {
        const char* name;
        const CPlanExportAnalytics* analytics;
        // The ends of the heading line and of both rows.
        std::string headings;
        std::string written;
        std::string missing;
    };
    const std::string bep = "," + PlanCellText(m_Market.Row(), PlanColumn::BEP);
    const Case cases[] = {
        {"left out", nullptr, ",Dividends,,BEP\n", bep + "\n", bep},
        {"asked for", &m_Analytics, ",Dividends,,BEP,Days,Ann. Return %,Warnings\n",
         bep + "," + Days() + "," + AnnualReturn() + ",",
         bep + ",,," + std::string(kNoAnalyticsNote)},
        {"asked for before they are ready", &notReady,
         ",Dividends,,BEP,Days,Ann. Return %,Warnings\n", bep + ",,,", bep + ",,,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string csv = PlanCsvText(BuildPlanExport(m_Plan, m_Generated, c.analytics));
        // The first heading line; the sub-headings' line starts with blanks.
        const std::string headings = csv.substr(0, csv.find("\n,,") + 1);
        EXPECT_TRUE(headings.ends_with(c.headings)) << headings;
        const std::string written = CsvRow(csv, CMarket::kSeries);
        const std::string missing = CsvRow(csv, CMarket::kMissingSeries);
        EXPECT_NE((written + "\n").find(c.written), std::string::npos) << written;
        EXPECT_TRUE(missing.ends_with(c.missing)) << missing;
        const bool warned = c.analytics != nullptr && c.analytics->market;
        EXPECT_EQ(written.find(CMarket::FrankingWarning()) != std::string::npos, warned) << written;
        EXPECT_EQ(csv.find(kNoAnalyticsNote) != std::string::npos, warned);
    }
}

TEST_F(PlanExportAnalyticsTest, HtmlShowsTheAnalyticsColumnsOnlyWhenAskedFor) {
    ASSERT_TRUE(m_Analytics.market);
    for (const bool asked : {false, true}) {
        SCOPED_TRACE(asked ? "asked for" : "left out");
        const std::string page = PlanHtmlText(
            BuildPlanExport(m_Plan, m_Generated, asked ? &m_Analytics : nullptr), CColorScheme());
        const std::vector<std::string> shown = {
            "<b>Days</b>",
            "<b>Ann. Return %</b>",
            "<b>Warnings</b>",
            ">" + Days() + "</td>",
            ">" + AnnualReturn() + "</td>",
            Escaped(CMarket::FrankingWarning()),
            ">" + Escaped(std::string(kNoAnalyticsNote)) + "</td>",
            "colspan=" + std::to_string(kPlanExportColumnLimit) + ">",
        };
        for (const std::string& text : shown) {
            EXPECT_EQ(page.find(text) != std::string::npos, asked) << text;
        }
        EXPECT_EQ(page.find("colspan=" + std::to_string(kPlanExportColumnCount) + ">") !=
                      std::string::npos,
                  !asked);
    }
}

class PlanMailTest : public PlanExportTest {
protected:
    // A stand-in for xdg-email: records its arguments and a copy of the attachment, then
    // exits with `status`.
    std::string Composer(int status) {
        const std::string path = m_Folder.File("composer" + std::to_string(status));
        test::WriteTextFile(path, "#!/bin/sh\n"
                                  "dir=$(dirname \"$0\")\n"
                                  "printf '%s\\n' \"$@\" > \"$dir/arguments\"\n"
                                  "cp \"$6\" \"$dir/attached\"\n"
                                  "exit " +
                                      std::to_string(status) + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    CMailAttachments m_Attachments;
};

TEST_F(PlanMailTest, AttachmentNamesCarryTheLocalTime) {
    EXPECT_EQ(PlanAttachmentName(PlanMailFormat::Csv, m_Generated),
              "TradingPlan_2010-04-13_17_05_09.csv");
    EXPECT_EQ(PlanAttachmentName(PlanMailFormat::Excel, m_Generated),
              "TradingPlan_2010-04-13_17_05_09.xlsx");
    EXPECT_EQ(PlanMailSubject(), "TRADING PLAN BY STRIKELINE");
    EXPECT_EQ(PlanMailBody().rfind("Please find attached your Trading Plan which was created "
                                   "using Strikeline software.\n\nStrikeline is a PC based",
                                   0),
              0u);
}

TEST_F(PlanMailTest, ComposerGetsSubjectBodyAndTheAttachmentWhichStaysUntilExit) {
    CXdgEmailComposer composer(Composer(0));
    const CPlanExport content = BuildPlanExport(TwoCompanies(), m_Generated);
    std::string error;
    ASSERT_TRUE(
        SendPlanByMail(content, PlanMailFormat::Csv, m_Generated, m_Attachments, composer, error))
        << error;
    const std::string arguments = test::ReadTextFile(m_Folder.File("arguments"));
    EXPECT_EQ(arguments.rfind("--subject\nTRADING PLAN BY STRIKELINE\n--body\n" + PlanMailBody() +
                                  "\n--attach\n" + m_Attachments.Root().string(),
                              0),
              0u);
    EXPECT_NE(arguments.find("/TradingPlan_2010-04-13_17_05_09.csv\n"), std::string::npos);
    EXPECT_EQ(test::ReadTextFile(m_Folder.File("attached")), PlanCsvText(content));

    const std::filesystem::path root = m_Attachments.Root();
    EXPECT_FALSE(std::filesystem::is_empty(root));
    m_Attachments.RemoveAll();
    EXPECT_FALSE(std::filesystem::exists(root));
}

TEST_F(PlanMailTest, ComposerFailuresGiveTheirMessages) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {m_Folder.File("no-such-composer"), "Unable to load MAPI library"},
        {Composer(3), "Unable to get MAPI functions"},
        {Composer(4), "Error 4: Unable to create email message"},
    };
    for (const auto& [program, message] : cases) {
        CXdgEmailComposer composer(program);
        std::string error;
        EXPECT_FALSE(SendPlanByMail(BuildPlanExport(CTradingPlan(), m_Generated),
                                    PlanMailFormat::Csv, m_Generated, m_Attachments, composer,
                                    error));
        EXPECT_EQ(error, message);
    }
}

} // namespace
} // namespace strikeline
