#pragma once

#include "journal/DiaryEntry.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// The key of a month's balance change: year and month with no leading zeros, so January
// 2010 is "20101" and November 2010 "201011".
std::string MonthKey(unsigned year, unsigned month);

// The diary: its entries in the order they were read or added, which it owns, and the
// balances the Diary window shows. Only the entries are kept in the diary file; the start
// balance and the month changes last until the program ends.
//
// Errors: Load and Save return false with the reason in `error`. A failed Load keeps the
// entries read before the faulty one.
class CDiaryDatabase {
public:
    static constexpr double kDefaultStartBalance = 10000.0;

    CDiaryDatabase() = default;
    CDiaryDatabase(const CDiaryDatabase&) = delete;
    CDiaryDatabase& operator=(const CDiaryDatabase&) = delete;

    // Clears, then reads the diary file. Fails with "File %s does not exist", the parser's
    // reason, "<Entries> tag not found", or the message of the first field that does not
    // read (a missing StartDate, CompanyID or ContractID; a date that does not parse; a
    // figure that is no number or lies outside -1000000000..1000000000).
    bool Load(const std::string& path, std::string& error);
    // Writes every entry, replacing the file atomically. Dates that are not set and figures
    // that hold no value are left out.
    bool Save(const std::string& path, std::string* error = nullptr) const;

    // Start balance back to 10000 and no entries; the month changes stay.
    void Clear();

    const std::vector<CDiaryEntry>& Entries() const { return m_Entries; }
    // The entry at that place, for changing it in place; null past the end.
    CDiaryEntry* EntryAt(std::size_t index);
    void AddEntry(CDiaryEntry entry);
    // False when there is no entry at that place.
    bool RemoveEntry(std::size_t index);
    // The place of the first entry whose contract code equals `contractCode` ignoring
    // letter case and whose start time is exactly `startTime`; -1 when there is none.
    int FindEntry(std::string_view contractCode, FileTime startTime) const;

    double StartBalance() const { return m_StartBalance; }
    void SetStartBalance(double value) { m_StartBalance = value; }
    // The change stored under a MonthKey, if any.
    std::optional<double> MonthChange(const std::string& key) const;
    // Adds or replaces the change of that month.
    void SetMonthChange(const std::string& key, double change);
    const std::map<std::string, double>& MonthChanges() const { return m_MonthChanges; }

private:
    double m_StartBalance = kDefaultStartBalance;
    std::map<std::string, double> m_MonthChanges;
    std::vector<CDiaryEntry> m_Entries;
};

} // namespace strikeline
