#include "storage/RegistryStorage.h"

#include "storage/NumberText.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace strikeline {

bool CRegistryStorage::Reposition(std::shared_ptr<CRegistryKey> key) {
    if (!key) {
        return false;
    }
    m_Key = std::move(key);
    m_ChildIndex = 0;
    m_ValueIndex = 0;
    return true;
}

bool CRegistryStorage::OpenRoot(const std::shared_ptr<CRegistryKey>& parent,
                                std::string_view name) {
    return parent && Reposition(parent->Find(name));
}

bool CRegistryStorage::CreateRoot(const std::shared_ptr<CRegistryKey>& parent,
                                  std::string_view name) {
    return parent && Reposition(parent->Create(name));
}

void CRegistryStorage::Close() {
    m_Key.reset();
}

bool CRegistryStorage::Open(std::string_view name) {
    return m_Key && Reposition(m_Key->Find(name));
}

bool CRegistryStorage::Create(std::string_view name) {
    return m_Key && Reposition(m_Key->Create(name));
}

std::unique_ptr<CStructuredStorage> CRegistryStorage::OpenChild(std::string_view name) {
    auto key = m_Key ? m_Key->Find(name) : nullptr;
    return key ? std::make_unique<CRegistryStorage>(std::move(key)) : nullptr;
}

std::unique_ptr<CStructuredStorage> CRegistryStorage::CreateChild(std::string_view name) {
    auto key = m_Key ? m_Key->Create(name) : nullptr;
    return key ? std::make_unique<CRegistryStorage>(std::move(key)) : nullptr;
}

bool CRegistryStorage::DeleteValue(std::string_view name) {
    return m_Key && m_Key->RemoveValue(name);
}

bool CRegistryStorage::DeleteChild(std::string_view name) {
    if (!m_Key || name.empty()) {
        return false;
    }
    // The tree is in memory: a subtree goes at once, with no deepest-first walk.
    const std::size_t last = name.rfind('\\');
    if (last == std::string_view::npos) {
        return m_Key->RemoveTree(name);
    }
    const auto parent = m_Key->Find(name.substr(0, last));
    return parent && parent->RemoveTree(name.substr(last + 1));
}

bool CRegistryStorage::DeleteAllChildren() {
    return m_Key && m_Key->RemoveAllChildren();
}

bool CRegistryStorage::GetFirstChildName(std::string& name) {
    m_ChildIndex = 0;
    return GetNextChildName(name);
}

bool CRegistryStorage::GetNextChildName(std::string& name) {
    const auto child = m_Key && !m_Key->IsDeleted() ? m_Key->ChildAt(m_ChildIndex) : nullptr;
    if (!child) {
        return false;
    }
    const std::string& found = child->Name();
    if (found.size() >= kNameBufferSize) {
        return false;
    }
    name = found;
    ++m_ChildIndex;
    return true;
}

bool CRegistryStorage::GetFirstValueName(std::string& name) {
    m_ValueIndex = 0;
    return GetNextValueName(name);
}

bool CRegistryStorage::GetNextValueName(std::string& name) {
    if (!m_Key || m_Key->IsDeleted() || m_ValueIndex >= m_Key->Values().size()) {
        return false;
    }
    const std::string& found = m_Key->Values()[m_ValueIndex].first;
    if (found.size() >= kNameBufferSize) {
        return false;
    }
    name = found;
    ++m_ValueIndex;
    return true;
}

const CRegistryValue* CRegistryStorage::Find(std::string_view name) const {
    return m_Key ? m_Key->FindValue(name) : nullptr;
}

bool CRegistryStorage::ReadBool(std::string_view name, bool defaultValue) {
    return ReadDword(name, defaultValue ? 1 : 0) != 0;
}

