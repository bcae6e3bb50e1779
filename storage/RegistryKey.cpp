#include "storage/RegistryKey.h"

#include <algorithm>
#include <cctype>

namespace strikeline {

namespace {

char Fold(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
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

bool CRegistryNameLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(x) < Fold(y); });
}

std::shared_ptr<CRegistryKey> CRegistryKey::FindDirect(std::string_view name) const {
    const auto it = m_Children.find(name);
    return it == m_Children.end() ? nullptr : it->second;
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
        const auto [at, added] = current->m_Children.try_emplace(std::string(part));
        if (added) {
            at->second = std::make_shared<CRegistryKey>(std::string(part));
            current->ChildrenChanged();
        }
        key = at->second;
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
    const auto it = m_Deleted ? m_Children.end() : m_Children.find(name);
    if (it == m_Children.end()) {
        return false;
    }
    it->second->MarkDeleted();
    m_Children.erase(it);
    ChildrenChanged();
    return true;
}

bool CRegistryKey::RemoveAllChildren() {
    if (m_Deleted) {
        return false;
    }
    for (const auto& [name, child] : m_Children) {
        child->MarkDeleted();
    }
    m_Children.clear();
    ChildrenChanged();
    return true;
}

std::shared_ptr<CRegistryKey> CRegistryKey::ChildAt(std::size_t index) const {
    if (index >= m_Children.size()) {
        return nullptr;
    }
    if (!m_Cursor || m_Cursor->index > index) {
        m_Cursor = CCursor{0, m_Children.begin()};
    }
    m_Cursor->at = std::next(m_Cursor->at, static_cast<std::ptrdiff_t>(index - m_Cursor->index));
    m_Cursor->index = index;
    return m_Cursor->at->second;
}

void CRegistryKey::MarkDeleted() {
    m_Deleted = true;
    for (const auto& [name, child] : m_Children) {
        child->MarkDeleted();
    }
}

const CRegistryValue* CRegistryKey::FindValue(std::string_view name) const {
    if (m_Deleted) {
        return nullptr;
    }
    const auto it = m_ValueIndex.find(name);
    return it == m_ValueIndex.end() ? nullptr : &m_Values[it->second].second;
}

bool CRegistryKey::SetValue(std::string_view name, CRegistryValue value) {
    if (m_Deleted || HasControlCharacter(name)) {
        return false;
    }
    const auto [it, added] = m_ValueIndex.try_emplace(std::string(name), m_Values.size());
    if (added) {
        m_Values.emplace_back(std::string(name), std::move(value));
    } else {
        m_Values[it->second].second = std::move(value);
    }
    return true;
}

bool CRegistryKey::RemoveValue(std::string_view name) {
    const auto it = m_Deleted ? m_ValueIndex.end() : m_ValueIndex.find(name);
    if (it == m_ValueIndex.end()) {
        return false;
    }
    const std::size_t place = it->second;
    m_ValueIndex.erase(it);
    m_Values.erase(m_Values.begin() + static_cast<std::ptrdiff_t>(place));
    for (auto& [other, at] : m_ValueIndex) {
        if (at > place) {
            --at;
        }
    }
    return true;
}

} // namespace strikeline
