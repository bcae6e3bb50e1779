#pragma once

// The common shape of the program's record list files (trading plan, diary, average
// trades): an <Entries> element holding one <Entry> per record, in list order, each with
// one child element per field.

#include <functional>
#include <string>
#include <tinyxml.h>

namespace strikeline {

// Reads `path` and hands every <Entry> of the first <Entries> element to `readEntry`, in
// document order; other child nodes are ignored. Fails with "File %s does not exist",
// the parser's reason, "<Entries> tag not found", or the first error `readEntry` reports
// (which ends the load: what the owner keeps of the entries read before is its choice).
using EntryReader = std::function<bool(const TiXmlElement& entry, std::string& error)>;
bool LoadRecordListFile(const std::string& path, const EntryReader& readEntry, std::string& error);

// Writes `count` entries, each filled by `writeEntry`, replacing the file atomically.
using EntryWriter = std::function<void(TiXmlElement& entry, std::size_t index)>;
bool SaveRecordListFile(const std::string& path, std::size_t count, const EntryWriter& writeEntry,
                        std::string* error = nullptr);

} // namespace strikeline
