#include "storage/RegistryFile.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace strikeline {

namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::size_t kHexLineLength = 78;

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// A string value can be written in quotes when it is one zero-terminated text without
// control characters.
bool Quotable(const CRegistryValue& value) {
    const auto& data = value.data;
    return value.Is(RegistryType::String) && !data.empty() && data.back() == 0 &&
           std::none_of(data.begin(), data.end() - 1,
                        [](std::uint8_t b) { return b < 0x20 || b == 0x7f; });
}

void AppendHex(std::string& out, std::string line, const std::vector<std::uint8_t>& data) {
    char digits[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(digits, sizeof digits, "%02x", data[i]);
        std::string piece = digits;
        if (i + 1 < data.size()) {
            piece += ',';
        }
        if (line.size() + piece.size() > kHexLineLength) {
            out += line + "\\\n";
            line = "  ";
        }
        line += piece;
    }
    out += line + "\n";
}

void AppendValue(std::string& out, const std::string& name, const CRegistryValue& value) {
    const std::string prefix = (name.empty() ? std::string("@") : Quote(name)) + "=";
    if (Quotable(value)) {
        const auto& data = value.data;
        out +=
            prefix +
            Quote(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1)) +
            "\n";
    } else if (value.Is(RegistryType::Dword) && value.data.size() == 4) {
        const auto& d = value.data;
        char text[16];
        std::snprintf(text, sizeof text, "dword:%02x%02x%02x%02x", d[3], d[2], d[1], d[0]);
        out += prefix + text + "\n";
    } else if (value.Is(RegistryType::Binary)) {
        AppendHex(out, prefix + "hex:", value.data);
    } else {
        char type[24];
        std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
        AppendHex(out, prefix + type, value.data);
    }
}

void AppendKey(std::string& out, const CRegistryKey& key, const std::string& path) {
    // HKEY_CURRENT_USER itself is written only when it holds values.
    if (path != kRootName || !key.Values().empty()) {
        out += "[" + path + "]\n";
        for (const auto& [name, value] : key.Values()) {
            AppendValue(out, name, value);
        }
        out += "\n";
    }
    // Recursion as deep as the tree: the reader keeps it shallow (kMaxKeyDepth).
    for (const auto& [name, child] : key.Children()) {
        AppendKey(out, *child, path + "\\" + name);
    }
}

// Reads the registry-export text one line at a time.
class CParser {
public:
    CParser(std::string_view text, CRegistryKey& root) : m_Text(text), m_Root(root) {}

