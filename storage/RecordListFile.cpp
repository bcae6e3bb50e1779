#include "storage/RecordListFile.h"

#include "storage/XmlRecords.h"

namespace strikeline {

namespace {
constexpr const char* kEntries = "Entries";
constexpr const char* kEntry = "Entry";
} // namespace

bool LoadRecordListFile(const std::string& path, const EntryReader& readEntry, std::string& error) {
    pugi::xml_document document;
    const pugi::xml_node entries = LoadXmlRecordFile(document, path, kEntries, error);
    if (!entries) {
        return false;
    }
    for (pugi::xml_node entry = entries.child(kEntry); entry; entry = entry.next_sibling(kEntry)) {
        if (!readEntry(entry, error)) {
            return false;
        }
    }
    error.clear();
    return true;
}

bool LoadEveryRecord(const std::string& path, const EntryReader& readEntry,
                     std::vector<CRecordFailure>& failures, std::string& error) {
    failures.clear();
    pugi::xml_document document;
    const pugi::xml_node entries = LoadXmlRecordFile(document, path, kEntries, error);
    if (!entries) {
        return false;
    }
    std::size_t position = 0;
    for (pugi::xml_node entry = entries.child(kEntry); entry;
         entry = entry.next_sibling(kEntry), ++position) {
        std::string reason;
        if (!readEntry(entry, reason)) {
            failures.push_back({position, std::move(reason)});
        }
    }
    error.clear();
    return true;
}

bool SaveRecordListFile(const std::string& path, std::size_t count, const EntryWriter& writeEntry,
                        std::string* error) {
    pugi::xml_document document;
    pugi::xml_node entries = document.append_child(kEntries);
    for (std::size_t i = 0; i < count; ++i) {
        writeEntry(entries.append_child(kEntry), i);
    }
    return SaveXmlFile(document, path, error);
}

} // namespace strikeline
