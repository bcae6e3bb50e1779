#pragma once

// Typed helpers over TinyXML for the program's own files (trading plan, diary, average
// trades, colour schemes). Every field of a record is one child element holding text.
//
// Errors: no helper throws or shows anything. A reader returns false and, when `error` is
// given, fills it with one of the program's messages; the caller shows it. The optional
// form of a reader takes a default, used (with success) when the field is absent; the
// required form fails when it is absent. A field may also be given as an attribute of the
// parent element, which then wins over a child element.

#include "storage/Color.h"
#include "storage/FileTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <tinyxml.h>

namespace strikeline {

// Parses the file. On failure the error is TinyXML's description, a space, and
// "(line %u, column %u)" when TinyXML knows where.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string* error = nullptr);
// Reads one of the program's own files and returns its root element `rootName`. Fails
// (null) with "File %s does not exist", the parser's reason, or "<%s> tag not found".
const TiXmlElement* LoadXmlRecordFile(TiXmlDocument& document, const std::string& path,
                                      std::string_view rootName, std::string& error);
// Writes the document as TinyXML lays it out (four-space indents), atomically.
bool SaveXmlFile(const TiXmlDocument& document, const std::string& path,
                 std::string* error = nullptr);

// The first child element of that name; null with "<%s> tag not found" otherwise.
const TiXmlElement* FindChildElement(const TiXmlNode& parent, std::string_view name,
                                     std::string* error = nullptr);

enum class ElementText { Found = 0, Malformed = 1, Absent = 2 };
ElementText GetElementText(const TiXmlNode& parent, std::string_view name, std::string& text,
                           std::string* error = nullptr);
bool GetText(const TiXmlNode& parent, std::string_view name, std::string& text,
             std::string* error = nullptr);
bool AddTextElement(TiXmlNode& parent, std::string_view name, std::string_view text);

bool GetInt(const TiXmlNode& parent, std::string_view name, std::int32_t defaultValue,
            std::int32_t minimum, std::int32_t maximum, std::int32_t& value,
            std::string* error = nullptr);
bool GetInt(const TiXmlNode& parent, std::string_view name, std::int32_t minimum,
            std::int32_t maximum, std::int32_t& value, std::string* error = nullptr);
bool AddInt(TiXmlNode& parent, std::string_view name, std::int32_t value);

bool GetUInt(const TiXmlNode& parent, std::string_view name, std::uint32_t defaultValue,
             std::uint32_t minimum, std::uint32_t maximum, std::uint32_t& value,
             std::string* error = nullptr);
bool GetUInt(const TiXmlNode& parent, std::string_view name, std::uint32_t minimum,
             std::uint32_t maximum, std::uint32_t& value, std::string* error = nullptr);
bool AddUInt(TiXmlNode& parent, std::string_view name, std::uint32_t value);

bool GetDouble(const TiXmlNode& parent, std::string_view name, double defaultValue, double minimum,
               double maximum, double& value, std::string* error = nullptr);
bool GetDouble(const TiXmlNode& parent, std::string_view name, double minimum, double maximum,
               double& value, std::string* error = nullptr);
// Fixed point with six decimals: 1234.5678901 is written 1234.567890.
bool AddDouble(TiXmlNode& parent, std::string_view name, double value);

bool GetBool(const TiXmlNode& parent, std::string_view name, bool defaultValue, bool& value,
             std::string* error = nullptr);
bool GetBool(const TiXmlNode& parent, std::string_view name, bool& value,
             std::string* error = nullptr);
bool AddBool(TiXmlNode& parent, std::string_view name, bool value);

// Dates are stored in universal time, "%04u-%02u-%02u %02u:%02u:%02u". An unset date
// (kNoDate) is written as "0000-01-00 00:00:00" and that exact text reads back as kNoDate;
// ParseFileTime itself rejects it, as it rejects every day 0.
bool GetDateTime(const TiXmlNode& parent, std::string_view name, FileTime defaultValue,
                 FileTime& value, std::string* error = nullptr);
bool GetDateTime(const TiXmlNode& parent, std::string_view name, FileTime& value,
                 std::string* error = nullptr);
bool AddDateTime(TiXmlNode& parent, std::string_view name, FileTime value);

// "%u,%u,%u" with red, green, blue.
bool GetColor(const TiXmlNode& parent, std::string_view name, Color defaultValue, Color& value,
              std::string* error = nullptr);
bool GetColor(const TiXmlNode& parent, std::string_view name, Color& value,
              std::string* error = nullptr);
bool AddColor(TiXmlNode& parent, std::string_view name, Color value);

} // namespace strikeline
