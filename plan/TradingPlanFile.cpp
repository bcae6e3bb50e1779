// The plan's file, tradingplan.xml: an <Entries> element holding one <Entry> per row in
// plan order, each field a child element. Numbers and dates are written only when they
// hold a value, so an absent element reads back as "not given".

#include "plan/PlanColumns.h"
#include "plan/TradingPlan.h"
#include "storage/RecordListFile.h"
#include "storage/XmlRecords.h"

#include <array>

namespace strikeline {

namespace {

constexpr std::int32_t kHighestColourIndex = 1000000000;

struct CNumberField {
    const char* element;
    double CTradingPlanEntry::*field;
};
constexpr std::array<CNumberField, 9> kNumbers = {{
    {"Shares", &CTradingPlanEntry::m_Shares},
    {"ContractSize", &CTradingPlanEntry::m_ContractSize},
    {"SharePrice", &CTradingPlanEntry::m_SharePrice},
    {"Brokerage", &CTradingPlanEntry::m_Brokerage},
    {"StrikePrice", &CTradingPlanEntry::m_StrikePrice},
    {"Premium", &CTradingPlanEntry::m_Premium},
    {"NEBrokerage", &CTradingPlanEntry::m_NEBrokerage},
    {"EBrokerage", &CTradingPlanEntry::m_EBrokerage},
    {"DividendsValue", &CTradingPlanEntry::m_DividendsValue},
}};
constexpr std::array<const char*, 4> kAddToDiary = {"AddToDiary1", "AddToDiary2", "AddToDiary3",
                                                    "AddToDiary4"};

std::string ColourElement(std::string_view suffix) {
    return "CellColor" + std::string(suffix);
}

void AddDateIfSet(pugi::xml_node parent, const char* name, FileTime value) {
    if (value != kNoDate) {
        AddDateTime(parent, name, value);
    }
}

// A figure the reader would refuse is left out rather than written: it would cost the
// whole row at the next start.
void AddNumberIfSet(pugi::xml_node parent, const char* name, double value) {
    if (IsValue(value) && value >= kPlanNumberMinimum && value <= kPlanNumberMaximum) {
        AddDouble(parent, name, value);
    }
}

void WriteEntry(pugi::xml_node element, const CTradingPlanEntry& entry) {
    AddUInt(element, "SourceType", entry.m_SourceType);
    AddDateIfSet(element, "RecordDate", entry.m_RecordDate);
    AddDateIfSet(element, "StartDate", entry.m_StartDate);
    AddTextElement(element, "CompanyID", entry.m_CompanyID);
    AddTextElement(element, "ContractID", entry.m_ContractID);
    AddDateIfSet(element, "DateExpiry", entry.m_DateExpiry);
    for (const CNumberField& number : kNumbers) {
        AddNumberIfSet(element, number.element, entry.*number.field);
    }
    AddDateIfSet(element, "DividendsDate", entry.m_DividendsDate);
    AddNumberIfSet(element, "Trades", entry.m_Trades);
    for (std::size_t i = 0; i < kAddToDiary.size(); ++i) {
        AddBool(element, kAddToDiary[i], entry.m_AddToDiary[i]);
    }
    for (const CPlanColumn& column : PlanColumnTable) {
        const std::int32_t colour = entry.CellColour(column.key);
        // The analytics cells are worked out, never stored.
        if (colour != 0 && !column.ShowsIn(PlanOutputAnalytics)) {
            AddInt(element, ColourElement(column.key), colour);
        }
    }
}

// The colour of each cell: older files number the columns, newer ones name them; the
// named element wins when a file holds both.
bool ReadCellColours(pugi::xml_node element, CTradingPlanEntry& entry, std::string& error) {
    for (const CPlanColumn& column : PlanColumnTable) {
        if (column.ShowsIn(PlanOutputAnalytics)) {
            continue;
        }
        std::int32_t colour = entry.CellColour(column.key);
        if (column.legacyNumber >= 0 &&
            !GetInt(element, ColourElement(std::to_string(column.legacyNumber)), colour, 0,
                    kHighestColourIndex, colour, &error)) {
            return false;
        }
        if (!GetInt(element, ColourElement(column.key), colour, 0, kHighestColourIndex, colour,
                    &error)) {
            return false;
        }
        if (colour != entry.CellColour(column.key)) {
            entry.SetCellColour(column.key, colour);
        }
    }
    return true;
}

bool ReadEntry(pugi::xml_node element, CTradingPlanEntry& entry, std::string& error) {
    if (!GetUInt(element, "SourceType", entry.m_SourceType, 0, kLastPlanEntryType,
                 entry.m_SourceType, &error) ||
        !GetDateTime(element, "RecordDate", entry.m_RecordDate, entry.m_RecordDate, &error) ||
        !GetDateTime(element, "StartDate", entry.m_StartDate, entry.m_StartDate, &error) ||
        !GetText(element, "CompanyID", entry.m_CompanyID, &error) ||
        !GetText(element, "ContractID", entry.m_ContractID, &error) ||
        !GetDateTime(element, "DateExpiry", entry.m_DateExpiry, entry.m_DateExpiry, &error)) {
        return false;
    }
    for (const CNumberField& number : kNumbers) {
        double& field = entry.*number.field;
        if (!GetDouble(element, number.element, field, kPlanNumberMinimum, kPlanNumberMaximum,
                       field, &error)) {
            return false;
        }
    }
    if (!GetDateTime(element, "DividendsDate", entry.m_DividendsDate, entry.m_DividendsDate,
                     &error) ||
        !GetDouble(element, "Trades", entry.m_Trades, kPlanNumberMinimum, kPlanNumberMaximum,
                   entry.m_Trades, &error)) {
        return false;
    }
    for (std::size_t i = 0; i < kAddToDiary.size(); ++i) {
        if (!GetBool(element, kAddToDiary[i], entry.m_AddToDiary[i], &error)) {
            return false;
        }
    }
    return ReadCellColours(element, entry, error);
}

// How a row that could not be read is named to the user: by its codes when it has them.
std::string RowCodes(pugi::xml_node element) {
    std::string company;
    std::string series;
    GetText(element, "CompanyID", company);
    GetText(element, "ContractID", series);
    const std::string codes = company + (company.empty() || series.empty() ? "" : " ") + series;
    return codes.empty() ? std::string() : " (" + codes + ")";
}

// "1 of the file's 3 rows could not be read ..." and a line for each such row.
std::string UnreadRows(const std::vector<CRecordFailure>& failures, std::size_t rows) {
    const bool one = failures.size() == 1;
    std::string text = std::to_string(failures.size()) + " of the file's " + std::to_string(rows) +
                       (rows == 1 ? " row" : " rows") + " could not be read and " +
                       (one ? "is" : "are") + " left out of the plan:";
    for (const CRecordFailure& failure : failures) {
        text += "\nRow " + std::to_string(failure.position + 1) + failure.reason;
    }
    return text;
}

} // namespace

// One faulty row costs only itself: the rows after it are read too, so a figure the file
// could not hold never takes the rest of the plan with it.
bool CTradingPlan::Load(const std::string& path, std::string& error) {
    Clear();
    std::size_t rows = 0;
    std::vector<CRecordFailure> failures;
    const bool read = LoadEveryRecord(
        path,
        [this, &rows](pugi::xml_node element, std::string& reason) {
            ++rows;
            CTradingPlanEntry entry;
            if (!ReadEntry(element, entry, reason)) {
                reason = RowCodes(element) + ": " + reason;
                return false;
            }
            Append(std::move(entry));
            return true;
        },
        failures, error);
    if (!read) {
        return false;
    }
    if (!failures.empty()) {
        error = UnreadRows(failures, rows);
        return false;
    }
    return true;
}

bool CTradingPlan::Save(const std::string& path, std::string* error) const {
    return SaveRecordListFile(
        path, m_Entries.size(),
        [this](pugi::xml_node element, std::size_t index) {
            WriteEntry(element, *m_Entries[index]);
        },
        error);
}

} // namespace strikeline