    bool Run(std::string& error) {
        if (m_Text.substr(0, 3) == "\xEF\xBB\xBF") {
            m_Text.remove_prefix(3);
        }
        bool headerSeen = false;
        std::string line;
        while (NextLine(line)) {
            const std::string_view trimmed = Trim(line);
            if (trimmed.empty() || trimmed.front() == ';') {
                continue;
            }
            if (!headerSeen) {
                if (trimmed != CRegistryFile::kHeader && trimmed != "REGEDIT4") {
                    return Fail(error, "not a registry file (the first line should be \"" +
                                           std::string(CRegistryFile::kHeader) + "\")");
                }
                headerSeen = true;
                continue;
            }
            std::string fault;
            const bool ok =
                trimmed.front() == '[' ? KeyLine(trimmed, fault) : ValueLine(trimmed, fault);
            if (!ok) {
                return Fail(error, fault);
            }
        }
        if (!headerSeen) {
            return Fail(error, "the file is empty");
        }
        return true;
    }

private:
    static std::string_view Trim(std::string_view text) {
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
            text.remove_prefix(1);
        }
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
            text.remove_suffix(1);
        }
        return text;
    }

    // The next logical line: physical lines ending in '\' continue on the next one.
    bool NextLine(std::string& line) {
        line.clear();
        bool any = false;
        while (!m_Text.empty()) {
            any = true;
            ++m_LineNumber;
            const std::size_t end = m_Text.find('\n');
            std::string_view physical = m_Text.substr(0, end);
            m_Text.remove_prefix(end == std::string_view::npos ? m_Text.size() : end + 1);
            if (!physical.empty() && physical.back() == '\r') {
                physical.remove_suffix(1);
            }
            const std::string_view trimmed = Trim(physical);
            if (!trimmed.empty() && trimmed.back() == '\\' && trimmed.front() != '[') {
                line += line.empty() ? trimmed.substr(0, trimmed.size() - 1)
                                     : Trim(trimmed.substr(0, trimmed.size() - 1));
                continue;
            }
            line += line.empty() ? physical : Trim(physical);
            return true;
        }
        return any;
    }

    bool Fail(std::string& error, const std::string& fault) const {
        error = "line " + std::to_string(m_LineNumber) + ": " + fault;
        return false;
    }

    // "[HKEY_CURRENT_USER\A\B]" opens (creating) a key; "[-HKEY_CURRENT_USER\A]" deletes one.
    bool KeyLine(std::string_view line, std::string& fault) {
        if (line.back() != ']') {
            fault = "a key line should end with ']'";
            return false;
        }
        std::string_view path = line.substr(1, line.size() - 2);
        const bool remove = !path.empty() && path.front() == '-';
        if (remove) {
            path.remove_prefix(1);
        }
        const std::size_t slash = path.find('\\');
        if (!RegistryNamesEqual(path.substr(0, slash), kRootName)) {
            fault = "only keys under " + std::string(kRootName) + " are kept here";
            return false;
        }
        const std::string_view relative =
            slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (!WithinBounds(relative, fault)) {
            return false;
        }
        if (remove) {
            const std::size_t last = relative.rfind('\\');
            const auto parent = last == std::string_view::npos
                                    ? m_Root.Find("")
                                    : m_Root.Find(relative.substr(0, last));
            if (parent) {
                parent->RemoveTree(last == std::string_view::npos ? relative
                                                                  : relative.substr(last + 1));
            }
            m_Current.reset();
            return true;
        }
        m_Current = m_Root.Create(relative);
        if (!m_Current) {
            fault = "invalid key name";
            return false;
        }
        return true;
    }

    // A key nested deeper than a registry would hold, or with a longer name, is refused:
    // writing such a tree back repeats its whole path on every level (a 40 KB line would
    // grow to hundreds of megabytes), and freeing it recurses as deep as it goes.
    static bool WithinBounds(std::string_view path, std::string& fault) {
        std::size_t depth = 0;
        while (!path.empty()) {
            const std::size_t slash = path.find('\\');
            if (path.substr(0, slash).size() > CRegistryKey::kMaxKeyNameLength) {
                fault = "a key name is longer than " +
                        std::to_string(CRegistryKey::kMaxKeyNameLength) + " characters";
                return false;
            }
            if (++depth > CRegistryFile::kMaxKeyDepth) {
                fault = "keys are nested more than " + std::to_string(CRegistryFile::kMaxKeyDepth) +
                        " levels deep";
                return false;
            }
            if (slash == std::string_view::npos) {
                break;
            }
            path.remove_prefix(slash + 1);
        }
        return true;
    }

    // A quoted name or string at the front of `text`, unescaped; the rest is left in `text`.
    static std::optional<std::string> TakeQuoted(std::string_view& text) {
        if (text.empty() || text.front() != '"') {
            return std::nullopt;
        }
        std::string result;
        for (std::size_t i = 1; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"') {
                text.remove_prefix(i + 1);
                return result;
            }
            if (c == '\\') {
                if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                    return std::nullopt;
                }
                ++i;
            }
            result += text[i];
        }
        return std::nullopt;
    }

    static std::optional<std::vector<std::uint8_t>> HexList(std::string_view text) {
        std::vector<std::uint8_t> bytes;
        text = Trim(text);
        while (!text.empty()) {
            const std::size_t comma = text.find(',');
            const std::string_view item = Trim(text.substr(0, comma));
            unsigned byte = 0;
            const auto result = std::from_chars(item.data(), item.data() + item.size(), byte, 16);
            if (item.empty() || item.size() > 2 || result.ptr != item.data() + item.size()) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<std::uint8_t>(byte));
            if (comma == std::string_view::npos) {
                break;
            }
            text.remove_prefix(comma + 1);
            if (Trim(text).empty()) {
                return std::nullopt; // a list may not end with a comma
            }
        }
        return bytes;
    }

    static std::optional<CRegistryValue> Data(std::string_view text) {
        CRegistryValue value;
        if (!text.empty() && text.front() == '"') {
            const auto string = TakeQuoted(text);
            if (!string || !Trim(text).empty()) {
                return std::nullopt;
            }
            value.type = static_cast<std::uint32_t>(RegistryType::String);
            value.data.assign(string->begin(), string->end());
            value.data.push_back(0);
            return value;
        }
        if (text.starts_with("dword:")) {
            const std::string_view digits = Trim(text.substr(6));
            std::uint32_t number = 0;
            const auto result =
                std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
            if (digits.empty() || digits.size() > 8 ||
                result.ptr != digits.data() + digits.size()) {
                return std::nullopt;
            }
            value.type = static_cast<std::uint32_t>(RegistryType::Dword);
            for (int shift = 0; shift < 32; shift += 8) {
                value.data.push_back(static_cast<std::uint8_t>(number >> shift));
            }
            return value;
        }
        if (text.starts_with("hex:")) {
            value.type = static_cast<std::uint32_t>(RegistryType::Binary);
            text.remove_prefix(4);
        } else if (text.starts_with("hex(")) {
            const std::size_t close = text.find("):");
            const std::string_view digits =
                text.substr(4, close == std::string_view::npos ? 0 : close - 4);
            const auto result =
                std::from_chars(digits.data(), digits.data() + digits.size(), value.type, 16);
            if (digits.empty() || result.ptr != digits.data() + digits.size()) {
                return std::nullopt;
            }
            text.remove_prefix(close + 2);
        } else {
            return std::nullopt;
        }
        auto bytes = HexList(text);
        if (!bytes) {
            return std::nullopt;
        }
        value.data = std::move(*bytes);
        return value;
    }

    bool ValueLine(std::string_view line, std::string& fault) {
        if (!m_Current) {
            fault = "a value stands outside any key";
            return false;
        }
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (auto quoted = TakeQuoted(line)) {
            name = std::move(*quoted);
        } else {
            fault = "a value line should start with a quoted name or '@'";
            return false;
        }
        if (name.size() > CRegistryFile::kMaxValueNameLength) {
            fault = "a value name is longer than " +
                    std::to_string(CRegistryFile::kMaxValueNameLength) + " characters";
            return false;
        }
        line = Trim(line);
        if (line.empty() || line.front() != '=') {
            fault = "'=' expected after the value name";
            return false;
        }
        line = Trim(line.substr(1));
        if (line == "-") {
            m_Current->RemoveValue(name);
            return true;
        }
        auto value = Data(line);
        if (!value) {
            fault = "the data of value \"" + name + "\" cannot be read";
            return false;
        }
        m_Current->SetValue(name, std::move(*value));
        return true;
    }

    std::string_view m_Text;
    CRegistryKey& m_Root;
    std::shared_ptr<CRegistryKey> m_Current;
    unsigned m_LineNumber = 0;
};

} // namespace

