#include "storage/RecordListFile.h"

#include "storage/XmlRecords.h"

namespace strikeline {

namespace {
constexpr const char* kEntries = "Entries";
constexpr const char* kEntry = "Entry";
} // namespace

bool LoadRecordListFile(const std::string& path, const EntryReader& readEntry, std::string& error) {
    TiXmlDocument document;
    const TiXmlElement* entries = LoadXmlRecordFile(document, path, kEntries, error);
    if (entries == nullptr) {
        return false;
    }
    for (const TiXmlElement* entry = entries->FirstChildElement(kEntry); entry != nullptr;
         entry = entry->NextSiblingElement(kEntry)) {
        if (!readEntry(*entry, error)) {
            return false;
        }
    }
    error.clear();
    return true;
}

bool LoadEveryRecord(const std::string& path, const EntryReader& readEntry,
                     std::vector<CRecordFailure>& failures, std::string& error) {
    failures.clear();
    TiXmlDocument document;
    const TiXmlElement* entries = LoadXmlRecordFile(document, path, kEntries, error);
    if (entries == nullptr) {
        return false;
    }
    std::size_t position = 0;
    for (const TiXmlElement* entry = entries->FirstChildElement(kEntry); entry != nullptr;
         entry = entry->NextSiblingElement(kEntry), ++position) {
        std::string reason;
        if (!readEntry(*entry, reason)) {
            failures.push_back({position, std::move(reason)});
        }
    }
    error.clear();
    return true;
}

bool SaveRecordListFile(const std::string& path, std::size_t count, const EntryWriter& writeEntry,
                        std::string* error) {
    TiXmlDocument document;
    TiXmlElement entries(kEntries);
    for (std::size_t i = 0; i < count; ++i) {
        TiXmlElement entry(kEntry);
        writeEntry(entry, i);
        entries.InsertEndChild(entry);
    }
    document.InsertEndChild(entries);
    return SaveXmlFile(document, path, error);
}

} // namespace strikeline
