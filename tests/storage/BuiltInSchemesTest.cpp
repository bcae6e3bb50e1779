// The built-in colour schemes: every text stays readable on its background in both, the
// dark default stands in for the light one only on a dark desktop and only for a user on
// the default, and the plan's highlights darken with it. Paper takes the light one back.

#include "storage/BuiltInSchemes.h"

#include "plan/PlanColumns.h"
#include "session/Session.h"
#include "storage/PaperColors.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace strikeline {
namespace {

// A scheme the user made: one colour away from the default it started from.
CColorScheme Customised(CColorScheme scheme) {
    scheme.Set(SchemeColor::ReportBk, Rgb(250, 250, 240));
    return scheme;
}

TEST(BuiltInSchemes, ContrastFollowsTheRelativeLuminanceFormula) {
    struct Case {
        Color first;
        Color second;
        double ratio;
    };
    // Figures the accessibility guidelines' own examples give: the extremes, and the two
    // greys either side of 4.5:1 on white.
    const Case cases[] = {
        {Rgb(0, 0, 0), Rgb(255, 255, 255), 21.0},
        {Rgb(255, 255, 255), Rgb(0, 0, 0), 21.0},
        {Rgb(120, 30, 200), Rgb(120, 30, 200), 1.0},
        {Rgb(0x76, 0x76, 0x76), Rgb(255, 255, 255), 4.54},
        {Rgb(0x77, 0x77, 0x77), Rgb(255, 255, 255), 4.48},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.first, c.second), c.ratio, 0.005)
            << std::hex << c.first << " on " << c.second;
    }
    EXPECT_DOUBLE_EQ(RelativeLuminance(Rgb(0, 0, 0)), 0.0);
    EXPECT_DOUBLE_EQ(RelativeLuminance(Rgb(255, 255, 255)), 1.0);
    // Green weighs most, blue least.
    EXPECT_GT(RelativeLuminance(Rgb(0, 255, 0)), RelativeLuminance(Rgb(255, 0, 0)));
    EXPECT_GT(RelativeLuminance(Rgb(255, 0, 0)), RelativeLuminance(Rgb(0, 0, 255)));
}

TEST(BuiltInSchemes, EveryTextIsReadableOnItsBackground) {
    // The light default's company header, white on light grey, falls short; users and
    // their stored files know it as it is, so it stays. Listed so that the test says so
    // when it no longer falls short.
    const std::set<std::string> lightShortfalls = {"Company Header"};
    struct Case {
        const char* name;
        CColorScheme scheme;
        std::set<std::string> shortfalls;
    };
    const Case cases[] = {{"light default", CColorScheme(), lightShortfalls},
                          {"dark default", DarkDefaultScheme(), {}}};
    for (const Case& c : cases) {
        const std::vector<CSchemeColorPair> pairs = SchemeColorPairs(c.scheme);
        // The seven kinds of cell and the plan's text on its four highlights.
        EXPECT_EQ(pairs.size(), 11u) << c.name;
        for (const CSchemeColorPair& pair : pairs) {
            const double ratio = ContrastRatio(pair.text, pair.background);
            if (c.shortfalls.count(std::string(pair.name)) != 0) {
                EXPECT_LT(ratio, kReadableContrast) << c.name << ", " << pair.name;
            } else {
                EXPECT_GE(ratio, kReadableContrast) << c.name << ", " << pair.name;
            }
        }
    }
}

TEST(BuiltInSchemes, TheDarkDefaultKeepsEveryColoursPlace) {
    const CColorScheme dark = DarkDefaultScheme();
    const CColorScheme light;
    EXPECT_EQ(dark.FontStyle(), light.FontStyle());
    EXPECT_EQ(dark.FontSize(), light.FontSize());
    // Light text on a dark ground, where the light default has the opposite.
    EXPECT_LT(RelativeLuminance(dark.Get(SchemeColor::ReportBk)),
              RelativeLuminance(dark.Get(SchemeColor::ReportFg)));
    EXPECT_GT(RelativeLuminance(light.Get(SchemeColor::ReportBk)),
              RelativeLuminance(light.Get(SchemeColor::ReportFg)));
    // Every kind of cell and every plan highlight still stands apart from the others.
    std::set<Color> backgrounds;
    for (int index = 0; index < kPlanCellColourCount; ++index) {
        backgrounds.insert(PlanCellPalette(dark, index));
    }
    for (const SchemeColor which : {SchemeColor::CompanyHeaderBk, SchemeColor::OptionsHeaderBk,
                                    SchemeColor::ASXFairPriceBk, SchemeColor::LeverageCostBk}) {
        backgrounds.insert(dark.Get(which));
    }
    EXPECT_EQ(backgrounds.size(), 9u);
    // The highlights are the deep shades of the light default's red and cyan.
    EXPECT_NE(PlanCellPalette(dark, 3), PlanCellPalette(light, 3));
    EXPECT_GT(RedOf(PlanCellPalette(dark, 3)), GreenOf(PlanCellPalette(dark, 3)) * 4);
    EXPECT_EQ(RedOf(PlanCellPalette(dark, 4)), 0u);
    EXPECT_GT(GreenOf(PlanCellPalette(dark, 4)), 0u);
}