CRegistryFile::CRegistryFile()
    : m_CurrentUser(std::make_shared<CRegistryKey>(std::string(kRootName))) {}

std::string CRegistryFile::ToText() const {
    std::string text = std::string(kHeader) + "\n\n";
    AppendKey(text, *m_CurrentUser, std::string(kRootName));
    return text;
}

bool CRegistryFile::Parse(std::string_view text, std::string& error) {
    auto root = std::make_shared<CRegistryKey>(std::string(kRootName));
    if (!CParser(text, *root).Run(error)) {
        m_CurrentUser = std::make_shared<CRegistryKey>(std::string(kRootName));
        return false;
    }
    m_CurrentUser = std::move(root);
    return true;
}

bool CRegistryFile::Load(const std::string& path, std::string& error) {
    m_CurrentUser = std::make_shared<CRegistryKey>(std::string(kRootName));
    m_UnmovedDamagedFile.clear();
    if (!PathExists(path)) {
        return true;
    }
    std::string text;
    std::string fault;
    if (ReadWholeFile(path, text, fault) && Parse(text, fault)) {
        return true;
    }
    const std::string kept = MoveAside(path, "damaged");
    if (kept.empty()) {
        m_UnmovedDamagedFile = path;
    }
    error = "The settings file " + path + " cannot be read (" + fault + "). " +
            (kept.empty() ? std::string("It was left in place") : "It was kept as " + kept) +
            " and the default settings are used.";
    return false;
}

bool CRegistryFile::Save(const std::string& path, std::string& error) const {
    if (path == m_UnmovedDamagedFile) {
        error = "The settings file " + path +
                " was not replaced: it could not be read and could not be kept aside.";
        return false;
    }
    return WriteFileAtomically(path, ToText(), error);
}

} // namespace strikeline
