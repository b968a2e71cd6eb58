// Decisions of the three settings dialogs, without their windows: key filters, OK of
// Preferences, the control unit's spin rules and Writes, and the sensor operations.
#include "settings/control_unit_logic.h"
#include "settings/preferences_logic.h"
#include "settings/sensor_calibration_logic.h"
#include "support/link_test_doubles.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

namespace vantora {
namespace {

using test::Bytes;
using test::CommandFrame;
using test::RecordingSink;

Bytes Ascii(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// ---------------------------------------------------------------- Preferences

struct KeyCase {
    std::string current;
    char32_t typed;
    int maximum;
    bool accepted;
};

TEST(PresetKeyFilter, FollowsTheCandidateRule)
{
    const std::vector<KeyCase> cases = {
        {"", U'3', 360, true},
        {"36", U'1', 360, false},       // 361
        {"36", U'0', 360, true},        // 360
        {"18", U'1', 180, false},       // 181
        {"18", U'0', 180, true},
        {"350", U'9', 360, false},      // a selected 350 still forms 3509
        {"0", U'0', 360, true},
        {"", U'a', 360, false},
        {"", U' ', 360, false},
        {"", U'-', 360, false},
        {"", U'+', 180, false},
        {"", U'\u00B2', 360, false},    // superscript two is no digit here
        {"999", kBackspace, 360, true}, // backspace always works
        {"", kBackspace, 180, true},
        {"9", U'9', 180, true},         // 99
        {"99", U'9', 180, false},       // 999
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(AcceptPresetKey(c.current, c.typed, c.maximum), c.accepted)
            << "current '" << c.current << "' typed " << static_cast<unsigned>(c.typed);
    }
}

TEST(FolderSeparator, AppendedOnlyWhenMissing)
{
    EXPECT_EQ(AppendFolderSeparator("/opt/moonsked", '/'), "/opt/moonsked/");
    EXPECT_EQ(AppendFolderSeparator("/opt/moonsked/", '/'), "/opt/moonsked/");
    EXPECT_EQ(AppendFolderSeparator("/", '/'), "/");
    EXPECT_EQ(AppendFolderSeparator("C:\\", '\\'), "C:\\");
    EXPECT_EQ(AppendFolderSeparator("C:\\WSJT9", '\\'), "C:\\WSJT9\\");
}

PreferencesForm ValidForm()
{
    PreferencesForm form;
    form.callsign = "OK1ABC";
    form.locator = "JN79FX";
    form.moonSked = "/opt/moonsked/";
    form.wsjt = "/opt/wsjt/";
    form.language = 1;
    for (std::size_t i = 0; i < kPresetCount; ++i) {
        form.presetName[i] = "Name " + std::to_string(i);
        form.azimuth[i] = std::to_string(10 * i);
        form.elevation[i] = std::to_string(i);
    }
    return form;
}

TEST(PreferencesOk, RefusesABadLocator)
{
    for (const char* locator : {"", "JN89X", "JN89XXX", "JS89XX", "JNA9XX", "JN89XY", "JN89Y1"}) {
        PreferencesForm form = ValidForm();
        form.locator = locator;
        auto outcome = ConfirmPreferences(form);
        ASSERT_TRUE(std::holds_alternative<PreferencesRefused>(outcome)) << locator;
        EXPECT_EQ(std::get<PreferencesRefused>(outcome).message, "Bad locator format");
    }
}

TEST(PreferencesOk, HandsOverTheBoxesReadAsNumbers)
{
    PreferencesForm form = ValidForm();
    form.locator = "jn79fx";
    form.azimuth[3] = "";
    form.elevation[8] = "";
    form.azimuth[0] = "360";
    form.presetName[0] = "ignored";
    auto outcome = ConfirmPreferences(form);
    ASSERT_TRUE(std::holds_alternative<PreferenceValues>(outcome));
    const PreferenceValues& values = std::get<PreferenceValues>(outcome);
    EXPECT_EQ(values.Lokator, "jn79fx");  // upper-cased by the store and the copy
    EXPECT_EQ(values.Znacka, "OK1ABC");
    EXPECT_EQ(values.MoonSked, "/opt/moonsked/");
    EXPECT_EQ(values.WSJT, "/opt/wsjt/");
    EXPECT_EQ(values.Language, 1);
    EXPECT_EQ(values.PresetName[0], "");  // "Parking" is never stored
    EXPECT_EQ(values.PresetName[5], "Name 5");
    EXPECT_EQ(values.PresetAzimuth[0], 360);
    EXPECT_EQ(values.PresetAzimuth[3], 0);
    EXPECT_EQ(values.PresetAzimuth[4], 40);
    EXPECT_EQ(values.PresetElevation[8], 0);
    EXPECT_EQ(values.PresetElevation[7], 7);
}

TEST(PreferencesOk, UntouchedBoxesKeepTheStoredValueEditedOnesTakeTheText)
{
    Settings stored;
    stored.Znacka = "OK1ABCDEFGHIJ";          // 13 characters: the box shows 12
    stored.Language = 7;                       // no such item: the box shows none
    stored.PresetName[2] = "";                 // the box shows "Preset 2"
    stored.PresetName[5] = "NineteenCharsLongXY";  // the box shows 16
    stored.PresetAzimuth[6] = -5;              // the number boxes read "-5" as 0
    stored.PresetElevation[7] = 1234;          // the box shows "123"
    PreferencesForm filled = ValidForm();
    filled.callsign = "OK1ABCDEFGHI";
    filled.language = -1;
    filled.presetName[2] = "Preset 2";
    filled.presetName[5] = "NineteenCharsLon";
    filled.azimuth[6] = "-5";
    filled.elevation[7] = "123";

    struct Case {
        const char* what;
        std::function<void(PreferencesForm&)> edit;
        std::function<void(const PreferenceValues&)> check;
    };
    const Case cases[] = {
        {"nothing edited", [](PreferencesForm&) {},
         [&](const PreferenceValues& v) {
             EXPECT_EQ(v.Znacka, stored.Znacka);
             EXPECT_EQ(v.Language, 7);
             EXPECT_EQ(v.PresetName[2], "");
             EXPECT_EQ(v.PresetName[5], stored.PresetName[5]);
             EXPECT_EQ(v.PresetAzimuth[6], -5);
             EXPECT_EQ(v.PresetElevation[7], 1234);
             EXPECT_EQ(v.PresetAzimuth[4], stored.PresetAzimuth[4]);
         }},
        {"callsign", [](PreferencesForm& f) { f.callsign = "OK1X"; },
         [](const PreferenceValues& v) { EXPECT_EQ(v.Znacka, "OK1X"); }},
        {"language", [](PreferencesForm& f) { f.language = 0; },
         [](const PreferenceValues& v) { EXPECT_EQ(v.Language, 0); }},
        {"name 5", [](PreferencesForm& f) { f.presetName[5] = "Short"; },
         [&](const PreferenceValues& v) {
             EXPECT_EQ(v.PresetName[5], "Short");
             EXPECT_EQ(v.PresetName[2], "");  // the others stay
         }},
        {"azimuth 6", [](PreferencesForm& f) { f.azimuth[6] = "15"; },
         [](const PreferenceValues& v) { EXPECT_EQ(v.PresetAzimuth[6], 15); }},
        {"elevation 7", [](PreferencesForm& f) { f.elevation[7] = "12"; },
         [](const PreferenceValues& v) {
             EXPECT_EQ(v.PresetElevation[7], 12);
             EXPECT_EQ(v.PresetAzimuth[6], -5);
         }},
    };
    for (const Case& c : cases) {
        PreferencesForm form = filled;
        c.edit(form);
        auto outcome = ConfirmPreferences(form, filled, stored);
        ASSERT_TRUE(std::holds_alternative<PreferenceValues>(outcome)) << c.what;
        SCOPED_TRACE(c.what);
        c.check(std::get<PreferenceValues>(outcome));
    }

    PreferencesForm badLocator = filled;
    badLocator.locator = "JN89";
    EXPECT_TRUE(std::holds_alternative<PreferencesRefused>(ConfirmPreferences(badLocator, filled, stored)));
}

// ---------------------------------------------------------------- Control unit settings

TEST(ControlUnitView, ShowsTenthsAndChoices)
{
    const std::vector<std::pair<int, std::string>> times = {
        {25, "2.5"}, {0, "0.0"}, {100, "10.0"}, {5, "0.5"}, {255, "25.5"}};
    for (const auto& [tenths, shown] : times)
        EXPECT_EQ(FormatInertiaTime(static_cast<std::uint8_t>(tenths)), shown);

    UnitSettings s;
    for (int mode : {0, 1, 3, 255}) {
        s.mode2 = static_cast<std::uint8_t>(mode);
        EXPECT_FALSE(ShowUnitSettings(s).elevationMode) << mode;
    }
    s.mode2 = 2;
    s.display20 = 7;
    const ControlUnitView view = ShowUnitSettings(s);
    EXPECT_TRUE(view.elevationMode);
    EXPECT_TRUE(view.display20);
}

struct SpinCase {
    const char* name;
    int sensitivity, inertia, time;
    SpinField field;
    bool up;
    int expectSensitivity, expectInertia, expectTime;
};

TEST(SpinButtons, KeepSensitivityAboveInertiaAndTimeInRange)
{
    const std::vector<SpinCase> cases = {
        {"sensitivity down at inertia + 1", 12, 11, 50, SpinField::Sensitivity, false, 12, 11, 50},
        {"sensitivity down", 14, 11, 50, SpinField::Sensitivity, false, 13, 11, 50},
        {"sensitivity up at 30", 30, 11, 50, SpinField::Sensitivity, true, 30, 11, 50},
        {"sensitivity up", 12, 11, 50, SpinField::Sensitivity, true, 13, 11, 50},
        {"inertia up pushes sensitivity", 12, 11, 50, SpinField::Inertia, true, 13, 12, 50},
        {"inertia up to 30 gives 31", 30, 29, 50, SpinField::Inertia, true, 31, 30, 50},
        {"inertia up at 30", 31, 30, 50, SpinField::Inertia, true, 31, 30, 50},
        {"inertia up leaves a higher sensitivity", 20, 11, 50, SpinField::Inertia, true, 20, 12, 50},
        {"inertia down", 12, 11, 50, SpinField::Inertia, false, 12, 10, 50},
        {"inertia down at 0", 1, 0, 50, SpinField::Inertia, false, 1, 0, 50},
        {"inertia down repairs sensitivity", 3, 5, 50, SpinField::Inertia, false, 5, 4, 50},
        {"time down at 10", 12, 11, 10, SpinField::InertiaTime, false, 12, 11, 10},
        {"time up at 100", 12, 11, 100, SpinField::InertiaTime, true, 12, 11, 100},
        {"time up", 12, 11, 99, SpinField::InertiaTime, true, 12, 11, 100},
        {"time down", 12, 11, 11, SpinField::InertiaTime, false, 12, 11, 10},
        {"inertia reported out of range", 5, 255, 50, SpinField::Inertia, true, 255, 255, 50},
    };
    for (int rotator : {1, 2}) {
        for (const SpinCase& c : cases) {
            UnitSettings s;
            auto& sensitivity = rotator == 1 ? s.sensitivity1 : s.sensitivity2;
            auto& inertia = rotator == 1 ? s.inertia1 : s.inertia2;
            auto& time = rotator == 1 ? s.inertiaTime1 : s.inertiaTime2;
            sensitivity = static_cast<std::uint8_t>(c.sensitivity);
            inertia = static_cast<std::uint8_t>(c.inertia);
            time = static_cast<std::uint8_t>(c.time);
            const UnitSettings before = s;
            if (c.up)
                SpinUp(s, rotator, c.field);
            else
                SpinDown(s, rotator, c.field);
            EXPECT_EQ(sensitivity, c.expectSensitivity) << c.name << " rotator " << rotator;
            EXPECT_EQ(inertia, c.expectInertia) << c.name << " rotator " << rotator;
            EXPECT_EQ(time, c.expectTime) << c.name << " rotator " << rotator;
            // The other rotator is never touched.
            if (rotator == 1)
                EXPECT_EQ(s.sensitivity2, before.sensitivity2);
            else
                EXPECT_EQ(s.sensitivity1, before.sensitivity1);
        }
    }
}

class ControlUnitWrites : public ::testing::Test {
protected:
    UnitSettings settings;
    CommandBuffer buffer{};
    RecordingSink sink;
};

TEST_F(ControlUnitWrites, SensorIds)
{
    struct Case {
        const char* id1;
        const char* id2;
        bool sent;
    };
    const std::vector<Case> cases = {
        {"5", "1", false}, {"1", "5", false}, {"255", "6", false}, {"5", "255", false},
        {"300", "6", false},  // beyond one byte: not narrowed to 44
        {"5", "257", false},  // would narrow to 1
        {"99999999999999999999", "6", false},
        {"5", "6", true},     {"", "6", true}, {"7x", "abc", true},
    };
    for (const Case& c : cases) {
        sink.frames.clear();
        const std::string_view status = WriteSensorIds(settings, c.id1, c.id2, buffer, sink);
        EXPECT_EQ(status, c.sent ? "Writing..." : "Wrong value") << c.id1 << "," << c.id2;
        EXPECT_EQ(sink.frames.size(), c.sent ? 1u : 0u) << c.id1 << "," << c.id2;
    }
    WriteSensorIds(settings, "5", "6", buffer, sink);
    EXPECT_EQ(sink.frames.back(), CommandFrame(16, {5, 6}));
    WriteSensorIds(settings, "7x", "abc", buffer, sink);
    EXPECT_EQ(sink.frames.back(), CommandFrame(16, {7, 0}));
}

TEST_F(ControlUnitWrites, RefusedNumbersThatFitStayInSettings)
{
    WriteSensorIds(settings, "5", "1", buffer, sink);
    EXPECT_EQ(settings.sensorId1, 5);
    EXPECT_EQ(settings.sensorId2, 1);
    WriteSensorIds(settings, "300", "9", buffer, sink);
    EXPECT_EQ(settings.sensorId1, 5);  // does not fit: kept
    EXPECT_EQ(settings.sensorId2, 9);
    EXPECT_TRUE(sink.frames.empty());
}

TEST_F(ControlUnitWrites, Rotator1)
{
    settings.sensitivity1 = 12;
    settings.inertia1 = 11;
    settings.inertiaTime1 = 25;
    EXPECT_EQ(WriteRotator1(settings, "359", "", buffer, sink), "Writing...");
    ASSERT_EQ(sink.frames.size(), 1u);
    Bytes payload{12, 11, 25, 103, 1};
    const Bytes text = Ascii("Azimut ");
    payload.insert(payload.end(), text.begin(), text.end());
    payload.push_back(0);
    EXPECT_EQ(sink.frames[0], CommandFrame(17, payload));

    EXPECT_EQ(WriteRotator1(settings, "12", "AB", buffer, sink), "Writing...");
    EXPECT_EQ(Bytes(sink.frames[1].begin() + 10, sink.frames[1].begin() + 18), Ascii(std::string_view("AB     \0", 8)));

    for (const char* refused : {"360", "65535", "70000"}) {
        sink.frames.clear();
        EXPECT_EQ(WriteRotator1(settings, refused, "X", buffer, sink), "Wrong value") << refused;
        EXPECT_TRUE(sink.frames.empty()) << refused;
    }
    EXPECT_EQ(settings.limitSwitch1, 65535);  // fits two bytes: stored though refused
}

TEST_F(ControlUnitWrites, Rotator2ChecksBothBoxesWhateverTheMode)
{
    settings.sensitivity2 = 5;
    settings.inertia2 = 3;
    settings.inertiaTime2 = 40;
    struct Case {
        const char* maxElevation;
        const char* limitSwitch;
        bool elevation;
        bool sent;
    };
    const std::vector<Case> cases = {
        {"0", "100", false, false},    // maximum elevation checked in azimuth mode too
        {"29", "100", true, false},    {"181", "100", true, false},
        {"286", "100", true, false},   // would narrow to 30
        {"90", "360", true, false},    // limit switch checked in elevation mode too
        {"90", "65566", false, false}, // would narrow to 30
        {"30", "0", false, true},      {"180", "359", true, true},
    };
    for (const Case& c : cases) {
        sink.frames.clear();
        settings.mode2 = 0;
        const std::string_view status =
            WriteRotator2(settings, c.maxElevation, c.limitSwitch, "", c.elevation, buffer, sink);
        EXPECT_EQ(status, c.sent ? "Writing..." : "Wrong value") << c.maxElevation << " " << c.limitSwitch;
        EXPECT_EQ(sink.frames.size(), c.sent ? 1u : 0u);
        // The mode is stored only by a Write that sends.
        EXPECT_EQ(settings.mode2, c.sent ? (c.elevation ? 2 : 1) : 0);
    }
    WriteRotator2(settings, "180", "359", "", true, buffer, sink);
    Bytes payload{5, 3, 40, 180, 103, 1, 2};
    const Bytes text = Ascii("Elevace");
    payload.insert(payload.end(), text.begin(), text.end());
    payload.push_back(0);
    EXPECT_EQ(sink.frames.back(), CommandFrame(18, payload));
}

TEST(LcdText, DefaultsPaddingAndModeSwaps)
{
    EXPECT_EQ(LcdTextToSend("", "Azimut"), "Azimut ");
    EXPECT_EQ(LcdTextToSend("", "Elevace"), "Elevace");
    EXPECT_EQ(LcdTextToSend("AB", "Azimut"), "AB     ");
    EXPECT_EQ(LcdTextToSend("ABCDEFGH", "Azimut"), "ABCDEFG");

    EXPECT_EQ(SwapLcdTextForMode("Azimut ", true), "Elevace");
    EXPECT_EQ(SwapLcdTextForMode("Elevace", false), "Azimut ");
    EXPECT_EQ(SwapLcdTextForMode("Azimut", true), "Azimut");    // without the blank: kept
    EXPECT_EQ(SwapLcdTextForMode("Elevace", true), "Elevace");
    EXPECT_EQ(SwapLcdTextForMode("Azimut ", false), "Azimut ");
    EXPECT_EQ(SwapLcdTextForMode("elevace", false), "elevace");

    for (char32_t c : {char32_t{8}, U' ', U'A', U'}', U'0'})
        EXPECT_TRUE(AcceptLcdKey(c)) << static_cast<unsigned>(c);
    for (char32_t c : {char32_t{31}, U'~', char32_t{127}, U'\u00E9', U'\u010D', char32_t{13}})
        EXPECT_FALSE(AcceptLcdKey(c)) << static_cast<unsigned>(c);
}

// ---------------------------------------------------------------- Sensors calibration

TEST(SensorCalibration, WritePositionChecksAndFrames)
{
    struct Case {
        std::uint8_t rotator;
        const char* text;
        int sent;  // position sent, -1 for "Error"
    };
    const std::vector<Case> cases = {
        {1, "359", 359}, {1, "0", 0},      {1, " 12", 12},  {1, "+7", 7},
        {1, "360", -1},  {1, "-1", -1},    {1, "", -1},     {1, "12a", -1},
        {1, "12 ", -1},  {1, "-", -1},     {1, "99999999999", -1},
        {2, "-45", 315}, {2, "-1", 359},   {2, "180", 180}, {2, "0", 0},
        {2, "-46", -1},  {2, "181", -1},   {2, "270", -1},  {2, "x", -1},
    };
    for (const Case& c : cases) {
        CommandBuffer buffer{};
        RecordingSink sink;
        const std::string_view status = WriteSensorPosition(c.rotator, c.text, buffer, sink);
        if (c.sent < 0) {
            EXPECT_EQ(status, "Error") << int(c.rotator) << " '" << c.text << "'";
            EXPECT_TRUE(sink.frames.empty());
            continue;
        }
        EXPECT_EQ(status, "Writing...") << c.text;
        ASSERT_EQ(sink.frames.size(), 1u) << c.text;
        EXPECT_EQ(sink.frames[0],
                  CommandFrame(19, {c.rotator, 3, static_cast<std::uint8_t>(c.sent & 0xFF),
                                    static_cast<std::uint8_t>(c.sent >> 8)}))
            << int(c.rotator) << " '" << c.text << "'";
    }
}

}  // namespace
}  // namespace vantora