TEST(BuiltInSchemes, PlanHighlightsDarkenOnlyUnderTheDarkDefaultsColours) {
    CColorScheme darkInAnotherFont = DarkDefaultScheme();
    darkInAnotherFont.SetFontSize(12);
    struct Case {
        const char* name;
        CColorScheme scheme;
        bool deep;
    };
    const Case cases[] = {
        {"light default", CColorScheme(), false},
        {"dark default", DarkDefaultScheme(), true},
        {"dark default in another size", darkInAnotherFont, true},
        {"user's own from the dark default", Customised(DarkDefaultScheme()), false},
        {"user's own from the light default", Customised(CColorScheme()), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlanRedHighlight(c.scheme) != Rgb(255, 0, 0), c.deep) << c.name;
        EXPECT_EQ(PlanCyanHighlight(c.scheme) != Rgb(0, 255, 255), c.deep) << c.name;
        EXPECT_EQ(PlanCellPalette(c.scheme, 3), PlanRedHighlight(c.scheme)) << c.name;
        EXPECT_EQ(PlanCellPalette(c.scheme, 4), PlanCyanHighlight(c.scheme)) << c.name;
    }
}

TEST(BuiltInSchemes, OnlyTheBuiltInDefaultTurnsDarkAndIsStoredAsItself) {
    const CColorScheme light;
    const CColorScheme dark = DarkDefaultScheme();
    CColorScheme otherFont;
    otherFont.SetFontStyle("Arial");
    const CColorScheme own = Customised(light);
    struct Case {
        const char* name;
        CColorScheme stored;
        bool darkDesktop;
        CColorScheme shown;
    };
    const Case cases[] = {
        {"default, light desktop", light, false, light},
        {"default, dark desktop", light, true, dark},
        {"own colours, light desktop", own, false, own},
        {"own colours, dark desktop", own, true, own},
        {"own font, dark desktop", otherFont, true, otherFont},
        {"dark colours of the user's own, light desktop", dark, false, dark},
        {"dark colours of the user's own, dark desktop", dark, true, dark},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SchemeForDesktop(c.stored, c.darkDesktop), c.shown) << c.name;
    }
    // Accepting what was shown stores what was stored: the default stays the default.
    for (const Case& c : cases) {
        if (c.stored != dark || !c.darkDesktop) {
            EXPECT_EQ(SchemeToStore(c.shown, c.darkDesktop), c.stored) << c.name;
        }
    }
    // The dark default accepted on a light desktop is the user's choice, and stays.
    EXPECT_EQ(SchemeToStore(dark, false), dark);
}

TEST(BuiltInSchemes, TheSessionDrawsWithTheDesktopsDefaultAndKeepsTheStoredOne) {
    CSession session("/day");
    EXPECT_FALSE(session.DarkDesktop());
    EXPECT_EQ(session.ColorScheme(), CColorScheme());
    session.SetDarkDesktop(true);
    EXPECT_EQ(session.ColorScheme(), DarkDefaultScheme());
    {
        const CApplicationStateLock lock(session.State());
        EXPECT_EQ(session.State().ColorScheme(), CColorScheme());
        session.State().SetColorScheme(Customised(CColorScheme()));
    }
    EXPECT_EQ(session.ColorScheme(), Customised(CColorScheme()));
    session.SetDarkDesktop(false);
    EXPECT_EQ(session.ColorScheme(), Customised(CColorScheme()));
}

TEST(BuiltInSchemes, PaperTakesTheStoredLightDefaultForEveryDarkColour) {
    const CColorScheme light;
    const CColorScheme dark = DarkDefaultScheme();
    const CPaperColors paper(light, true);
    for (std::size_t i = 0; i < kSchemeColorCount; ++i) {
        const auto which = static_cast<SchemeColor>(i);
        EXPECT_EQ(paper.OnPaper(dark.Get(which)), light.Get(which)) << CColorScheme::NameOf(which);
    }
    EXPECT_EQ(paper.OnPaper(PlanRedHighlight(dark)), PlanRedHighlight(light));
    EXPECT_EQ(paper.OnPaper(PlanCyanHighlight(dark)), PlanCyanHighlight(light));
    // Colours of no scheme print as they show.
    EXPECT_EQ(paper.OnPaper(Rgb(1, 2, 3)), Rgb(1, 2, 3));

    // The windows draw with the stored scheme already: paper takes the same.
    for (const CPaperColors& same :
         {CPaperColors(light, false), CPaperColors(Customised(light), true),
          CPaperColors(dark, true), CPaperColors(Customised(dark), false)}) {
        EXPECT_TRUE(same.Empty());
    }
}

} // namespace
} // namespace strikeline
