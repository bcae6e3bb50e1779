#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

// The user's own "average trades" figure per company, keyed by the upper-cased company
// code (so lookups ignore letter case) and kept in the average-trades file. A figure the
// user cleared holds UNSET_VALUE until the file is written, which leaves it out.
//
// Errors: Load and Save return false with the reason in `error`. A failed Load keeps the
// items read before the faulty one.
class CAverageTradesDatabase {
public:
    // The figures the file can hold; the reader refuses anything else.
    static constexpr double kMinimum = 0.0;
    static constexpr double kMaximum = 1000000000.0;

    CAverageTradesDatabase() = default;
    CAverageTradesDatabase(const CAverageTradesDatabase&) = delete;
    CAverageTradesDatabase& operator=(const CAverageTradesDatabase&) = delete;

    // Clears, then reads the file. Fails with "File %s does not exist", the parser's
    // reason, "<Entries> tag not found", a missing CompanyID or Value, a Value that is no
    // number or lies outside 0..1000000000, or "<CompanyID> element holds no company code". A
    // later item replaces an earlier one of the same code.
    bool Load(const std::string& path, std::string& error);
    // Writes the items in code order, replacing the file atomically. Items the reader would
    // refuse (cleared ones among them) are left out.
    bool Save(const std::string& path, std::string* error = nullptr) const;

    void Clear() { m_Items.clear(); }
    std::optional<double> Lookup(std::string_view code) const;
    // Adds the item or replaces its figure.
    void Set(std::string_view code, double value);
    const std::map<std::string, double>& Items() const { return m_Items; }

private:
    std::map<std::string, double> m_Items;
};

} // namespace strikeline
