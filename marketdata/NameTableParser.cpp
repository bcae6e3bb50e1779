#include "marketdata/NameTableParser.h"

#include "marketdata/FieldScan.h"
#include "marketdata/LineReader.h"
#include "marketdata/OptionFileParser.h"
#include "storage/NumberText.h"

#include <cctype>
#include <memory>

namespace strikeline {

namespace {

std::string_view Trim(std::string_view text) {
    SkipSpace(text);
    while (!text.empty() && IsAsciiSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// 'key' = 'value' with the value's closing quote optional.
bool ParsePair(std::string_view line, std::string_view& key, std::string_view& value) {
    SkipSpace(line);
    if (line.empty() || line.front() != '\'') {
        return false;
    }
    line.remove_prefix(1);
    const std::size_t keyEnd = line.find('\'');
    if (keyEnd == std::string_view::npos) {
        return false;
    }
    key = line.substr(0, keyEnd);
    line.remove_prefix(keyEnd + 1);
    SkipSpace(line);
    if (line.empty() || line.front() != '=') {
        return false;
    }
    line.remove_prefix(1);
    SkipSpace(line);
    if (line.empty() || line.front() != '\'') {
        return false;
    }
    line.remove_prefix(1);
    value = line.substr(0, line.find('\''));
    return true;
}

} // namespace

bool ParseNameTableStream(CCompanyNameTable& table, std::FILE* file, std::string& error) {
    table = CCompanyNameTable();
    CLineReader reader(file);
    std::string_view line;
    while (reader.Next(line)) {
        if (IsBlank(line)) {
            continue;
        }
        std::string_view key;
        std::string_view value;
        if (!ParsePair(line, key, value)) {
            error = UnexpectedDataMessage(reader.LineNumber());
            return false;
        }
        table.Add(std::string(Trim(key)), std::string(Trim(value)));
    }
    if (reader.Failed()) {
        error = kUnableToOpenFile;
        return false;
    }
    return true;
}

bool ParseNameTable(CCompanyNameTable& table, const std::string& path, std::string& error) {
    table = CCompanyNameTable();
    const CFileHandle file = OpenDataFile(path);
    if (!file) {
        error = kUnableToOpenFile;
        return false;
    }
    return ParseNameTableStream(table, file.get(), error);
}

} // namespace strikeline
