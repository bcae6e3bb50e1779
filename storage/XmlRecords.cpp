#include "storage/XmlRecords.h"

#include "platform/AtomicFile.h"
#include "storage/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// "(line 3, column 18)" for a byte offset into the text, both counted from 1.
std::string Position(const std::string& text, std::ptrdiff_t offset) {
    if (offset < 0 || static_cast<std::size_t>(offset) > text.size()) {
        return {};
    }
    const auto at = static_cast<std::size_t>(offset);
    const auto line = std::count(text.begin(), text.begin() + offset, '\n') + 1;
    const std::size_t lineStart = at == 0 ? std::string::npos : text.rfind('\n', at - 1);
    const std::size_t column = lineStart == std::string::npos ? at + 1 : at - lineStart;
    return "(line " + std::to_string(line) + ", column " + std::to_string(column) + ")";
}

std::string DecodeText(std::string_view text, bool condense);

// Walks the parsed tree without recursion, refuses one nested or crowded past what any of
// the program's files could be, and gives text and attribute values their characters.
bool FinishParsedTree(pugi::xml_document& document, const std::string& text, std::string& error) {
    std::size_t depth = 0;
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.type() == pugi::node_element) {
            // Positions name the element's "<" (the parser gives its name's).
            if (depth >= kMaxXmlDepth) {
                error = "Elements are nested more than " + std::to_string(kMaxXmlDepth) +
                        " levels deep " + Position(text, node.offset_debug() - 1);
                return false;
            }
            const auto attributes = node.attributes();
            if (static_cast<std::size_t>(std::distance(attributes.begin(), attributes.end())) >
                kMaxXmlAttributes) {
                error = "An element has more than " + std::to_string(kMaxXmlAttributes) +
                        " attributes " + Position(text, node.offset_debug() - 1);
                return false;
            }
            for (pugi::xml_attribute attribute : attributes) {
                attribute.set_value(DecodeText(attribute.value(), false).c_str());
            }
            if (node.first_child()) {
                node = node.first_child();
                ++depth;
                continue;
            }
        } else if (node.type() == pugi::node_pcdata) {
            node.set_value(DecodeText(node.value(), true).c_str());
        }
        while (!node.next_sibling() && depth > 0) {
            node = node.parent();
            --depth;
        }
        node = node.next_sibling();
    }
    return true;
}

// The whole file, refused when it is not a regular file (a FIFO would hold the program
// forever) or when it is larger than any of the program's files.
bool ReadBoundedFile(const std::string& path, std::string& text, std::string& error) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        error = "Unable to open file " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(descriptor, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        error = "File " + path + " is not a regular file";
        ok = false;
    } else if (ok && static_cast<std::uint64_t>(info.st_size) > kMaxXmlFileBytes) {
        error =
            "File " + path + " is larger than " + std::to_string(kMaxXmlFileBytes >> 20) + " MB";
        ok = false;
    }
    text.clear();
    char buffer[65536];
    while (ok) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "Unable to read file " + path + ": " + std::strerror(errno);
            ok = false;
        } else if (got == 0) {
            break;
        } else if (text.size() + static_cast<std::size_t>(got) > kMaxXmlFileBytes) {
            // The file grew while it was read.
            error = "File " + path + " is larger than " + std::to_string(kMaxXmlFileBytes >> 20) +
                    " MB";
            ok = false;
        } else {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(descriptor);
    return ok;
}

// Escapes text as the files have always held it: the five markup characters by name, and
// every control character (line breaks and tabs among them) as a hexadecimal reference so
// that the condensing reader gives it back unchanged.
std::string EncodeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 32) {
                char reference[8];
                std::snprintf(reference, sizeof reference, "&#x%02X;",
                              static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += reference;
            } else {
                out += c;
            }
        }
    }
    return out;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character an entity at the start of `text` stands for, and its length; nothing for
