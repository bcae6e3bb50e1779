#pragma once

// Typed helpers over pugixml for the program's own files (trading plan, diary, average
// trades, colour schemes). Every field of a record is one child element holding text.
//
// Errors: no helper throws or shows anything. A reader returns false and, when `error` is
// given, fills it with one of the program's messages; the caller shows it. The optional
// form of a reader takes a default, used (with success) when the field is absent; the
// required form fails when it is absent. A field may also be given as an attribute of the
// parent element, which then wins over a child element.

#include "storage/Color.h"
#include "storage/FileTime.h"

#include <cstddef>
#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace strikeline {

// The bounds of a file the program reads: its own files are a few kilobytes to a few
// megabytes and nest three or four levels, so anything past these is not one of them
// (and would cost the reader memory and time for nothing).
inline constexpr std::size_t kMaxXmlFileBytes = 64 * 1024 * 1024;
inline constexpr std::size_t kMaxXmlDepth = 256;
inline constexpr std::size_t kMaxXmlAttributes = 1000;

// Parses `text` (a whole file) into `document`. Text keeps the white-space rules of the
// files' earlier reader: an element's text is trimmed and each run of white space in it
// becomes one space, while characters written as references (&#x0A;), CDATA sections and
// attribute values are taken as they stand. On failure the error is the parser's
// description and "(line %u, column %u)", or a bound the text passes.
bool ParseXmlText(pugi::xml_document& document, const std::string& text,
                  std::string* error = nullptr);
// Reads and parses the file: as ParseXmlText, and fails with the system's reason when it
// cannot be read, or when it is larger than kMaxXmlFileBytes.
bool LoadXmlFile(pugi::xml_document& document, const std::string& path,
                 std::string* error = nullptr);
// Reads one of the program's own files and returns its root element `rootName`. Fails
// (empty node) with "File %s does not exist", the reader's reason, or "<%s> tag not found".
pugi::xml_node LoadXmlRecordFile(pugi::xml_document& document, const std::string& path,
                                 std::string_view rootName, std::string& error);
// The document as the program has always laid its files out: four-space indents, an
// element of text on one line, an empty element as <Name />.
std::string FormatXmlDocument(const pugi::xml_document& document);
// Writes FormatXmlDocument's text atomically.
bool SaveXmlFile(const pugi::xml_document& document, const std::string& path,
                 std::string* error = nullptr);
// Adds <?xml version="1.0" encoding="UTF-8" standalone="yes" ?> at the end of `document`.
void AddXmlDeclaration(pugi::xml_document& document);

// The first child element of that name; empty with "<%s> tag not found" otherwise.
pugi::xml_node FindChildElement(pugi::xml_node parent, std::string_view name,
                                std::string* error = nullptr);

enum class ElementText { Found = 0, Malformed = 1, Absent = 2 };
ElementText GetElementText(pugi::xml_node parent, std::string_view name, std::string& text,
                           std::string* error = nullptr);
bool GetText(pugi::xml_node parent, std::string_view name, std::string& text,
             std::string* error = nullptr);
bool AddTextElement(pugi::xml_node parent, std::string_view name, std::string_view text);

bool GetInt(pugi::xml_node parent, std::string_view name, std::int32_t defaultValue,
            std::int32_t minimum, std::int32_t maximum, std::int32_t& value,
            std::string* error = nullptr);
bool GetInt(pugi::xml_node parent, std::string_view name, std::int32_t minimum,
            std::int32_t maximum, std::int32_t& value, std::string* error = nullptr);
bool AddInt(pugi::xml_node parent, std::string_view name, std::int32_t value);

bool GetUInt(pugi::xml_node parent, std::string_view name, std::uint32_t defaultValue,
             std::uint32_t minimum, std::uint32_t maximum, std::uint32_t& value,
             std::string* error = nullptr);
bool GetUInt(pugi::xml_node parent, std::string_view name, std::uint32_t minimum,
             std::uint32_t maximum, std::uint32_t& value, std::string* error = nullptr);
bool AddUInt(pugi::xml_node parent, std::string_view name, std::uint32_t value);

bool GetDouble(pugi::xml_node parent, std::string_view name, double defaultValue, double minimum,
               double maximum, double& value, std::string* error = nullptr);
bool GetDouble(pugi::xml_node parent, std::string_view name, double minimum, double maximum,
               double& value, std::string* error = nullptr);
// Fixed point with six decimals: 1234.5678901 is written 1234.567890.
bool AddDouble(pugi::xml_node parent, std::string_view name, double value);

bool GetBool(pugi::xml_node parent, std::string_view name, bool defaultValue, bool& value,
             std::string* error = nullptr);
bool GetBool(pugi::xml_node parent, std::string_view name, bool& value,
             std::string* error = nullptr);
bool AddBool(pugi::xml_node parent, std::string_view name, bool value);

// Dates are stored in universal time, "%04u-%02u-%02u %02u:%02u:%02u". An unset date
// (kNoDate) is written as "0000-01-00 00:00:00" and that exact text reads back as kNoDate;
// ParseFileTime itself rejects it, as it rejects every day 0.
bool GetDateTime(pugi::xml_node parent, std::string_view name, FileTime defaultValue,
                 FileTime& value, std::string* error = nullptr);
bool GetDateTime(pugi::xml_node parent, std::string_view name, FileTime& value,
                 std::string* error = nullptr);
bool AddDateTime(pugi::xml_node parent, std::string_view name, FileTime value);

// "%u,%u,%u" with red, green, blue.
bool GetColor(pugi::xml_node parent, std::string_view name, Color defaultValue, Color& value,
              std::string* error = nullptr);
bool GetColor(pugi::xml_node parent, std::string_view name, Color& value,
              std::string* error = nullptr);
bool AddColor(pugi::xml_node parent, std::string_view name, Color value);

} // namespace strikeline
