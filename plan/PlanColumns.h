#pragma once

#include "storage/Color.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace strikeline {

class CColorScheme;

// Every column of a plan row, in the order the plan file writes their colour elements.
enum class PlanColumnId : std::uint8_t {
    SrcType,
    Company,
    ExpiryDate,
    Shares,
    OptionContracts,
    SharePrice,
    Cost,
    EquityBrokerage,
    AddToDiary1,
    StrikePrice,
    FairPrice,
    NEBrokerage,
    NEProfit,
    NEReturn,
    AddToDiary2,
    EBrokerage,
    EProfit,
    EReturn,
    AddToDiary3,
    DividendValue,
    DividendDate,
    Trades,
    AddToDiary4,
    CloseAll,
    BEP,
    // Worked out from the market's analytics each time they are shown, never stored.
    Days,
    AnnualReturn,
    Warnings,
};

// What a column's values are, which decides how a spreadsheet holds and aligns them.
enum class PlanValueKind { Text = 0, Count = 1, Money = 2, Date = 3, Percent = 4 };

// The heading some neighbouring columns stand under, with the sub-headings of their own.
enum class PlanColumnGroup : std::uint8_t { None, NotExercised, Exercised, Dividends };

struct CPlanColumnGroup {
    std::string_view heading;
    // Of the HTML page's width, in percent, for the whole group.
    int htmlWidth;
};

inline constexpr std::array<CPlanColumnGroup, 4> PlanColumnGroups = {{
    {"", 0},
    {"Not exercised", 10},
    {"Exercised", 15},
    {"Dividends", 9},
}};

constexpr const CPlanColumnGroup& GroupOf(PlanColumnGroup group) {
    return PlanColumnGroups[static_cast<std::size_t>(group)];
}

// Where a column shows, as flags.
enum PlanOutput : unsigned {
    PlanOutputView = 1u << 0, // shown in the plan view (every column has a cell there)
    PlanOutputCsv = 1u << 1,
    PlanOutputHtml = 1u << 2,
    PlanOutputXlsx = 1u << 3,
    PlanOutputDocx = 1u << 4,
    // In every export, but only when the user asks for the analytics.
    PlanOutputAnalytics = 1u << 5,
};
inline constexpr unsigned kPlanExports =
    PlanOutputCsv | PlanOutputHtml | PlanOutputXlsx | PlanOutputDocx;
inline constexpr unsigned kPlanEverywhere = PlanOutputView | kPlanExports;
inline constexpr unsigned kPlanAnalytics = PlanOutputView | PlanOutputAnalytics;

// The column's cell in a row of the plan view.
struct CPlanViewCell {
    // Its place in the row, left to right.
    int index;
    // Of the row's 64 width units.
    int width;
    bool checkBox = false;
    // The "Add to Diary" flag of the entry that the box shows, or -1.
    int diaryBox = -1;
};

struct CPlanColumnHeading {
    // The heading of the view and of the CSV, HTML and workbook exports; a sub-heading for
    // a column of a group.
    std::string_view text;
    PlanColumnGroup group = PlanColumnGroup::None;
    // Where the view or the document says it differently.
    std::string_view view = {};
    std::string_view docx = {};
};

// One column of a plan row: its key (the view's cell name and the colour element of the
// plan file, so it never changes), the number that older plan files used for its colour
// element (-1: none), its heading, its widths, how its figures are shown and where.
struct CPlanColumn {
    PlanColumnId id;
    std::string_view key;
    int legacyNumber;
    CPlanColumnHeading heading;
    CPlanViewCell view;
    // Of the HTML page's width, in percent; 0 in a group, whose heading has the width.
    int htmlWidth;
    PlanValueKind kind;
    // The most fraction digits its figures show (counts, money, percentages).
    int decimals;
    unsigned outputs;
    // The cell holds two lines, the record date over the expiry date.
    bool twoLines = false;
    // The totals row has a figure in this column.
    bool hasTotal = false;

    constexpr bool ShowsIn(unsigned output) const { return (outputs & output) != 0; }
    constexpr std::string_view ViewHeading() const {
        return heading.view.empty() ? heading.text : heading.view;
    }
    constexpr std::string_view DocxHeading() const {
        return heading.docx.empty() ? heading.text : heading.docx;
    }
};

