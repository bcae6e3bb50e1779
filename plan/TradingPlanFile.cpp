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

constexpr double kLowestNumber = -1000000000.0;
constexpr double kHighestNumber = 1000000000.0;
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

void AddDateIfSet(TiXmlElement& parent, const char* name, FileTime value) {
    if (value != kNoDate) {
        AddDateTime(parent, name, value);
    }
}

void AddNumberIfSet(TiXmlElement& parent, const char* name, double value) {
    if (IsValue(value)) {
        AddDouble(parent, name, value);
    }
}

void WriteEntry(TiXmlElement& element, const CTradingPlanEntry& entry) {
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
        if (colour != 0) {
            AddInt(element, ColourElement(column.key), colour);
        }
    }
}

// The colour of each cell: older files number the columns, newer ones name them; the
// named element wins when a file holds both.
bool ReadCellColours(const TiXmlElement& element, CTradingPlanEntry& entry, std::string& error) {
    for (const CPlanColumn& column : PlanColumnTable) {
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

bool ReadEntry(const TiXmlElement& element, CTradingPlanEntry& entry, std::string& error) {
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
        if (!GetDouble(element, number.element, field, kLowestNumber, kHighestNumber, field,
                       &error)) {
            return false;
        }
    }
    if (!GetDateTime(element, "DividendsDate", entry.m_DividendsDate, entry.m_DividendsDate,
                     &error) ||
        !GetDouble(element, "Trades", entry.m_Trades, kLowestNumber, kHighestNumber, entry.m_Trades,
                   &error)) {
        return false;
    }
    for (std::size_t i = 0; i < kAddToDiary.size(); ++i) {
        if (!GetBool(element, kAddToDiary[i], entry.m_AddToDiary[i], &error)) {
            return false;
        }
    }
    return ReadCellColours(element, entry, error);
}

} // namespace

bool CTradingPlan::Load(const std::string& path, std::string& error) {
    Clear();
    return LoadRecordListFile(
        path,
        [this](const TiXmlElement& element, std::string& reason) {
            CTradingPlanEntry entry;
            if (!ReadEntry(element, entry, reason)) {
                return false;
            }
            Append(std::move(entry));
            return true;
        },
        error);
}

bool CTradingPlan::Save(const std::string& path, std::string* error) const {
    return SaveRecordListFile(
        path, m_Entries.size(),
        [this](TiXmlElement& element, std::size_t index) {
            WriteEntry(element, *m_Entries[index]);
        },
        error);
}

} // namespace strikeline