std::uint32_t CRegistryStorage::ReadDword(std::string_view name, std::uint32_t defaultValue) {
    const CRegistryValue* value = Find(name);
    if (value == nullptr || !value->Is(RegistryType::Dword) || value->data.size() > 4) {
        return defaultValue;
    }
    std::uint32_t result = 0;
    for (std::size_t i = 0; i < value->data.size(); ++i) {
        result |= static_cast<std::uint32_t>(value->data[i]) << (8 * i);
    }
    return result;
}

std::uint64_t CRegistryStorage::ReadUInt64(std::string_view name, std::uint64_t defaultValue) {
    const std::string text = ReadString(name, "");
    std::uint64_t value = 0;
    if (text.empty() || std::sscanf(text.c_str(), "%" SCNu64, &value) != 1) {
        return defaultValue;
    }
    return value;
}

std::int32_t CRegistryStorage::ReadInt(std::string_view name, std::int32_t defaultValue) {
    return static_cast<std::int32_t>(ReadDword(name, static_cast<std::uint32_t>(defaultValue)));
}

double CRegistryStorage::ReadDouble(std::string_view name, double defaultValue) {
    const std::string text = ReadString(name, FormatFixed(defaultValue, 6));
    double value = 0.0;
    return !text.empty() && ParseNumber(text, value) ? value : defaultValue;
}

void CRegistryStorage::ReadString(std::string_view name, std::string& text, std::size_t capacity,
                                  const char* defaultValue) {
    const CRegistryValue* value = Find(name);
    if (value == nullptr || !value->Is(RegistryType::String) || value->data.size() > capacity) {
        text = defaultValue != nullptr ? defaultValue : "";
        return;
    }
    const auto& data = value->data;
    const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
    text.assign(data.begin(), end);
}

std::string CRegistryStorage::ReadString(std::string_view name, std::string_view defaultValue) {
    std::string text;
    const std::string fallback(defaultValue);
    ReadString(name, text, kStringBufferSize, fallback.c_str());
    return text;
}

std::int64_t CRegistryStorage::ReadBinary(std::string_view name, std::span<std::uint8_t> buffer) {
    const CRegistryValue* value = Find(name);
    if (value == nullptr || !value->Is(RegistryType::Binary) ||
        value->data.size() > buffer.size()) {
        return -1;
    }
    std::copy(value->data.begin(), value->data.end(), buffer.begin());
    return static_cast<std::int64_t>(value->data.size());
}

std::int64_t CRegistryStorage::GetBinarySize(std::string_view name) {
    const CRegistryValue* value = Find(name);
    if (value == nullptr || !value->Is(RegistryType::Binary)) {
        return -1;
    }
    return static_cast<std::int64_t>(value->data.size());
}

bool CRegistryStorage::Write(std::string_view name, RegistryType type,
                             std::span<const std::uint8_t> bytes) {
    return m_Key &&
           m_Key->SetValue(name, {static_cast<std::uint32_t>(type), {bytes.begin(), bytes.end()}});
}

bool CRegistryStorage::WriteBool(std::string_view name, bool value) {
    return WriteDword(name, value ? 1 : 0);
}

bool CRegistryStorage::WriteDword(std::string_view name, std::uint32_t value) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return Write(name, RegistryType::Dword, bytes);
}

bool CRegistryStorage::WriteUInt64(std::string_view name, std::uint64_t value) {
    return WriteString(name, std::to_string(value));
}

bool CRegistryStorage::WriteInt(std::string_view name, std::int32_t value) {
    return WriteDword(name, static_cast<std::uint32_t>(value));
}

bool CRegistryStorage::WriteDouble(std::string_view name, double value) {
    return WriteString(name, FormatFixed(value, 6));
}

bool CRegistryStorage::WriteString(std::string_view name, std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return Write(name, RegistryType::String, bytes);
}

bool CRegistryStorage::WriteBinary(std::string_view name, std::span<const std::uint8_t> bytes) {
    return Write(name, RegistryType::Binary, bytes);
}

} // namespace strikeline