// an unknown or malformed one, which then stays as it was written.
std::optional<std::pair<std::string, std::size_t>> Entity(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& [name, character] : kNamed) {
        if (text.starts_with(name)) {
            return std::pair{std::string(1, character), name.size()};
        }
    }
    if (!text.starts_with("&#")) {
        return std::nullopt;
    }
    const bool hex = text.size() > 2 && text[2] == 'x';
    const std::size_t digits = hex ? 3 : 2;
    const std::size_t end = text.find(';', digits);
    if (end == std::string_view::npos || end == digits || end - digits > 8) {
        return std::nullopt;
    }
    std::uint32_t code = 0;
    for (std::size_t i = digits; i < end; ++i) {
        const char c = text[i];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        code = code * (hex ? 16 : 10) + digit;
    }
    if (code == 0 || code > 0x10FFFF) {
        return std::nullopt;
    }
    std::string character;
    AppendUtf8(character, code);
    return std::pair{character, end + 1};
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Replaces entities by their characters. With `condense`, white space written as such is
// trimmed and each run of it becomes one space; a character given by reference is kept.
std::string DecodeText(std::string_view text, bool condense) {
    std::string out;
    out.reserve(text.size());
    bool space = false;
    std::size_t i = 0;
    if (condense) {
        while (i < text.size() && IsXmlSpace(text[i])) {
            ++i;
        }
    }
    while (i < text.size()) {
        if (condense && IsXmlSpace(text[i])) {
            space = true;
            ++i;
            continue;
        }
        if (space) {
            out += ' ';
            space = false;
        }
        if (text[i] == '&') {
            if (const auto entity = Entity(text.substr(i))) {
                out += entity->first;
                i += entity->second;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

// Gets the field's text and hands it to `convert`; an absent field takes the default when
// there is one and fails otherwise.
template <typename T, typename Convert>
bool ReadField(pugi::xml_node parent, std::string_view name, const std::optional<T>& defaultValue,
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

bool ParseXmlText(pugi::xml_document& document, const std::string& text, std::string* error) {
    document.reset();
    // Entities are left to DecodeText, which knows which white space came from the file and
    // which from a reference; comments are kept so that one inside a field still makes it
    // more than text, as it always has.
    constexpr unsigned kOptions = pugi::parse_cdata | pugi::parse_comments | pugi::parse_eol;
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), kOptions, pugi::encoding_utf8);
    if (!result) {
        SetError(error, std::string(result.description()) + " " + Position(text, result.offset));
        document.reset();
        return false;
    }
    std::string fault;
    if (!FinishParsedTree(document, text, fault)) {
        SetError(error, std::move(fault));
        document.reset();
        return false;
    }
    return true;
}

bool LoadXmlFile(pugi::xml_document& document, const std::string& path, std::string* error) {
    document.reset();
    std::string text;
    std::string fault;
    if (!ReadBoundedFile(path, text, fault)) {
        SetError(error, std::move(fault));
        return false;
    }
    return ParseXmlText(document, text, error);
}

pugi::xml_node LoadXmlRecordFile(pugi::xml_document& document, const std::string& path,
                                 std::string_view rootName, std::string& error) {
    if (!PathExists(path)) {
        error = "File " + path + " does not exist";
        return {};
    }
    if (!LoadXmlFile(document, path, &error)) {
        return {};
    }
    return FindChildElement(document, rootName, &error);
}

std::string FormatXmlDocument(const pugi::xml_document& document) {
    std::string out;
    // Walked without recursion, so no depth of document can exhaust the stack.
    std::size_t depth = 0;
    pugi::xml_node node = document.first_child();
    while (node) {
        const std::string indent(depth * 4, ' ');
        switch (node.type()) {
        case pugi::node_declaration:
            out += indent + "<?xml";
            for (const pugi::xml_attribute attribute : node.attributes()) {
                out += " " + std::string(attribute.name()) + "=\"" + attribute.value() + "\"";
            }
            out += " ?>\n";
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            out += indent + EncodeText(node.value()) + "\n";
            break;
        case pugi::node_element: {
            out += indent + "<" + node.name();
            for (const pugi::xml_attribute attribute : node.attributes()) {
                out += " " + std::string(attribute.name()) + "=\"" + EncodeText(attribute.value()) +
                       "\"";
            }
            const pugi::xml_node first = node.first_child();
            if (!first) {
                out += " />\n";
                break;
            }
            if (first.type() == pugi::node_pcdata && !first.next_sibling()) {
                out += ">" + EncodeText(first.value()) + "</" + node.name() + ">\n";
                break;
            }
            out += ">\n";
            node = first;
            ++depth;
            continue;
        }
        default:
            break;
        }
        // On to the next sibling, closing every element whose last child this was.
        while (!node.next_sibling() && depth > 0) {
            node = node.parent();
            --depth;
            out += std::string(depth * 4, ' ') + "</" + node.name() + ">\n";
        }
        node = node.next_sibling();
    }
    return out;
}

bool SaveXmlFile(const pugi::xml_document& document, const std::string& path, std::string* error) {
    std::string fault;
    if (!WriteFileAtomically(path, FormatXmlDocument(document), fault)) {
        SetError(error, fault);
        return false;
    }
    return true;
}

void AddXmlDeclaration(pugi::xml_document& document) {
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
}

pugi::xml_node FindChildElement(pugi::xml_node parent, std::string_view name, std::string* error) {
    for (pugi::xml_node element = parent.first_child(); element; element = element.next_sibling()) {
        if (element.type() == pugi::node_element && name == element.name()) {
            return element;
        }
    }
    SetError(error, "<" + std::string(name) + "> tag not found");
    return {};
}

ElementText GetElementText(pugi::xml_node parent, std::string_view name, std::string& text,
                           std::string* error) {
    if (parent.type() == pugi::node_element) {
        for (const pugi::xml_attribute attribute : parent.attributes()) {
            if (name == attribute.name()) {
                text = attribute.value();
                return ElementText::Found;
            }
        }
    }
    const pugi::xml_node element = FindChildElement(parent, name, error);
    if (!element) {
        return ElementText::Absent;
    }
    const pugi::xml_node first = element.first_child();
    if (!first) {
        text.clear();
        return ElementText::Found;
    }
    if (first.next_sibling()) {
        SetError(error, "<" + std::string(name) + "> element should contain only text");
        return ElementText::Malformed;
    }
    if (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata) {
        SetError(error, "<" + std::string(name) + "> element contains no text");
        return ElementText::Malformed;
    }
    text = first.value();
    return ElementText::Found;
}

bool GetText(pugi::xml_node parent, std::string_view name, std::string& text, std::string* error) {
    return GetElementText(parent, name, text, error) == ElementText::Found;
}

bool AddTextElement(pugi::xml_node parent, std::string_view name, std::string_view text) {
    pugi::xml_node element = parent.append_child(std::string(name).c_str());
    if (!element) {
        return false;
    }
    if (!text.empty()) {
        element.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
    }
    return true;
}

bool GetInt(pugi::xml_node parent, std::string_view name, std::int32_t defaultValue,
            std::int32_t minimum, std::int32_t maximum, std::int32_t& value, std::string* error) {
    return ReadField<std::int32_t>(parent, name, defaultValue, value, error,
                                   IntConverter(name, minimum, maximum));
}

bool GetInt(pugi::xml_node parent, std::string_view name, std::int32_t minimum,
            std::int32_t maximum, std::int32_t& value, std::string* error) {
    return ReadField<std::int32_t>(parent, name, std::nullopt, value, error,
                                   IntConverter(name, minimum, maximum));
}

bool AddInt(pugi::xml_node parent, std::string_view name, std::int32_t value) {
    return AddTextElement(parent, name, std::to_string(value));
}

bool GetUInt(pugi::xml_node parent, std::string_view name, std::uint32_t defaultValue,
             std::uint32_t minimum, std::uint32_t maximum, std::uint32_t& value,
             std::string* error) {
    return ReadField<std::uint32_t>(parent, name, defaultValue, value, error,
                                    UIntConverter(name, minimum, maximum));
}

bool GetUInt(pugi::xml_node parent, std::string_view name, std::uint32_t minimum,
             std::uint32_t maximum, std::uint32_t& value, std::string* error) {
    return ReadField<std::uint32_t>(parent, name, std::nullopt, value, error,
                                    UIntConverter(name, minimum, maximum));
}

bool AddUInt(pugi::xml_node parent, std::string_view name, std::uint32_t value) {
    return AddTextElement(parent, name, std::to_string(value));
}

bool GetDouble(pugi::xml_node parent, std::string_view name, double defaultValue, double minimum,
               double maximum, double& value, std::string* error) {
    return ReadField<double>(parent, name, defaultValue, value, error,
                             DoubleConverter(name, minimum, maximum));
}

bool GetDouble(pugi::xml_node parent, std::string_view name, double minimum, double maximum,
               double& value, std::string* error) {
    return ReadField<double>(parent, name, std::nullopt, value, error,
                             DoubleConverter(name, minimum, maximum));
}

bool AddDouble(pugi::xml_node parent, std::string_view name, double value) {
    return AddTextElement(parent, name, FormatFixed(value, 6));
}

bool GetBool(pugi::xml_node parent, std::string_view name, bool defaultValue, bool& value,
             std::string* error) {
    return ReadField<bool>(parent, name, defaultValue, value, error, BoolConverter(name));
}

bool GetBool(pugi::xml_node parent, std::string_view name, bool& value, std::string* error) {
    return ReadField<bool>(parent, name, std::nullopt, value, error, BoolConverter(name));
}

bool AddBool(pugi::xml_node parent, std::string_view name, bool value) {
    return AddTextElement(parent, name, value ? "true" : "false");
}

bool GetDateTime(pugi::xml_node parent, std::string_view name, FileTime defaultValue,
                 FileTime& value, std::string* error) {
    return ReadField<FileTime>(parent, name, defaultValue, value, error, DateTimeConverter(name));
}

bool GetDateTime(pugi::xml_node parent, std::string_view name, FileTime& value,
                 std::string* error) {
    return ReadField<FileTime>(parent, name, std::nullopt, value, error, DateTimeConverter(name));
}

bool AddDateTime(pugi::xml_node parent, std::string_view name, FileTime value) {
    return AddTextElement(parent, name,
                          FormatFileTime(value, TimeZoneMode::Universal, FileTimeStyle::DateTime));
}

bool GetColor(pugi::xml_node parent, std::string_view name, Color defaultValue, Color& value,
              std::string* error) {
    return ReadField<Color>(parent, name, defaultValue, value, error, ColorConverter(name));
}

bool GetColor(pugi::xml_node parent, std::string_view name, Color& value, std::string* error) {
    return ReadField<Color>(parent, name, std::nullopt, value, error, ColorConverter(name));
}

bool AddColor(pugi::xml_node parent, std::string_view name, Color value) {
    return AddTextElement(parent, name,
                          std::to_string(RedOf(value)) + "," + std::to_string(GreenOf(value)) +
                              "," + std::to_string(BlueOf(value)));
}

} // namespace strikeline
