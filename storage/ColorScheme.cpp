#include "storage/ColorScheme.h"

#include "storage/XmlRecords.h"

namespace strikeline {

namespace {

constexpr std::string_view kFontStyle = "FontStyle";
constexpr std::string_view kFontSize = "FontSize";
constexpr std::string_view kRootElement = "Settings";

struct ColorEntry {
    std::string_view name;
    Color defaultColor;
};

// In the order of SchemeColor, which is the order of the file.
constexpr std::array<ColorEntry, kSchemeColorCount> kColors = {{
    {"ReportBk", Rgb(255, 255, 255)},
    {"ReportFg", Rgb(0, 0, 0)},
    {"CompanyHeaderBk", Rgb(170, 170, 170)},
    {"CompanyHeaderFg", Rgb(255, 255, 255)},
    {"OptionsHeaderBk", Rgb(238, 238, 238)},
    {"OptionsHeaderFg", Rgb(0, 0, 0)},
    {"StrikePriceBk", Rgb(255, 255, 0)},
    {"StrikePriceFg", Rgb(0, 0, 0)},
    {"ASXFairPriceBk", Rgb(39, 20, 173)},
    {"ASXFairPriceFg", Rgb(255, 255, 255)},
    {"ReturnPercentsBk", Rgb(87, 174, 0)},
    {"ReturnPercentsFg", Rgb(0, 0, 0)},
    {"LeverageCostBk", Rgb(210, 0, 79)},
    {"LeverageCostFg", Rgb(255, 255, 255)},
}};

} // namespace

void CColorScheme::SetDefaults() {
    m_FontStyle = "Times New Roman";
    m_FontSize = 8;
    for (std::size_t i = 0; i < kColors.size(); ++i) {
        m_Colors[i] = kColors[i].defaultColor;
    }
}

std::string_view CColorScheme::NameOf(SchemeColor which) {
    return kColors[Index(which)].name;
}

void CColorScheme::LoadFromSettings(CStructuredStorage& record) {
    SetDefaults();
    m_FontStyle = record.ReadString(kFontStyle, m_FontStyle);
    m_FontSize = static_cast<std::uint32_t>(
        record.ReadInt(kFontSize, static_cast<std::int32_t>(m_FontSize)));
    for (std::size_t i = 0; i < kColors.size(); ++i) {
        m_Colors[i] = record.ReadDword(kColors[i].name, m_Colors[i]);
    }
}

void CColorScheme::SaveToSettings(CStructuredStorage& record) const {
    record.WriteString(kFontStyle, m_FontStyle);
    record.WriteInt(kFontSize, static_cast<std::int32_t>(m_FontSize));
    for (std::size_t i = 0; i < kColors.size(); ++i) {
        record.WriteDword(kColors[i].name, m_Colors[i]);
    }
}

bool CColorScheme::LoadFromFile(const std::string& path, std::string& error) {
    SetDefaults();
    pugi::xml_document document;
    const pugi::xml_node root = LoadXmlRecordFile(document, path, kRootElement, error);
    if (!root) {
        return false;
    }
    std::string face;
    switch (GetElementText(root, kFontStyle, face, &error)) {
    case ElementText::Found:
        m_FontStyle = face;
        break;
    case ElementText::Malformed:
        return false;
    case ElementText::Absent:
        break;
    }
    if (!GetUInt(root, kFontSize, m_FontSize, kMinFileFontSize, kMaxFileFontSize, m_FontSize,
                 &error)) {
        return false;
    }
    for (std::size_t i = 0; i < kColors.size(); ++i) {
        if (!GetColor(root, kColors[i].name, m_Colors[i], m_Colors[i], &error)) {
            return false;
        }
    }
    error.clear();
    return true;
}

bool CColorScheme::SaveToFile(const std::string& path, std::string* error) const {
    pugi::xml_document document;
    AddXmlDeclaration(document);
    pugi::xml_node root = document.append_child(std::string(kRootElement).c_str());
    AddTextElement(root, kFontStyle, m_FontStyle);
    AddUInt(root, kFontSize, m_FontSize);
    for (std::size_t i = 0; i < kColors.size(); ++i) {
        AddColor(root, kColors[i].name, m_Colors[i]);
    }
    return SaveXmlFile(document, path, error);
}

} // namespace strikeline
