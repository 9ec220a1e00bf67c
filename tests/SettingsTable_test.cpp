#include "app/SettingsTable.h"
#include "platform/Registry.h"

#include "support/ErrorText.h"
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(LoadRunsHandler, OnlyWhenTheStoredValueDiffersFromTheDesign)
{
    // TimesActualSize absent reads 1, stored back as the box's 100; VersionAlert is ticked at design.
    const struct { const char *name; int stored; bool runs; } cases[] = {
        {"TimesActualSize", 1, true}, {"TimesActualSize", 100, false}, {"VersionAlert", 0, true},
        {"VersionAlert", 7, false},
    };
    for (const auto &c : cases) {
        const SettingSpec *entry = FindSetting(c.name);
        ASSERT_NE(entry, nullptr) << c.name;
        EXPECT_EQ(LoadRunsHandler(*entry, c.stored), c.runs) << c.name << " " << c.stored;
    }
}

TEST(SlideIntervalStep, OneBelowTenFiveFromTen)
{
    const std::pair<int, int> cases[] = {{0, 1}, {9, 1}, {10, 5}, {11, 5}, {3600, 5}};
    for (auto [value, step] : cases)
        EXPECT_EQ(SlideIntervalStep(value), step) << "value " << value;
}

TEST(StoredColour, RedSitsInTheLowByte)
{
    for (const auto &[stored, color] : {std::pair{255, QColor(255, 0, 0)}, {0x123456, QColor(0x56, 0x34, 0x12)}}) {
        EXPECT_EQ(ColorFromStored(stored), color) << stored;
        EXPECT_EQ(ColorToStored(color), stored) << stored;
    }
    // High byte (system colour flags) does not leak into the colour.
    EXPECT_EQ(ColorFromStored(int(0x80000005u)), QColor(5, 0, 0));
}

TEST(DateText, ReadsTheStoredFormAndNamesABadOne)
{
    EXPECT_EQ(ParseDateText("2024-02-29"), QDate(2024, 2, 29));
    EXPECT_EQ(FormatDateText(QDate(2024, 2, 9)), QString("2024-02-09"));
    for (const char *bad : {"", "2023-02-29", "29.02.2024", "yesterday"})
        EXPECT_EQ(test::MessageOf<ConvertError>([&] { ParseDateText(bad); }),
                  QString("'%1' is not a valid date").arg(bad));
}

TEST(DefaultDateForSiteDelete, TwoYearsBackEvenFromALeapDay)
{
    EXPECT_EQ(DefaultDateForSiteDelete(EncodeDate(2026, 12, 6) + EncodeTime(23, 59, 0)), QDate(2024, 12, 6));
    EXPECT_EQ(DefaultDateForSiteDelete(EncodeDate(2028, 2, 29)), QDate(2026, 2, 28));
}

TEST(ComputeDependentStates, EachOptionSwitchesItsOwnControls)
{
    // Proxy fields, resume, categories, mouse switch, caption group, image size, times actual size.
    const struct { const char *option; OptionStates o; const char *states; } cases[] = {
        {"defaults", {}, "-rcmgi-"}, {"proxy", {.useProxy = true}, "prcmgi-"}, {"random", {.random = true}, "--cmgi-"},
        {"current cam only", {.showCurrentCamOnly = true}, "-r-mgi-"},
        {"no mouse detection", {.disableMouseMoveDetect = true}, "-rc-gi-"},
        {"no caption", {.showCaption = false}, "-rcm-i-"}, {"actual size", {.ssImageSize = 1}, "-rcmg-a"},
    };
    for (const auto &c : cases) {
        const DependentStates d = ComputeDependentStates(c.o);
        QString states;
        for (const auto &[on, letter] : {std::pair{d.proxyFieldsEnabled, 'p'}, {d.resumeEnabled, 'r'},
                                         {d.selectedCatsEnabled, 'c'}, {d.swToOneCamEnabled, 'm'},
                                         {d.captionGroupVisible, 'g'}, {d.imageSizeEnabled, 'i'},
                                         {d.timesActualSizeEnabled, 'a'}})
            states += on ? letter : '-';
        EXPECT_EQ(states, c.states) << c.option;
    }
}

TEST(ComputeCountStates, SlideShowButtonTimerAndAdultOffers)
{
    // Ticked webcams, adult ones, the adult permission and whether disabled ones are checked; then the
    // slide-show button, the screen-saver timer and the adult offers.
    const struct { int enabled, adult, enableAA; bool checkDisabled; const char *states; } cases[] = {
        {0, 0, 0, false, "---"}, {0, 0, 0, true, "b--"}, {1, 0, 0, false, "bt-"}, {2, 1, 0, false, "bt-"},
        {2, 1, 1, false, "bto"}, {2, 1, -1, false, "bt-"}, {2, 0, 1, false, "bt-"},
    };
    for (const auto &c : cases) {
        const CountStates s = ComputeCountStates(c.enabled, c.adult, c.enableAA, c.checkDisabled);
        const QString states = QString(s.slideshowEnabled ? "b" : "-") + (s.ssTimerEnabled ? "t" : "-");
        EXPECT_EQ(states + (s.adultOffersVisible ? "o" : "-"), c.states) << c.enabled << c.adult << c.enableAA;
    }
}

} // namespace
