#pragma once

#include "storage/Color.h"
#include "storage/StructuredStorage.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace strikeline {

// The colours of one kind of table cell: Bk is the background, Fg the text colour.
enum class SchemeColor {
    ReportBk,
    ReportFg,
    CompanyHeaderBk,
    CompanyHeaderFg,
    OptionsHeaderBk,
    OptionsHeaderFg,
    StrikePriceBk,
    StrikePriceFg,
    ASXFairPriceBk,
    ASXFairPriceFg,
    ReturnPercentsBk,
    ReturnPercentsFg,
    LeverageCostBk,
    LeverageCostFg,
};
inline constexpr std::size_t kSchemeColorCount = 14;

// The font and colours of the program's tables. One scheme is current (it lives in the
// application state and is stored with the settings); the dialog edits a copy. Schemes
// can also be saved to and read from ".slclr" files.
class CColorScheme {
public:
    static constexpr std::uint32_t kMinFileFontSize = 6;
    static constexpr std::uint32_t kMaxFileFontSize = 20;

    CColorScheme() { SetDefaults(); }

    void SetDefaults();

    const std::string& FontStyle() const { return m_FontStyle; }
    void SetFontStyle(std::string face) { m_FontStyle = std::move(face); }
    std::uint32_t FontSize() const { return m_FontSize; }
    void SetFontSize(std::uint32_t points) { m_FontSize = points; }
    Color Get(SchemeColor which) const { return m_Colors[Index(which)]; }
    void Set(SchemeColor which, Color color) { m_Colors[Index(which)] = color; }

    // The stored name of a colour ("ReportBk", ...): registry value and file element.
    static std::string_view NameOf(SchemeColor which);

    // The settings record: defaults first, then every stored value over them.
    void LoadFromSettings(CStructuredStorage& record);
    void SaveToSettings(CStructuredStorage& record) const;

    // The scheme file. Loading starts from the defaults and stops at the first bad field
    // with the reason in `error` (the scheme then holds what was read before it); a
    // missing field keeps its default. Saving replaces the file atomically.
    bool LoadFromFile(const std::string& path, std::string& error);
    bool SaveToFile(const std::string& path, std::string* error = nullptr) const;

    bool operator==(const CColorScheme&) const = default;

private:
    static std::size_t Index(SchemeColor which) { return static_cast<std::size_t>(which); }

    std::string m_FontStyle;
    std::uint32_t m_FontSize = 0;
    std::array<Color, kSchemeColorCount> m_Colors{};
};

} // namespace strikeline