inline constexpr std::size_t kPlanColumnCount = 28;

namespace plan_columns_detail {
using I = PlanColumnId;
using K = PlanValueKind;
using G = PlanColumnGroup;
// A cell of the view row that is never shown (it keeps its colour in the plan file), and
// in no export.
inline constexpr unsigned kHiddenCell = 0;
} // namespace plan_columns_detail

// clang-format off
inline constexpr std::array<CPlanColumn, kPlanColumnCount> PlanColumnTable = [] {
    using namespace plan_columns_detail;
    return std::array<CPlanColumn, kPlanColumnCount>{{
        // id, key, legacy number, {heading, group, view's, document's},
        // {view index, view width, check box, diary flag}, HTML width, kind, decimals, outputs
        {I::SrcType, "SrcType", -1, {"Type"}, {0, 2}, 3, K::Text, 0, kPlanEverywhere},
        {I::Company, "Company", 0, {"Company Code"}, {1, 3}, 6, K::Text, 0, kPlanEverywhere},
        {I::ExpiryDate, "ExpiryDate", 1,
         {"Record Date\nExpiry Date", G::None, {}, "Record Date Expiry Date"}, {2, 4}, 5,
         K::Date, 0, kPlanEverywhere, true},
        {I::Shares, "Shares", 2, {"Shares"}, {3, 3}, 5, K::Count, 5, kPlanEverywhere},
        {I::OptionContracts, "OptionContracts", 3, {"Option Contracts"}, {4, 2}, 6, K::Count, 5,
         kPlanEverywhere},
        {I::SharePrice, "SharePrice", 4, {"Share Price"}, {5, 3}, 5, K::Money, 2, kPlanEverywhere},
        {I::Cost, "Cost", 5, {"Cost"}, {6, 3}, 5, K::Money, 2, kPlanEverywhere, false, true},
        {I::EquityBrokerage, "EquityBrokerage", 6, {"Equity Brokerage"}, {7, 3}, 7, K::Money, 2,
         kPlanEverywhere, false, true},
        {I::AddToDiary1, "AddToDiary1", 7, {"Add to Diary"}, {8, 1, true, 0}, 0, K::Text, 0,
         kHiddenCell},
        {I::StrikePrice, "StrikePrice", 8, {"Strike Price", G::None, "Strike price"}, {9, 3}, 5,
         K::Money, 2, kPlanEverywhere},
        {I::FairPrice, "ADXFairPrice", 9, {"ASX Fair Price (Premium)"}, {10, 3}, 7, K::Money, 2,
         kPlanEverywhere},
        {I::NEBrokerage, "NEBrokerage", 10, {"Option Brokerage"}, {11, 3}, 8, K::Money, 2,
         kPlanEverywhere, false, true},
        {I::NEProfit, "NEProfit", 11, {"Net Profit", G::NotExercised, {}, "Profit"}, {12, 3}, 0,
         K::Money, 2, kPlanEverywhere, false, true},
        {I::NEReturn, "NEReturn", 12, {"% Return", G::NotExercised}, {13, 3}, 0, K::Percent, 2,
         kPlanEverywhere, false, true},
        {I::AddToDiary2, "AddToDiary2", 13, {"Add to Diary"}, {14, 1, true, 1}, 0, K::Text, 0,
         kHiddenCell},
        {I::EBrokerage, "EBrokerage", 14, {"Exercise Brokerage", G::Exercised}, {15, 3}, 0,
         K::Money, 2, kPlanEverywhere, false, true},
        {I::EProfit, "EProfit", 15, {"Net Profit", G::Exercised, {}, "Profit"}, {16, 3}, 0,
         K::Money, 2, kPlanEverywhere, false, true},
        {I::EReturn, "EReturn", 16, {"% Return", G::Exercised}, {17, 3}, 0, K::Percent, 2,
         kPlanEverywhere, false, true},
        {I::AddToDiary3, "AddToDiary3", 17, {"Add to Diary"}, {18, 1, true, 2}, 0, K::Text, 0,
         kHiddenCell},
        {I::DividendValue, "DividendValue", 18, {"Value", G::Dividends}, {19, 3}, 0, K::Money, 2,
         kPlanEverywhere},
        {I::DividendDate, "DividendDate", 19, {"Date", G::Dividends}, {20, 4}, 0, K::Date, 0,
         kPlanEverywhere},
        {I::Trades, "Trades", 20, {"Trades"}, {21, 2}, 0, K::Count, 0, kHiddenCell},
        {I::AddToDiary4, "AddToDiary4", 21, {"Add to Diary"}, {22, 1, true, 3}, 0, K::Text, 0,
         kHiddenCell},
        {I::CloseAll, "CloseAll", 22, {"Close All"}, {24, 1, true}, 0, K::Text, 0,
         PlanOutputView},
        {I::BEP, "BEP", -1, {"BEP"}, {23, 3}, 4, K::Money, 2, kPlanEverywhere},
        {I::Days, "Days", -1, {"Days"}, {25, 2}, 3, K::Count, 0, kPlanAnalytics},
        {I::AnnualReturn, "AnnReturn", -1, {"Ann. Return %"}, {26, 3}, 4, K::Percent, 2,
         kPlanAnalytics},
        {I::Warnings, "Warnings", -1, {"Warnings"}, {27, 12}, 15, K::Text, 0, kPlanAnalytics},
    }};
}();
// clang-format on

