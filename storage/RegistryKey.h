#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// Registry value types, with the numbers they have in registry files.
enum class RegistryType : std::uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
};

struct CRegistryValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool Is(RegistryType t) const { return type == static_cast<std::uint32_t>(t); }
};

// Orders registry names without regard to ASCII letter case; looks names up by view.
struct CRegistryNameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// One key of the in-memory settings registry: named values in the order they were first
// written and sub-keys in name order. Names compare without regard to ASCII letter case and
// keep the case they were created with. A deleted key stays alive for whoever still holds
// it, but every operation on it fails, as with a handle to a deleted registry key.
// Keys are always owned by shared pointers (make_shared).
// Looking up, adding and removing a sub-key or a value take logarithmic time, so a key
// with many thousands of sub-keys (a long company list) reads and writes in n log n.
// Not thread-safe: the settings tree is read at start-up and written at shutdown, both on
// the user-interface thread.
class CRegistryKey : public std::enable_shared_from_this<CRegistryKey> {
public:
    static constexpr std::size_t kMaxKeyNameLength = 255;

    using ChildMap = std::map<std::string, std::shared_ptr<CRegistryKey>, CRegistryNameLess>;
    using ValueList = std::vector<std::pair<std::string, CRegistryValue>>;

    explicit CRegistryKey(std::string name) : m_Name(std::move(name)) {}

    const std::string& Name() const { return m_Name; }
    bool IsDeleted() const { return m_Deleted; }

    // The key at `path` below this one ('\'-separated; empty is this key), or null.
    std::shared_ptr<CRegistryKey> Find(std::string_view path);
    // As Find, creating the missing keys. Null for an empty or over-long name component,
    // or one holding a control character.
    std::shared_ptr<CRegistryKey> Create(std::string_view path);
    // Removes a direct sub-key that has no sub-keys of its own; false otherwise.
    bool RemoveChild(std::string_view name);
    // Removes a direct sub-key with everything below it.
    bool RemoveTree(std::string_view name);
    // Removes every sub-key with everything below them; false on a deleted key.
    bool RemoveAllChildren();

    // Sub-keys by name, in name order.
    const ChildMap& Children() const { return m_Children; }
    // The sub-key at `index` in name order, or null past the last. Asking for the indexes
    // one after another takes one step each.
    std::shared_ptr<CRegistryKey> ChildAt(std::size_t index) const;

    const CRegistryValue* FindValue(std::string_view name) const;
    // False for a name holding a control character.
    bool SetValue(std::string_view name, CRegistryValue value);
    bool RemoveValue(std::string_view name);
    const ValueList& Values() const { return m_Values; }

private:
    std::shared_ptr<CRegistryKey> FindDirect(std::string_view name) const;
    void ChildrenChanged() { m_Cursor.reset(); }
    void MarkDeleted();

    struct CCursor {
        std::size_t index;
        ChildMap::const_iterator at;
    };

    std::string m_Name;
    bool m_Deleted = false;
    ValueList m_Values;
    // Each value's place in m_Values, by name.
    std::map<std::string, std::size_t, CRegistryNameLess> m_ValueIndex;
    ChildMap m_Children;
    // Where the last ChildAt stopped; forgotten whenever a sub-key comes or goes.
    mutable std::optional<CCursor> m_Cursor;
};

// Registry names compare without regard to ASCII letter case.
bool RegistryNamesEqual(std::string_view a, std::string_view b);

} // namespace strikeline
