#pragma once

// The common shape of the program's record list files (trading plan, diary, average
// trades): an <Entries> element holding one <Entry> per record, in list order, each with
// one child element per field.

#include <functional>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace strikeline {

// Reads `path` and hands every <Entry> of the first <Entries> element to `readEntry`, in
// document order; other child nodes are ignored. Fails with "File %s does not exist",
// the parser's reason, "<Entries> tag not found", or the first error `readEntry` reports
// (which ends the load: what the owner keeps of the entries read before is its choice).
using EntryReader = std::function<bool(pugi::xml_node entry, std::string& error)>;
bool LoadRecordListFile(const std::string& path, const EntryReader& readEntry, std::string& error);

// An <Entry> that could not be read: its position among the <Entry> elements (0 for the
// first) and the reason its reader gave.
struct CRecordFailure {
    std::size_t position = 0;
    std::string reason;

    bool operator==(const CRecordFailure&) const = default;
};

// As LoadRecordListFile, but an entry that fails does not end the load: every <Entry> is
// handed to `readEntry`, and the ones it refuses are listed in `failures`, in file order.
// Fails, with the reason in `error`, only when the file itself cannot be read.
bool LoadEveryRecord(const std::string& path, const EntryReader& readEntry,
                     std::vector<CRecordFailure>& failures, std::string& error);

// Writes `count` entries, each filled by `writeEntry`, replacing the file atomically.
using EntryWriter = std::function<void(pugi::xml_node entry, std::size_t index)>;
bool SaveRecordListFile(const std::string& path, std::size_t count, const EntryWriter& writeEntry,
                        std::string* error = nullptr);

} // namespace strikeline