// The entry of a column.
constexpr const CPlanColumn& PlanColumnOf(PlanColumnId id) {
    return PlanColumnTable[static_cast<std::size_t>(id)];
}

// The column whose stored key is `key`, if any.
constexpr std::optional<PlanColumnId> PlanColumnIdOf(std::string_view key) {
    for (const CPlanColumn& column : PlanColumnTable) {
        if (column.key == key) {
            return column.id;
        }
    }
    return std::nullopt;
}

// Keys the code refers to by name.
namespace PlanColumn {
inline constexpr std::string_view SrcType = PlanColumnOf(PlanColumnId::SrcType).key;
inline constexpr std::string_view Company = PlanColumnOf(PlanColumnId::Company).key;
inline constexpr std::string_view ExpiryDate = PlanColumnOf(PlanColumnId::ExpiryDate).key;
inline constexpr std::string_view Shares = PlanColumnOf(PlanColumnId::Shares).key;
inline constexpr std::string_view OptionContracts = PlanColumnOf(PlanColumnId::OptionContracts).key;
inline constexpr std::string_view SharePrice = PlanColumnOf(PlanColumnId::SharePrice).key;
inline constexpr std::string_view Cost = PlanColumnOf(PlanColumnId::Cost).key;
inline constexpr std::string_view EquityBrokerage = PlanColumnOf(PlanColumnId::EquityBrokerage).key;
inline constexpr std::string_view StrikePrice = PlanColumnOf(PlanColumnId::StrikePrice).key;
inline constexpr std::string_view FairPrice = PlanColumnOf(PlanColumnId::FairPrice).key;
inline constexpr std::string_view NEBrokerage = PlanColumnOf(PlanColumnId::NEBrokerage).key;
inline constexpr std::string_view NEProfit = PlanColumnOf(PlanColumnId::NEProfit).key;
inline constexpr std::string_view NEReturn = PlanColumnOf(PlanColumnId::NEReturn).key;
inline constexpr std::string_view EBrokerage = PlanColumnOf(PlanColumnId::EBrokerage).key;
inline constexpr std::string_view EProfit = PlanColumnOf(PlanColumnId::EProfit).key;
inline constexpr std::string_view EReturn = PlanColumnOf(PlanColumnId::EReturn).key;
inline constexpr std::string_view DividendValue = PlanColumnOf(PlanColumnId::DividendValue).key;
inline constexpr std::string_view DividendDate = PlanColumnOf(PlanColumnId::DividendDate).key;
inline constexpr std::string_view Trades = PlanColumnOf(PlanColumnId::Trades).key;
inline constexpr std::string_view CloseAll = PlanColumnOf(PlanColumnId::CloseAll).key;
inline constexpr std::string_view BEP = PlanColumnOf(PlanColumnId::BEP).key;
inline constexpr std::string_view Days = PlanColumnOf(PlanColumnId::Days).key;
inline constexpr std::string_view AnnualReturn = PlanColumnOf(PlanColumnId::AnnualReturn).key;
inline constexpr std::string_view Warnings = PlanColumnOf(PlanColumnId::Warnings).key;
} // namespace PlanColumn

