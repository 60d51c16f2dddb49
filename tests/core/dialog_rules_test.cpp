#include "settings_app/dialog_rules.h"

#include <gtest/gtest.h>

namespace sonarel {
namespace {

TEST(TriggerMappingTest, AnyStoredValueButZeroShowsAsRightAndIsSavedAsTwo) {
    EXPECT_EQ(TriggerSelectionFor(0), 0);
    for (int stored : {1, 2, -5, 2147483647}) EXPECT_EQ(TriggerSelectionFor(stored), 1) << stored;
    EXPECT_EQ(MouseButtonFor(0), 0);
    EXPECT_EQ(MouseButtonFor(1), 2);
    EXPECT_EQ(MouseButtonFor(-1), 2);  // neither radio button checked
}

TEST(VolumeStepTest, AcceptsZeroToOneHundredAsSignedValues) {
    EXPECT_EQ(JudgeVolumeStep(false, 0), StepVerdict::NotANumber);
    EXPECT_EQ(JudgeVolumeStep(true, 0), StepVerdict::Accepted);
    EXPECT_EQ(JudgeVolumeStep(true, 100), StepVerdict::Accepted);
    EXPECT_EQ(JudgeVolumeStep(true, 101), StepVerdict::OutOfRange);
    EXPECT_EQ(JudgeVolumeStep(true, 2147483648u), StepVerdict::OutOfRange);
    EXPECT_EQ(JudgeVolumeStep(true, 4294967295u), StepVerdict::OutOfRange);
    EXPECT_EQ(JudgeVolumeStep(true, 4294967291u), StepVerdict::OutOfRange);  // a stored -5
}

TEST(VolumeStepTest, OnlyDigitsBetweenBlanksConvert) {
    const std::pair<const wchar_t*, std::optional<std::uint32_t>> cases[] = {
        {L"5", 5u}, {L"  42 ", 42u}, {L"0", 0u}, {L"4294967295", 4294967295u}, {L"007", 7u},
        {L"", std::nullopt}, {L"   ", std::nullopt}, {L"12ab", std::nullopt}, {L"-5", std::nullopt},
        {L"+5", std::nullopt}, {L"4294967296", std::nullopt}, {L"99999999999999999999999", std::nullopt},
        {L"1 2", std::nullopt}, {L"\x0661", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseUnsignedStep(text), expected) << '"' << text << '"';
}

TEST(VolumeStepTest, RangeMessageShowsTheSignedValue) {
    EXPECT_EQ(RangeMessage(101, 0, 100), L"Error detected: You entered integer of 101, whereas it must be between 0 and 100");
    EXPECT_EQ(RangeMessage(static_cast<int>(4294967295u), 0, 100),
              L"Error detected: You entered integer of -1, whereas it must be between 0 and 100");
}

TEST(CenteringTest, CentresOnTheReferenceAndStaysInTheWorkArea) {
    const Rect work{0, 0, 1280, 984};
    EXPECT_EQ(CenteredPosition({400, 300}, work, work), (Point{440, 342}));
    EXPECT_EQ(CenteredPosition({401, 301}, {0, 0, 1281, 985}, work), (Point{440, 342}));  // halves truncate
    EXPECT_EQ(CenteredPosition({400, 300}, {1100, 900, 1300, 1000}, work), (Point{880, 684}));
    EXPECT_EQ(CenteredPosition({400, 300}, {-300, -300, -100, -100}, work), (Point{0, 0}));
    EXPECT_EQ(CenteredPosition({2000, 300}, work, work), (Point{0, 342})) << "too wide: left edge wins";
}

TEST(SwatchHitTest, AllFourEdgesAreInside) {
    const Rect swatch{100, 50, 120, 66};
    for (Point p : {Point{100, 50}, Point{120, 66}, Point{120, 50}, Point{100, 66}, Point{110, 58}}) {
        EXPECT_TRUE(HitsSwatch(swatch, p)) << p.x << "," << p.y;
    }
    for (Point p : {Point{99, 58}, Point{121, 58}, Point{110, 49}, Point{110, 67}}) {
        EXPECT_FALSE(HitsSwatch(swatch, p)) << p.x << "," << p.y;
    }
}

TEST(AnchorColorTest, ThreeNumbersModuloTwoFiftySixOrNothing) {
    EXPECT_EQ(ParseAnchorColor(L"0,0,255"), MakeColor(0, 0, 255));
    EXPECT_EQ(ParseAnchorColor(L"128,0,128"), MakeColor(128, 0, 128));
    EXPECT_EQ(ParseAnchorColor(L"300,256,511"), MakeColor(44, 0, 255));
    EXPECT_EQ(ParseAnchorColor(L"255,255,255"), MakeColor(255, 255, 255));  // 11 characters
    EXPECT_EQ(ParseAnchorColor(L"0255,255,255"), std::nullopt);             // 12: too long
    EXPECT_EQ(ParseAnchorColor(L"0,0"), std::nullopt);
    EXPECT_EQ(ParseAnchorColor(L"1,2,"), std::nullopt);
    EXPECT_EQ(ParseAnchorColor(L""), std::nullopt);
    EXPECT_EQ(ParseAnchorColor(L",,5"), MakeColor(0, 0, 5));
}

TEST(DialogRulesTest, AStartupItemIsTurnedOffByAnOddFirstByte) {
    // As Task Manager and Settings write them: 02 on, 03 off, then a FILETIME.
    const std::uint8_t on[12] = {0x02}, off[12] = {0x03, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x20, 0x30, 0x01};
    const std::uint8_t other_on[1] = {0x06}, other_off[1] = {0x07};
    EXPECT_FALSE(IsStartupEntryTurnedOff(on, sizeof on));
    EXPECT_TRUE(IsStartupEntryTurnedOff(off, sizeof off));
    EXPECT_FALSE(IsStartupEntryTurnedOff(other_on, 1));
    EXPECT_TRUE(IsStartupEntryTurnedOff(other_off, 1));
    EXPECT_FALSE(IsStartupEntryTurnedOff(off, 0)) << "an empty record";
}

TEST(DialogRulesTest, FileMessagesNameTheFileWhatHappenedAndWhatToDo) {
    const std::wstring file = L"C:\\Users\\ana\\AppData\\Local\\korvanix\\sonarel\\settings.xml";
    const struct {
        WriteFailure failure;
        const wchar_t* reason;
    } cases[] = {
        {WriteFailure::InUse, L"Another program is using the file"},
        {WriteFailure::ReadOnly, L"The file is read-only"},
        {WriteFailure::NoAccess, L"You do not have permission"},
        {WriteFailure::Other, L"could not be written"},
    };
    for (const auto& c : cases) {
        const std::wstring text = SaveFailureMessage(c.failure, file);
        EXPECT_NE(text.find(file), std::wstring::npos);
        EXPECT_NE(text.find(c.reason), std::wstring::npos) << static_cast<int>(c.failure);
        EXPECT_NE(text.find(L"click Apply again"), std::wstring::npos);
    }
    const std::wstring unreadable = UnreadableSettingsMessage(file);
    EXPECT_NE(unreadable.find(file), std::wstring::npos);
    EXPECT_NE(unreadable.find(L"Nothing was changed"), std::wstring::npos);
}

}  // namespace
}  // namespace sonarel
