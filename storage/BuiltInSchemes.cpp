#include "storage/BuiltInSchemes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace strikeline {

namespace {

// Each colour keeps its meaning on a dark ground: grey headers, the at-the-money series
// in amber with yellow figures, the fair price in deep blue, returns in green and the
// cost of leverage in crimson.
constexpr std::array<std::pair<SchemeColor, Color>, kSchemeColorCount> kDarkColors = {{
    {SchemeColor::ReportBk, Rgb(30, 30, 30)},
    {SchemeColor::ReportFg, Rgb(230, 230, 230)},
    {SchemeColor::CompanyHeaderBk, Rgb(85, 85, 85)},
    {SchemeColor::CompanyHeaderFg, Rgb(255, 255, 255)},
    {SchemeColor::OptionsHeaderBk, Rgb(50, 50, 50)},
    {SchemeColor::OptionsHeaderFg, Rgb(230, 230, 230)},
    {SchemeColor::StrikePriceBk, Rgb(92, 80, 0)},
    {SchemeColor::StrikePriceFg, Rgb(255, 235, 120)},
    {SchemeColor::ASXFairPriceBk, Rgb(39, 20, 173)},
    {SchemeColor::ASXFairPriceFg, Rgb(255, 255, 255)},
    {SchemeColor::ReturnPercentsBk, Rgb(30, 90, 20)},
    {SchemeColor::ReturnPercentsFg, Rgb(200, 255, 170)},
    {SchemeColor::LeverageCostBk, Rgb(150, 0, 56)},
    {SchemeColor::LeverageCostFg, Rgb(255, 255, 255)},
}};

constexpr Color kRedHighlight = Rgb(255, 0, 0);
constexpr Color kCyanHighlight = Rgb(0, 255, 255);
constexpr Color kDarkRedHighlight = Rgb(150, 20, 20);
constexpr Color kDarkCyanHighlight = Rgb(0, 95, 105);

bool HasDarkDefaultColors(const CColorScheme& scheme) {
    return std::all_of(kDarkColors.begin(), kDarkColors.end(), [&scheme](const auto& entry) {
        return scheme.Get(entry.first) == entry.second;
    });
}

// One sRGB channel of 0..255 as linear light.
double LinearChannel(std::uint32_t value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

CColorScheme DarkDefaultScheme() {
    CColorScheme scheme;
    for (const auto& [which, color] : kDarkColors) {
        scheme.Set(which, color);
    }
    return scheme;
}

CColorScheme SchemeForDesktop(const CColorScheme& stored, bool darkDesktop) {
    return darkDesktop && stored == CColorScheme() ? DarkDefaultScheme() : stored;
}

CColorScheme SchemeToStore(const CColorScheme& shown, bool darkDesktop) {
    return darkDesktop && shown == DarkDefaultScheme() ? CColorScheme() : shown;
}

Color PlanRedHighlight(const CColorScheme& scheme) {
    return HasDarkDefaultColors(scheme) ? kDarkRedHighlight : kRedHighlight;
}

Color PlanCyanHighlight(const CColorScheme& scheme) {
    return HasDarkDefaultColors(scheme) ? kDarkCyanHighlight : kCyanHighlight;
}

double RelativeLuminance(Color color) {
    return 0.2126 * LinearChannel(RedOf(color)) + 0.7152 * LinearChannel(GreenOf(color)) +
           0.0722 * LinearChannel(BlueOf(color));
}

double ContrastRatio(Color first, Color second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::vector<CSchemeColorPair> SchemeColorPairs(const CColorScheme& scheme) {
    const auto pair = [&scheme](std::string_view name, SchemeColor text, SchemeColor background) {
        return CSchemeColorPair{name, scheme.Get(text), scheme.Get(background)};
    };
    const Color planText = scheme.Get(SchemeColor::ReportFg);
    return {
        pair("Normal Text", SchemeColor::ReportFg, SchemeColor::ReportBk),
        pair("Company Header", SchemeColor::CompanyHeaderFg, SchemeColor::CompanyHeaderBk),
        pair("Options Header", SchemeColor::OptionsHeaderFg, SchemeColor::OptionsHeaderBk),
        pair("Strike Price", SchemeColor::StrikePriceFg, SchemeColor::StrikePriceBk),
        pair("ASX Fair Price", SchemeColor::ASXFairPriceFg, SchemeColor::ASXFairPriceBk),
        pair("Return %", SchemeColor::ReturnPercentsFg, SchemeColor::ReturnPercentsBk),
        pair("Leverage Cost", SchemeColor::LeverageCostFg, SchemeColor::LeverageCostBk),
        {"Plan on Return %", planText, scheme.Get(SchemeColor::ReturnPercentsBk)},
        {"Plan on Strike Price", planText, scheme.Get(SchemeColor::StrikePriceBk)},
        {"Plan on red", planText, PlanRedHighlight(scheme)},
        {"Plan on cyan", planText, PlanCyanHighlight(scheme)},
    };
}

} // namespace strikeline