namespace plan_columns_detail {

constexpr bool IdsInOrder() {
    for (std::size_t i = 0; i < PlanColumnTable.size(); ++i) {
        if (static_cast<std::size_t>(PlanColumnTable[i].id) != i) {
            return false;
        }
    }
    return true;
}

// One export content serves every format, so a column is in all of them or none.
constexpr bool ExportsAgree() {
    for (const CPlanColumn& column : PlanColumnTable) {
        const unsigned exports = column.outputs & kPlanExports;
        if (exports != 0 && exports != kPlanExports) {
            return false;
        }
    }
    return true;
}

constexpr std::size_t ExportCount(unsigned outputs) {
    std::size_t count = 0;
    for (const CPlanColumn& column : PlanColumnTable) {
        count += column.ShowsIn(outputs) ? 1 : 0;
    }
    return count;
}

// The analytics columns follow every column the exports always show, so that an export
// without them is the same as one with them cut short.
constexpr bool AnalyticsLast() {
    bool analytics = false;
    for (const CPlanColumn& column : PlanColumnTable) {
        if (column.ShowsIn(kPlanExports) && analytics) {
            return false;
        }
        analytics = analytics || column.ShowsIn(PlanOutputAnalytics);
    }
    return true;
}

} // namespace plan_columns_detail

static_assert(plan_columns_detail::IdsInOrder(), "the table is indexed by column id");
static_assert(plan_columns_detail::ExportsAgree(), "every export shows the same columns");
static_assert(plan_columns_detail::AnalyticsLast(), "the analytics columns end the exports");

// The columns of the exports, in the table's order: the first kPlanExportColumnCount are
// in every export, the rest only in one that includes the analytics.
inline constexpr std::size_t kPlanExportColumnCount =
    plan_columns_detail::ExportCount(kPlanExports);
inline constexpr std::size_t kPlanExportColumnLimit =
    plan_columns_detail::ExportCount(kPlanExports | PlanOutputAnalytics);
using CPlanExportColumn = CPlanColumn;
inline constexpr std::array<CPlanColumn, kPlanExportColumnLimit> PlanExportColumns = [] {
    std::array<CPlanColumn, kPlanExportColumnLimit> columns{};
    std::size_t next = 0;
    for (const CPlanColumn& column : PlanColumnTable) {
        if (column.ShowsIn(kPlanExports | PlanOutputAnalytics)) {
            columns[next++] = column;
        }
    }
    return columns;
}();

// How many of PlanExportColumns an export shows.
constexpr std::size_t PlanExportColumnCount(bool analytics) {
    return analytics ? kPlanExportColumnLimit : kPlanExportColumnCount;
}

// A run of neighbouring columns under one group heading: its first column and how many.
struct CPlanGroupSpan {
    PlanColumnGroup group;
    std::size_t first;
    std::size_t count;
};

// The group runs of `columns`, in order; the rest of the array is left empty.
template <std::size_t N>
constexpr std::array<CPlanGroupSpan, N> PlanGroupSpans(const std::array<CPlanColumn, N>& columns) {
    std::array<CPlanGroupSpan, N> spans{};
    std::size_t next = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const PlanColumnGroup group = columns[i].heading.group;
        if (group == PlanColumnGroup::None) {
            continue;
        }
        if (next > 0 && spans[next - 1].group == group &&
            spans[next - 1].first + spans[next - 1].count == i) {
            ++spans[next - 1].count;
        } else {
            spans[next++] = {group, i, 1};
        }
    }
    return spans;
}

// The group run that starts at export column `column`, or nullptr.
inline constexpr auto PlanExportGroupSpans = PlanGroupSpans(PlanExportColumns);
constexpr const CPlanGroupSpan* PlanExportGroupAt(std::size_t column) {
    for (const CPlanGroupSpan& span : PlanExportGroupSpans) {
        if (span.count > 0 && span.first == column) {
            return &span;
        }
    }
    return nullptr;
}

// The highlight colours a plan cell can carry, by colour index: 0 none (the report
// background), 1 and 2 from the scheme, 3 red, 4 cyan. Any other index shows as 0.
inline constexpr std::int32_t kPlanCellColourCount = 5;
Color PlanCellPalette(const CColorScheme& scheme, std::int32_t index);

} // namespace strikeline
