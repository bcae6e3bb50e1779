#include "storage/XmlRecords.h"

#include "platform/AtomicFile.h"
#include "storage/NumberText.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <strings.h>

namespace strikeline {

namespace {

// "0000-01-00 00:00:00": how an unset date is written, so that it can be told apart.
const std::string& NoDateText() {
    static const std::string text =
        FormatFileTime(kNoDate, TimeZoneMode::Universal, FileTimeStyle::DateTime);
    return text;
}

void SetError(std::string* error, std::string message) {
    if (error != nullptr) {
        *error = std::move(message);
    }
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Gets the field's text and hands it to `convert`; an absent field takes the default when
// there is one and fails otherwise.
template <typename T, typename Convert>
bool ReadField(const TiXmlNode& parent, std::string_view name, const std::optional<T>& defaultValue,
               T& value, std::string* error, Convert convert) {
    std::string text;
    std::string fault;
    switch (GetElementText(parent, name, text, &fault)) {
    case ElementText::Found:
        return convert(text, value, error);
    case ElementText::Absent:
        if (defaultValue) {
            value = *defaultValue;
            return true;
        }
        break;
    case ElementText::Malformed:
        break;
    }
    SetError(error, std::move(fault));
    return false;
}

std::string RangeMessage(std::string_view text, std::string_view name, const std::string& minimum,
                         const std::string& maximum) {
    return "Value " + Quoted(text) + " of element <" + std::string(name) +
           "> is out of range: should be [" + minimum + ".." + maximum + "]";
}

std::string ConvertMessage(std::string_view text, std::string_view name, std::string_view kind) {
    return "Unable to convert value " + Quoted(text) + " of element <" + std::string(name) +
           "> to " + std::string(kind);
}

auto IntConverter(std::string_view name, std::int32_t minimum, std::int32_t maximum) {
    return [=](const std::string& text, std::int32_t& value, std::string* error) {
        errno = 0;
        char* end = nullptr;
        const long long number = std::strtoll(text.c_str(), &end, 10);
        if (end == text.c_str() || *end != '\0') {
            SetError(error, ConvertMessage(text, name, "integer"));
            return false;
        }
        if (errno == ERANGE || number < minimum || number > maximum) {
            SetError(error,
                     RangeMessage(text, name, std::to_string(minimum), std::to_string(maximum)));
            return false;
        }
        value = static_cast<std::int32_t>(number);
        return true;
    };
}

auto UIntConverter(std::string_view name, std::uint32_t minimum, std::uint32_t maximum) {
    return [=](const std::string& text, std::uint32_t& value, std::string* error) {
        errno = 0;
        char* end = nullptr;
        const unsigned long long number = std::strtoull(text.c_str(), &end, 10);
        if (end == text.c_str() || *end != '\0') {
            SetError(error, ConvertMessage(text, name, "positive integer"));
            return false;
        }
        if (errno == ERANGE || number < minimum || number > maximum) {
            SetError(error,
                     RangeMessage(text, name, std::to_string(minimum), std::to_string(maximum)));
            return false;
        }
        value = static_cast<std::uint32_t>(number);
        return true;
    };
}

auto DoubleConverter(std::string_view name, double minimum, double maximum) {
    return [=](const std::string& text, double& value, std::string* error) {
        const auto scanned = ScanNumber(text);
        if (!scanned || scanned->length != text.size()) {
            SetError(error, ConvertMessage(text, name, "double"));
            return false;
        }
        if (scanned->value < minimum || scanned->value > maximum) {
            SetError(error,
                     RangeMessage(text, name, FormatFixed(minimum, 6), FormatFixed(maximum, 6)));
            return false;
        }
        value = scanned->value;
        return true;
    };
}

auto BoolConverter(std::string_view name) {
    return [=](const std::string& text, bool& value, std::string* error) {
        if (strcasecmp(text.c_str(), "true") == 0 || strcasecmp(text.c_str(), "false") == 0) {
            value = strcasecmp(text.c_str(), "true") == 0;
            return true;
        }
        SetError(error, "Unexpected value " + Quoted(text) + " of <" + std::string(name) +
                            "> element: should be either \"true\" or \"false\"");
        return false;
    };
}

auto DateTimeConverter(std::string_view name) {
    return [=](const std::string& text, FileTime& value, std::string* error) {
        if (text == NoDateText()) {
            value = kNoDate;
            return true;
        }
        if (ParseFileTime(text, TimeZoneMode::Universal, value)) {
            return true;
        }
        SetError(error, "Unexpected value " + Quoted(text) + " of <" + std::string(name) +
                            "> element: should be month/day/year hour:minute:second");
        return false;
    };
}

auto ColorConverter(std::string_view name) {
    return [=](const std::string& text, Color& value, std::string* error) {
        unsigned red = 0, green = 0, blue = 0;
        if (std::sscanf(text.c_str(), "%u,%u,%u", &red, &green, &blue) != 3) {
            SetError(error, "Unexpected value " + Quoted(text) + " of element <" +
                                std::string(name) + ">: should be RGB value");
            return false;
        }
        value = Rgb(red, green, blue);
        return true;
    };
}

} // namespace

bool LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string* error) {
    // TinyXML keeps the first error it met and, when the file cannot be opened, the old
    // content too; a reused document would otherwise report a stale fault and stale records.
    document.Clear();
    document.ClearError();
    if (document.LoadFile(path.c_str())) {
        return true;
    }
    std::string position;
    if (document.ErrorRow() > 0) {
        position = "(line " + std::to_string(document.ErrorRow()) + ", column " +
                   std::to_string(document.ErrorCol()) + ")";
    }
    SetError(error, std::string(document.ErrorDesc()) + " " + position);
    return false;
}

const TiXmlElement* LoadXmlRecordFile(TiXmlDocument& document, const std::string& path,
                                      std::string_view rootName, std::string& error) {
    if (!PathExists(path)) {
        error = "File " + path + " does not exist";
        return nullptr;
    }
    if (!LoadXmlFile(document, path, &error)) {
        return nullptr;
    }
    return FindChildElement(document, rootName, &error);
}

bool SaveXmlFile(const TiXmlDocument& document, const std::string& path, std::string* error) {
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    document.Accept(&printer);
    std::string fault;
    if (!WriteFileAtomically(path, printer.Str(), fault)) {
        SetError(error, fault);
        return false;
    }
    return true;
}

const TiXmlElement* FindChildElement(const TiXmlNode& parent, std::string_view name,
                                     std::string* error) {
    const TiXmlElement* element = parent.FirstChildElement(std::string(name));
    if (element == nullptr) {
        SetError(error, "<" + std::string(name) + "> tag not found");
    }
    return element;
}

ElementText GetElementText(const TiXmlNode& parent, std::string_view name, std::string& text,
                           std::string* error) {
    if (const TiXmlElement* self = parent.ToElement()) {
        if (const std::string* attribute = self->Attribute(std::string(name))) {
            text = *attribute;
            return ElementText::Found;
        }
    }
    const TiXmlElement* element = FindChildElement(parent, name, error);
    if (element == nullptr) {
        return ElementText::Absent;
    }
    const TiXmlNode* first = element->FirstChild();
    if (first == nullptr) {
        text.clear();
        return ElementText::Found;
    }
    if (first->NextSibling() != nullptr) {
        SetError(error, "<" + std::string(name) + "> element should contain only text");
        return ElementText::Malformed;
    }
    if (first->ToText() == nullptr) {
        SetError(error, "<" + std::string(name) + "> element contains no text");
        return ElementText::Malformed;
    }
    text = first->ValueStr();
    return ElementText::Found;
}

bool GetText(const TiXmlNode& parent, std::string_view name, std::string& text,
             std::string* error) {
    return GetElementText(parent, name, text, error) == ElementText::Found;
}

bool AddTextElement(TiXmlNode& parent, std::string_view name, std::string_view text) {
    TiXmlElement element{std::string(name)};
    if (!text.empty()) {
        element.InsertEndChild(TiXmlText(std::string(text)));
    }
    return parent.InsertEndChild(element) != nullptr;
}

bool GetInt(const TiXmlNode& parent, std::string_view name, std::int32_t defaultValue,
            std::int32_t minimum, std::int32_t maximum, std::int32_t& value, std::string* error) {
    return ReadField<std::int32_t>(parent, name, defaultValue, value, error,
                                   IntConverter(name, minimum, maximum));
}

bool GetInt(const TiXmlNode& parent, std::string_view name, std::int32_t minimum,
            std::int32_t maximum, std::int32_t& value, std::string* error) {
    return ReadField<std::int32_t>(parent, name, std::nullopt, value, error,
                                   IntConverter(name, minimum, maximum));
}

bool AddInt(TiXmlNode& parent, std::string_view name, std::int32_t value) {
    return AddTextElement(parent, name, std::to_string(value));
}

bool GetUInt(const TiXmlNode& parent, std::string_view name, std::uint32_t defaultValue,
             std::uint32_t minimum, std::uint32_t maximum, std::uint32_t& value,
             std::string* error) {
    return ReadField<std::uint32_t>(parent, name, defaultValue, value, error,
                                    UIntConverter(name, minimum, maximum));
}

bool GetUInt(const TiXmlNode& parent, std::string_view name, std::uint32_t minimum,
             std::uint32_t maximum, std::uint32_t& value, std::string* error) {
    return ReadField<std::uint32_t>(parent, name, std::nullopt, value, error,
                                    UIntConverter(name, minimum, maximum));
}

bool AddUInt(TiXmlNode& parent, std::string_view name, std::uint32_t value) {
    return AddTextElement(parent, name, std::to_string(value));
}

bool GetDouble(const TiXmlNode& parent, std::string_view name, double defaultValue, double minimum,
               double maximum, double& value, std::string* error) {
    return ReadField<double>(parent, name, defaultValue, value, error,
                             DoubleConverter(name, minimum, maximum));
}

bool GetDouble(const TiXmlNode& parent, std::string_view name, double minimum, double maximum,
               double& value, std::string* error) {
    return ReadField<double>(parent, name, std::nullopt, value, error,
                             DoubleConverter(name, minimum, maximum));
}

bool AddDouble(TiXmlNode& parent, std::string_view name, double value) {
    return AddTextElement(parent, name, FormatFixed(value, 6));
}

bool GetBool(const TiXmlNode& parent, std::string_view name, bool defaultValue, bool& value,
             std::string* error) {
    return ReadField<bool>(parent, name, defaultValue, value, error, BoolConverter(name));
}

bool GetBool(const TiXmlNode& parent, std::string_view name, bool& value, std::string* error) {
    return ReadField<bool>(parent, name, std::nullopt, value, error, BoolConverter(name));
}

bool AddBool(TiXmlNode& parent, std::string_view name, bool value) {
    return AddTextElement(parent, name, value ? "true" : "false");
}

bool GetDateTime(const TiXmlNode& parent, std::string_view name, FileTime defaultValue,
                 FileTime& value, std::string* error) {
    return ReadField<FileTime>(parent, name, defaultValue, value, error, DateTimeConverter(name));
}

bool GetDateTime(const TiXmlNode& parent, std::string_view name, FileTime& value,
                 std::string* error) {
    return ReadField<FileTime>(parent, name, std::nullopt, value, error, DateTimeConverter(name));
}

bool AddDateTime(TiXmlNode& parent, std::string_view name, FileTime value) {
    return AddTextElement(parent, name,
                          FormatFileTime(value, TimeZoneMode::Universal, FileTimeStyle::DateTime));
}

bool GetColor(const TiXmlNode& parent, std::string_view name, Color defaultValue, Color& value,
              std::string* error) {
    return ReadField<Color>(parent, name, defaultValue, value, error, ColorConverter(name));
}

bool GetColor(const TiXmlNode& parent, std::string_view name, Color& value, std::string* error) {
    return ReadField<Color>(parent, name, std::nullopt, value, error, ColorConverter(name));
}

bool AddColor(TiXmlNode& parent, std::string_view name, Color value) {
    return AddTextElement(parent, name,
                          std::to_string(RedOf(value)) + "," + std::to_string(GreenOf(value)) +
                              "," + std::to_string(BlueOf(value)));
}

} // namespace strikeline
