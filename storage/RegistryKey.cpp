#include "storage/RegistryKey.h"

#include <algorithm>
#include <cctype>

namespace strikeline {

namespace {

char Fold(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool NameLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(x) < Fold(y); });
}

// Splits "A\B\C" into its components; an empty path has none.
std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t slash = path.find('\\');
        parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos) {
            break;
        }
        path.remove_prefix(slash + 1);
        if (path.empty()) {
            parts.emplace_back(); // a trailing separator names an empty key
        }
    }
    return parts;
}

// Names are written one to a line in the settings file, so no control character may
// stand in one.
bool HasControlCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool ValidKeyName(std::string_view name) {
    return !name.empty() && name.size() <= CRegistryKey::kMaxKeyNameLength &&
           !HasControlCharacter(name);
}

} // namespace

bool RegistryNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Fold(x) == Fold(y); });
}

std::shared_ptr<CRegistryKey> CRegistryKey::FindDirect(std::string_view name) const {
    const auto it = std::find_if(m_Children.begin(), m_Children.end(), [&](const auto& child) {
        return RegistryNamesEqual(child->m_Name, name);
    });
    return it == m_Children.end() ? nullptr : *it;
}

std::shared_ptr<CRegistryKey> CRegistryKey::Find(std::string_view path) {
    if (m_Deleted) {
        return nullptr;
    }
    std::shared_ptr<CRegistryKey> key;
    CRegistryKey* current = this;
    for (const std::string_view part : SplitPath(path)) {
        key = current->FindDirect(part);
        if (!key) {
            return nullptr;
        }
        current = key.get();
    }
    return key ? key : shared_from_this(); // an empty path names this key
}

std::shared_ptr<CRegistryKey> CRegistryKey::Create(std::string_view path) {
    if (m_Deleted) {
        return nullptr;
    }
    const auto parts = SplitPath(path);
    if (!std::all_of(parts.begin(), parts.end(), ValidKeyName)) {
        return nullptr;
    }
    std::shared_ptr<CRegistryKey> key;
    CRegistryKey* current = this;
    for (const std::string_view part : parts) {
        key = current->FindDirect(part);
        if (!key) {
            key = std::make_shared<CRegistryKey>(std::string(part));
            const auto at = std::upper_bound(current->m_Children.begin(), current->m_Children.end(),
                                             part, [](std::string_view name, const auto& child) {
                                                 return NameLess(name, child->m_Name);
                                             });
            current->m_Children.insert(at, key);
        }
        current = key.get();
    }
    return key ? key : shared_from_this();
}

bool CRegistryKey::RemoveChild(std::string_view name) {
    const auto child = m_Deleted ? nullptr : FindDirect(name);
    if (!child || !child->m_Children.empty()) {
        return false;
    }
    return RemoveTree(name);
}

bool CRegistryKey::RemoveTree(std::string_view name) {
    const auto child = m_Deleted ? nullptr : FindDirect(name);
    if (!child) {
        return false;
    }
    child->MarkDeleted();
    std::erase(m_Children, child);
    return true;
}

void CRegistryKey::MarkDeleted() {
    m_Deleted = true;
    for (const auto& child : m_Children) {
        child->MarkDeleted();
    }
}

const CRegistryValue* CRegistryKey::FindValue(std::string_view name) const {
    if (m_Deleted) {
        return nullptr;
    }
    const auto it = std::find_if(m_Values.begin(), m_Values.end(), [&](const auto& entry) {
        return RegistryNamesEqual(entry.first, name);
    });
    return it == m_Values.end() ? nullptr : &it->second;
}

bool CRegistryKey::SetValue(std::string_view name, CRegistryValue value) {
    if (m_Deleted || HasControlCharacter(name)) {
        return false;
    }
    const auto it = std::find_if(m_Values.begin(), m_Values.end(), [&](const auto& entry) {
        return RegistryNamesEqual(entry.first, name);
    });
    if (it != m_Values.end()) {
        it->second = std::move(value);
    } else {
        m_Values.emplace_back(std::string(name), std::move(value));
    }
    return true;
}

bool CRegistryKey::RemoveValue(std::string_view name) {
    if (m_Deleted) {
        return false;
    }
    return std::erase_if(m_Values, [&](const auto& entry) {
               return RegistryNamesEqual(entry.first, name);
           }) > 0;
}

} // namespace strikeline
