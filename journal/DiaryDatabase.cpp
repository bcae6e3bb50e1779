#include "journal/DiaryDatabase.h"

#include "marketdata/CompanyList.h"
#include "storage/RecordListFile.h"
#include "storage/XmlRecords.h"

#include <algorithm>

namespace strikeline {

namespace {

constexpr const char* kStartDate = "StartDate";
constexpr const char* kCloseDate = "CloseDate";
constexpr const char* kCompanyID = "CompanyID";
constexpr const char* kContractID = "ContractID";
constexpr const char* kDateExpiry = "DateExpiry";
constexpr const char* kDividendsDate = "DividendsDate";

bool ReadEntry(pugi::xml_node element, CDiaryEntry& entry, std::string& error) {
    if (!GetDateTime(element, kStartDate, entry.m_StartDate, &error) ||
        !GetDateTime(element, kCloseDate, kNoDate, entry.m_CloseDate, &error) ||
        !GetText(element, kCompanyID, entry.m_CompanyID, &error) ||
        !GetText(element, kContractID, entry.m_ContractID, &error) ||
        !GetDateTime(element, kDateExpiry, kNoDate, entry.m_DateExpiry, &error)) {
        return false;
    }
    for (const CDiaryNumberField& field : kDiaryNumberFields) {
        if (!GetDouble(element, field.name, UNSET_VALUE, kDiaryNumberMinimum, kDiaryNumberMaximum,
                       entry.*field.member, &error)) {
            return false;
        }
    }
    return GetDateTime(element, kDividendsDate, kNoDate, entry.m_DividendsDate, &error);
}

// A figure the reader would refuse is left out rather than written: one bad element would
// make the whole rest of the diary unreadable at the next start.
bool IsWritableNumber(double value) {
    return IsValue(value) && value >= kDiaryNumberMinimum && value <= kDiaryNumberMaximum;
}

void WriteEntry(pugi::xml_node element, const CDiaryEntry& entry) {
    AddDateTime(element, kStartDate, entry.m_StartDate);
    if (entry.m_CloseDate != kNoDate) {
        AddDateTime(element, kCloseDate, entry.m_CloseDate);
    }
    AddTextElement(element, kCompanyID, entry.m_CompanyID);
    AddTextElement(element, kContractID, entry.m_ContractID);
    if (entry.m_DateExpiry != kNoDate) {
        AddDateTime(element, kDateExpiry, entry.m_DateExpiry);
    }
    for (const CDiaryNumberField& field : kDiaryNumberFields) {
        if (IsWritableNumber(entry.*field.member)) {
            AddDouble(element, field.name, entry.*field.member);
        }
    }
    if (entry.m_DividendsDate != kNoDate) {
        AddDateTime(element, kDividendsDate, entry.m_DividendsDate);
    }
}

} // namespace

std::string MonthKey(unsigned year, unsigned month) {
    return std::to_string(year) + std::to_string(month);
}

bool CDiaryDatabase::Load(const std::string& path, std::string& error) {
    Clear();
    return LoadRecordListFile(
        path,
        [this](pugi::xml_node element, std::string& fault) {
            CDiaryEntry entry;
            if (!ReadEntry(element, entry, fault)) {
                return false;
            }
            m_Entries.push_back(std::move(entry));
            return true;
        },
        error);
}

bool CDiaryDatabase::Save(const std::string& path, std::string* error) const {
    return SaveRecordListFile(
        path, m_Entries.size(),
        [this](pugi::xml_node element, std::size_t index) {
            WriteEntry(element, m_Entries[index]);
        },
        error);
}

void CDiaryDatabase::Clear() {
    m_StartBalance = kDefaultStartBalance;
    m_Entries.clear();
}

CDiaryEntry* CDiaryDatabase::EntryAt(std::size_t index) {
    return index < m_Entries.size() ? &m_Entries[index] : nullptr;
}

void CDiaryDatabase::AddEntry(CDiaryEntry entry) {
    m_Entries.push_back(std::move(entry));
}

bool CDiaryDatabase::RemoveEntry(std::size_t index) {
    if (index >= m_Entries.size()) {
        return false;
    }
    m_Entries.erase(m_Entries.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

int CDiaryDatabase::FindEntry(std::string_view contractCode, FileTime startTime) const {
    const auto it = std::find_if(m_Entries.begin(), m_Entries.end(), [&](const CDiaryEntry& e) {
        return e.m_StartDate == startTime && SameCode(e.m_ContractID, contractCode);
    });
    return it == m_Entries.end() ? -1 : static_cast<int>(it - m_Entries.begin());
}

std::optional<double> CDiaryDatabase::MonthChange(const std::string& key) const {
    const auto it = m_MonthChanges.find(key);
    if (it == m_MonthChanges.end()) {
        return std::nullopt;
    }
    return it->second;
}

void CDiaryDatabase::SetMonthChange(const std::string& key, double change) {
    m_MonthChanges[key] = change;
}

} // namespace strikeline
