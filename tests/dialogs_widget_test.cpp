// The three settings dialogs as the operator meets them: keys typed into their boxes, buttons
// clicked, frames that reach a recording sink, and what lands in Settings. The rules behind
// them are in dialogs_core_test; the dialogs against the simulated unit in dialogs_program_test.
#include "settings/settings_io.h"
#include "settings/translate.h"
#include "settings/ui/control_unit_dialog.h"
#include "settings/ui/preferences_dialog.h"
#include "settings/ui/sensors_dialog.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/link_test_doubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantora {
namespace {

using test::Bytes;
using test::FakeSettingsStore;
using test::RecordingSink;
using test::StoreEvent;

template <typename T = QWidget>
T* Find(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QString Text(QWidget* window, const char* name)
{
    if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
        return edit->text();
    if (auto* label = window->findChild<QLabel*>(QString::fromLatin1(name)))
        return label->text();
    ADD_FAILURE() << "no text control " << name;
    return {};
}

void SetText(QWidget* window, const char* name, const QString& text)
{
    Find<QLineEdit>(window, name)->setText(text);
}

// Types one key into a box the way the keyboard does.
void Type(QLineEdit* edit, QChar c)
{
    const int key = c == QChar(8) ? static_cast<int>(Qt::Key_Backspace) : c.unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &release);
}

void TypeText(QLineEdit* edit, const QString& text)
{
    for (QChar c : text)
        Type(edit, c);
}

void Click(QWidget* window, const char* name)
{
    Find<QAbstractButton>(window, name)->click();
}

// The code byte of every frame sent.
std::vector<int> Codes(const RecordingSink& sink)
{
    std::vector<int> codes;
    for (const Bytes& frame : sink.frames)
        codes.push_back(frame.size() > 4 ? frame[4] : -1);
    return codes;
}

Bytes Payload(const Bytes& frame)
{
    if (frame.size() < 6)
        return {};
    return Bytes(frame.begin() + 5, frame.end() - 1);
}

struct HookLog {
    int enabled = 0;
    int pollRestarts = 0;
    std::vector<std::string> homesApplied;  // Settings.Lokator at each apply
};

// ---------------------------------------------------------------- Preferences

class FakeFolderPicker : public FolderPicker {
public:
    QString pickFolder(QWidget*, const QString& title, const QString& start) override
    {
        titles.push_back(title);
        starts.push_back(start);
        return answer;
    }
    QString answer;
    std::vector<QString> titles;
    std::vector<QString> starts;
};

class PreferencesTest : public ::testing::Test {
protected:
    PreferencesTest()
    {
        settings.Znacka = "OK1XYZ";
        settings.Lokator = "JN89XX";
        settings.MoonSked = "/opt/moonsked/";
        settings.WSJT = "/opt/wsjt/";
        settings.PresetName[3] = "";
        settings.PresetName[4] = "Moon";
        settings.PresetAzimuth[4] = 123;
        settings.PresetElevation[4] = 45;
        store.values["RegVersion"] = std::string("1.09");
    }

    std::unique_ptr<PreferencesDialog> makeDialog(int language = 0)
    {
        DialogHooks hooks;
        hooks.enableMainWindow = [this] { ++hooks_.enabled; };
        hooks.applyNewHome = [this] { hooks_.homesApplied.push_back(settings.Lokator); };
        hooks.savePreferences = [this](const PreferenceValues& values) {
            ++saves;
            SavePreferences(store, store, settings, values);
        };
        hooks.messages = &store;
        auto dialog = std::make_unique<PreferencesDialog>(
            settings, [language](const std::string& text) { return Translate(language, text); },
            hooks);
        dialog->setFolderPicker(&picker);
        dialog->show();
        return dialog;
    }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> shown;
        for (const StoreEvent& event : store.log)
            if (event.kind == StoreEvent::Kind::Message)
                shown.push_back(event.name);
        return shown;
    }

    Settings settings;
    FakeSettingsStore store;
    FakeFolderPicker picker;
    HookLog hooks_;
    int saves = 0;
};

TEST_F(PreferencesTest, FilledOnceAtCreation)
{
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->objectName(), "TForm2");
    EXPECT_EQ(dialog->size(), QSize(496, 269));
    EXPECT_EQ(Text(dialog.get(), "Edit1"), "OK1XYZ");
    EXPECT_EQ(Text(dialog.get(), "Edit2"), "JN89XX");
    EXPECT_EQ(Text(dialog.get(), "Edit3"), "Parking");
    EXPECT_TRUE(Find<QLineEdit>(dialog.get(), "Edit3")->isReadOnly());
    EXPECT_EQ(Text(dialog.get(), "Edit6"), "Preset 3");  // empty name shows the row default
    EXPECT_EQ(Text(dialog.get(), "Edit7"), "Moon");
    EXPECT_EQ(Text(dialog.get(), "Edit18"), "123");
    EXPECT_EQ(Text(dialog.get(), "Edit27"), "45");
    EXPECT_EQ(Text(dialog.get(), "Edit12"), "/opt/moonsked/");
    EXPECT_EQ(Text(dialog.get(), "Edit13"), "/opt/wsjt/");
    EXPECT_EQ(Find<QTabWidget>(dialog.get(), "PageControl1")->currentIndex(), 0);
    const int limits[][2] = {{1, 12}, {2, 6}, {4, 16}, {11, 16}, {14, 3}, {31, 3}};
    for (const auto& [number, limit] : limits) {
        const std::string name = "Edit" + std::to_string(number);
        EXPECT_EQ(Find<QLineEdit>(dialog.get(), name.c_str())->maxLength(), limit) << name;
    }
}

TEST_F(PreferencesTest, KeyFiltersApplyTheCandidateRule)
{
    auto dialog = makeDialog();
    struct Case {
        const char* box;
        QString start;
        bool selectAll;
        QString typed;
        QString result;
    };
    const QChar bs(8);
    const std::vector<Case> cases = {
        {"Edit15", "", false, "3610", "360"},  // 361 refused, 360 taken: azimuths up to 360
        {"Edit24", "", false, "1810", "180"},  // elevations up to 180
        {"Edit15", "", false, "1a -+.2", "12"},
        {"Edit15", "350", true, "9", "350"},   // candidate 3509
        {"Edit15", "36", true, "1", "36"},     // candidate 361, although the box would read 1
        {"Edit15", "36", true, "0", "0"},      // candidate 360: the selection is replaced
        {"Edit24", "180", false, QString(bs), "18"},
        {"Edit24", "999", false, QString(bs) + bs, "9"},  // backspace whatever the number
    };
    for (const Case& c : cases) {
        QLineEdit* box = Find<QLineEdit>(dialog.get(), c.box);
        box->setText(c.start);
        if (c.selectAll)
            box->selectAll();
        TypeText(box, c.typed);
        EXPECT_EQ(box->text(), c.result) << c.box << " '" << c.start.toStdString() << "' + '"
                                         << c.typed.toStdString() << "'";
    }
}

TEST_F(PreferencesTest, OkStoresUpperCaseLocatorAndEmptyBoxAsZero)
{
    auto dialog = makeDialog();
    SetText(dialog.get(), "Edit2", "jo70fb");
    SetText(dialog.get(), "Edit1", "OK2ABC");
    SetText(dialog.get(), "Edit17", "");  // row 3 azimuth
    SetText(dialog.get(), "Edit6", "");   // row 3 name cleared
    settings.PresetAzimuth[3] = 77;
    Click(dialog.get(), "Button1");

    EXPECT_EQ(settings.Lokator, "JO70FB");
    EXPECT_EQ(settings.Znacka, "OK2ABC");
    EXPECT_EQ(settings.PresetAzimuth[3], 0);
    EXPECT_EQ(settings.PresetName[3], "");
    EXPECT_EQ(settings.PresetAzimuth[4], 123);
    EXPECT_EQ(std::get<std::string>(store.values["Lokator"]), "JO70FB");
    EXPECT_EQ(std::get<std::int32_t>(store.values["preset_a3"]), 0);
    EXPECT_EQ(std::get<std::string>(store.values["preset_3"]), "");
    EXPECT_EQ(hooks_.homesApplied, std::vector<std::string>{"JO70FB"});
    EXPECT_EQ(hooks_.enabled, 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(messages().empty());
}

TEST_F(PreferencesTest, BadLocatorKeepsTheDialogOpenAndChangesNothing)
{
    auto dialog = makeDialog();
    SetText(dialog.get(), "Edit2", "JN8XXX");
    SetText(dialog.get(), "Edit1", "CHANGED");
    Click(dialog.get(), "Button1");
    EXPECT_EQ(messages(), std::vector<std::string>{"Bad locator format"});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Text(dialog.get(), "Edit1"), "CHANGED");
    EXPECT_EQ(settings.Znacka, "OK1XYZ");
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(hooks_.enabled, 0);
    EXPECT_TRUE(hooks_.homesApplied.empty());
}

TEST_F(PreferencesTest, CancelAndCloseStoreNothingAndKeepTheTexts)
{
    auto dialog = makeDialog();
    SetText(dialog.get(), "Edit5", "Sked");
    Find<QTabWidget>(dialog.get(), "PageControl1")->setCurrentIndex(2);
    Click(dialog.get(), "Button2");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(hooks_.enabled, 1);
    EXPECT_EQ(settings.PresetName[2], "Preset 2");

    dialog->show();  // reopened: same texts, same tab
    EXPECT_EQ(Text(dialog.get(), "Edit5"), "Sked");
    EXPECT_EQ(Find<QTabWidget>(dialog.get(), "PageControl1")->currentIndex(), 2);
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(hooks_.enabled, 2);
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(store.log.empty());

    dialog->show();
    Click(dialog.get(), "Button1");  // OK now stores what was typed before Cancel
    EXPECT_EQ(settings.PresetName[2], "Sked");
    EXPECT_EQ(std::get<std::string>(store.values["preset_2"]), "Sked");
}

TEST_F(PreferencesTest, OkWithoutEditsRewritesNoHandEditedValue)
{
    // A store edited by hand: values the boxes cannot show in full.
    settings.Znacka = "OK1ABCDEFGHIJ";               // 13 characters, the box takes 12
    settings.PresetName[5] = "NineteenCharsLongXY";  // 19 characters, the box takes 16
    settings.PresetAzimuth[6] = -5;
    settings.PresetElevation[7] = 1234;
    settings.Language = 7;
    const Settings before = settings;
    auto dialog = makeDialog();
    ASSERT_EQ(Text(dialog.get(), "Edit1"), "OK1ABCDEFGHI");  // what the operator sees
    ASSERT_EQ(Text(dialog.get(), "Edit30"), "123");

    Click(dialog.get(), "Button1");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(store.log.empty()) << store.log.size() << " store events, first " << store.log[0].name;
    EXPECT_EQ(settings.Znacka, before.Znacka);
    EXPECT_EQ(settings.PresetName, before.PresetName);
    EXPECT_EQ(settings.PresetAzimuth, before.PresetAzimuth);
    EXPECT_EQ(settings.PresetElevation, before.PresetElevation);
    EXPECT_EQ(settings.Language, 7);

    // The operator edits one of them: that one is written, the others stay as they were.
    dialog->show();
    SetText(dialog.get(), "Edit30", "12");
    Click(dialog.get(), "Button1");
    EXPECT_EQ(std::get<std::int32_t>(store.values["preset_e7"]), 12);
    EXPECT_EQ(settings.PresetElevation[7], 12);
    EXPECT_EQ(settings.Znacka, before.Znacka);
    EXPECT_EQ(settings.PresetAzimuth[6], -5);
    EXPECT_EQ(store.values.count("Znacka"), 0u);
    EXPECT_EQ(store.values.count("preset_a6"), 0u);

    // Typed back to the text it first showed: an edit like any other.
    dialog->show();
    SetText(dialog.get(), "Edit30", "123");
    Click(dialog.get(), "Button1");
    EXPECT_EQ(settings.PresetElevation[7], 123);
}

TEST_F(PreferencesTest, LanguageChangeShowsTheMessageOnlyWhenStored)
{
    for (bool writable : {true, false}) {
        settings.Language = 0;
        store.log.clear();
        store.writable = writable;
        auto dialog = makeDialog();
        Find<QComboBox>(dialog.get(), "ComboBox1")->setCurrentIndex(1);
        Click(dialog.get(), "Button1");
        const std::vector<std::string> expected =
            writable ? std::vector<std::string>{"Language changed. Please restart application."}
                     : std::vector<std::string>{};
        EXPECT_EQ(messages(), expected) << writable;
        EXPECT_EQ(settings.Language, 1) << writable;  // copied whether or not stored
        // Status texts translated from now on follow the new language.
        EXPECT_EQ(Translate(settings.Language, "Writing..."), "Zapisuji...");
    }
}

TEST_F(PreferencesTest, TypedLanguageThatNamesNoItemSelectsNone)
{
    settings.Language = 1;
    auto dialog = makeDialog();
    auto* combo = Find<QComboBox>(dialog.get(), "ComboBox1");
    EXPECT_EQ(combo->currentText(), "Czech");
    combo->setEditText("Klingon");
    Click(dialog.get(), "Button1");
    EXPECT_EQ(settings.Language, -1);
}

TEST_F(PreferencesTest, FolderPickerAppendsTheSeparator)
{
    auto dialog = makeDialog();
    const QString sep = QDir::separator();
    picker.answer = "/data/sked";
    Click(dialog.get(), "SpeedButton1");
    EXPECT_EQ(Text(dialog.get(), "Edit12"), "/data/sked" + sep);
    ASSERT_EQ(picker.titles.size(), 1u);
    EXPECT_EQ(picker.titles[0], "Select a directory");
    EXPECT_EQ(picker.starts[0], "/opt/moonsked/");

    picker.answer = sep;  // a root already ends with the separator
    Click(dialog.get(), "SpeedButton2");
    EXPECT_EQ(Text(dialog.get(), "Edit13"), sep);

    picker.answer.clear();  // cancelled
    Click(dialog.get(), "SpeedButton2");
    EXPECT_EQ(Text(dialog.get(), "Edit13"), sep);
    EXPECT_EQ(settings.MoonSked, "/opt/moonsked/");  // only OK copies
}

// ---------------------------------------------------------------- Control unit settings

class ControlUnitTest : public ::testing::Test {
protected:
    ControlUnitTest()
    {
        UnitSettings& s = state.settings;
        s.sensorId1 = 5;
        s.sensorId2 = 6;
        s.sensitivity1 = 12;
        s.inertia1 = 11;
        s.inertiaTime1 = 25;
        s.limitSwitch1 = 200;
        s.sensitivity2 = 30;
        s.inertia2 = 29;
        s.inertiaTime2 = 0;
        s.maxElevation2 = 0;
        s.limitSwitch2 = 100;
        s.mode2 = 1;
        s.lcdText1 = "Azimut ";
        s.lcdText2 = "Azimut ";
        s.display20 = 0;
    }

    std::unique_ptr<ControlUnitDialog> makeDialog()
    {
        DialogHooks hooks;
        hooks.enableMainWindow = [this] { ++log.enabled; };
        hooks.restartPoll = [this] { ++log.pollRestarts; };
        auto dialog = std::make_unique<ControlUnitDialog>(
            state, buffer, sink,
            [this](const std::string& text) { return Translate(language, text); }, hooks);
        return dialog;
    }

    // Opened and the report arrived.
    std::unique_ptr<ControlUnitDialog> makeReadyDialog()
    {
        auto dialog = makeDialog();
        dialog->show();
        dialog->FormActivate();
        dialog->Zobrazit();
        dialog->Povolit();
        sink.frames.clear();
        return dialog;
    }

    RotatorState state;
    CommandBuffer buffer{};
    RecordingSink sink;
    int language = 0;
    HookLog log;
};

TEST_F(ControlUnitTest, ActivationRequestsTheReportUntilItArrives)
{
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->objectName(), "TForm3");
    EXPECT_EQ(dialog->size(), QSize(318, 643));
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Ready");
    for (const char* write : {"Button1", "Button2", "Button3", "Button6"})
        EXPECT_FALSE(Find<QPushButton>(dialog.get(), write)->isEnabled()) << write;
    for (const char* measure : {"Button4", "Button5"})
        EXPECT_TRUE(Find<QPushButton>(dialog.get(), measure)->isHidden()) << measure;

    dialog->show();
    dialog->FormActivate();
    auto* timer = Find<QTimer>(dialog.get(), "Timer1");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 200);
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Status reading...");
    dialog->Timer1Timer();
    EXPECT_EQ(Codes(sink), (std::vector<int>{15, 15}));
    Click(dialog.get(), "Button1");  // still disabled: nothing is written
    EXPECT_EQ(sink.frames.size(), 2u);

    dialog->Zobrazit();
    dialog->Povolit();
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Ready");
    for (const char* write : {"Button1", "Button2", "Button3", "Button6"})
        EXPECT_TRUE(Find<QPushButton>(dialog.get(), write)->isEnabled()) << write;

    dialog->close();
    dialog->show();
    dialog->FormActivate();  // Write buttons stay enabled from the first report on
    EXPECT_TRUE(Find<QPushButton>(dialog.get(), "Button1")->isEnabled());
}

TEST_F(ControlUnitTest, ZobrazitShowsEveryField)
{
    auto dialog = makeReadyDialog();
    const std::vector<std::pair<const char*, QString>> shown = {
        {"Edit1", "5"},   {"Edit2", "6"},    {"Edit3", "12"},  {"Edit4", "11"},
        {"Edit5", "2.5"}, {"Edit6", "200"},  {"Edit7", "30"},  {"Edit8", "29"},
        {"Edit9", "0.0"}, {"Edit10", "100"}, {"Edit11", "0"},  {"Edit12", "Azimut "},
        {"Edit13", "Azimut "},
    };
    for (const auto& [box, text] : shown)
        EXPECT_EQ(Text(dialog.get(), box), text) << box;
    EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "RadioButton1")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "RadioButton3")->isChecked());
    EXPECT_FALSE(Find<QLineEdit>(dialog.get(), "Edit11")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(dialog.get(), "Edit10")->isEnabled());

    // A report in elevation mode: the boxes follow the mode; the report's texts win.
    state.settings.mode2 = 2;
    state.settings.lcdText2 = "Azimut ";
    state.settings.display20 = 3;
    dialog->Zobrazit();
    EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "RadioButton2")->isChecked());
    EXPECT_TRUE(Find<QLineEdit>(dialog.get(), "Edit11")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(dialog.get(), "Edit10")->isEnabled());
    EXPECT_EQ(Text(dialog.get(), "Edit13"), "Azimut ");
    EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "RadioButton4")->isChecked());
}

TEST_F(ControlUnitTest, SpinButtonChainsAndRedisplay)
{
    auto dialog = makeReadyDialog();
    SetText(dialog.get(), "Edit6", "123");  // typed, not written

    Click(dialog.get(), "SpinButton1Down");  // sensitivity 12 at inertia 11: nothing
    EXPECT_EQ(Text(dialog.get(), "Edit3"), "12");
    EXPECT_EQ(Text(dialog.get(), "Edit6"), "200");  // the click redisplayed UnitSettings

    Click(dialog.get(), "SpinButton2Up");  // inertia 12 pushes sensitivity to 13
    EXPECT_EQ(Text(dialog.get(), "Edit4"), "12");
    EXPECT_EQ(Text(dialog.get(), "Edit3"), "13");

    Click(dialog.get(), "SpinButton5Up");  // rotator 2: inertia 29 -> 30, sensitivity 31
    EXPECT_EQ(Text(dialog.get(), "Edit8"), "30");
    EXPECT_EQ(Text(dialog.get(), "Edit7"), "31");
    Click(dialog.get(), "SpinButton4Up");  // sensitivity up stops at 30: 31 stays
    EXPECT_EQ(Text(dialog.get(), "Edit7"), "31");

    Click(dialog.get(), "SpinButton6Up");  // time 0 -> 0.1 s
    EXPECT_EQ(Text(dialog.get(), "Edit9"), "0.1");
    state.settings.inertiaTime1 = 10;
    Click(dialog.get(), "SpinButton3Down");
    EXPECT_EQ(Text(dialog.get(), "Edit5"), "1.0");
    state.settings.inertiaTime1 = 100;
    Click(dialog.get(), "SpinButton3Up");
    EXPECT_EQ(Text(dialog.get(), "Edit5"), "10.0");
    EXPECT_TRUE(sink.frames.empty());  // spin buttons send nothing
}

struct WriteCase {
    const char* name;
    std::vector<std::pair<const char*, QString>> boxes;
    const char* button;
    const char* status;
    Bytes payload;  // empty: nothing sent
};

TEST_F(ControlUnitTest, WritesCheckAndSend)
{
    // Which values are refused: dialogs_core_test. Here: each box reaches its Write.
    const std::vector<WriteCase> cases = {
        {"IDs 5,6", {{"Edit1", "5"}, {"Edit2", "6"}}, "Button1", "Writing...", {5, 6}},
        {"ID 300", {{"Edit1", "300"}, {"Edit2", "6"}}, "Button1", "Wrong value", {}},
        {"limit 359 AB", {{"Edit6", "359"}, {"Edit12", "AB"}}, "Button2", "Writing...",
         {12, 11, 25, 103, 1, 'A', 'B', ' ', ' ', ' ', ' ', ' ', 0}},
        {"limit 360", {{"Edit6", "360"}}, "Button2", "Wrong value", {}},
        {"max elevation 286", {{"Edit11", "286"}}, "Button3", "Wrong value", {}},
    };
    for (const WriteCase& c : cases) {
        auto dialog = makeReadyDialog();
        for (const auto& [box, text] : c.boxes)
            SetText(dialog.get(), box, text);
        Click(dialog.get(), c.button);
        EXPECT_EQ(Text(dialog.get(), "StatusLabel"), c.status) << c.name;
        if (c.payload.empty()) {
            EXPECT_TRUE(sink.frames.empty()) << c.name;
        } else {
            ASSERT_EQ(sink.frames.size(), 1u) << c.name;
            EXPECT_EQ(Payload(sink.frames[0]), c.payload) << c.name;
        }
    }
}

TEST_F(ControlUnitTest, Rotator2ModeButtonsEnableBoxesAndSwapTexts)
{
    auto dialog = makeReadyDialog();
    Click(dialog.get(), "Button3");  // reported maximum elevation 0, box disabled
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Wrong value");
    EXPECT_TRUE(sink.frames.empty());

    Click(dialog.get(), "RadioButton2");  // Elevation
    EXPECT_TRUE(Find<QLineEdit>(dialog.get(), "Edit11")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(dialog.get(), "Edit10")->isEnabled());
    EXPECT_EQ(Text(dialog.get(), "Edit13"), "Elevace");
    EXPECT_EQ(state.settings.mode2, 1);  // only a Write changes the mode
    SetText(dialog.get(), "Edit11", "45");
    Click(dialog.get(), "RadioButton1");  // Azimuth again
    EXPECT_EQ(Text(dialog.get(), "Edit13"), "Azimut ");
    Click(dialog.get(), "Button3");
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Writing...");
    ASSERT_EQ(sink.frames.size(), 1u);
    const Bytes payload = Payload(sink.frames[0]);
    EXPECT_EQ(payload[3], 45);  // maximum elevation
    EXPECT_EQ(payload[6], 1);   // azimuth mode
    EXPECT_EQ(Bytes(payload.begin() + 7, payload.begin() + 14),
              (Bytes{'A', 'z', 'i', 'm', 'u', 't', ' '}));

    SetText(dialog.get(), "Edit13", "Azimut");  // without the blank: left alone
    Click(dialog.get(), "RadioButton2");
    EXPECT_EQ(Text(dialog.get(), "Edit13"), "Azimut");
    SetText(dialog.get(), "Edit13", "");
    Click(dialog.get(), "Button3");  // empty text sends "Elevace", mode 2
    const Bytes elevation = Payload(sink.frames.back());
    EXPECT_EQ(elevation[6], 2);
    EXPECT_EQ(Bytes(elevation.begin() + 7, elevation.begin() + 14),
              (Bytes{'E', 'l', 'e', 'v', 'a', 'c', 'e'}));
}

TEST_F(ControlUnitTest, DisplayButtonsAndWrite)
{
    auto dialog = makeReadyDialog();
    Click(dialog.get(), "RadioButton4");
    EXPECT_EQ(state.settings.display20, 1);
    Click(dialog.get(), "Button6");
    Click(dialog.get(), "RadioButton3");
    EXPECT_EQ(state.settings.display20, 0);
    Click(dialog.get(), "Button6");
    ASSERT_EQ(sink.frames.size(), 2u);
    EXPECT_EQ(Payload(sink.frames[0]), Bytes{1});
    EXPECT_EQ(Payload(sink.frames[1]), Bytes{0});
    EXPECT_EQ(Codes(sink), (std::vector<int>{20, 20}));
}

TEST_F(ControlUnitTest, LcdBoxesTakePrintableAsciiOnly)
{
    auto dialog = makeReadyDialog();
    QLineEdit* box = Find<QLineEdit>(dialog.get(), "Edit12");
    box->clear();
    TypeText(box, QString::fromUtf8("A~b é}\u010Dxyz12"));
    EXPECT_EQ(box->text(), "Ab }xyz");  // seven at most
    Type(box, QChar(8));
    EXPECT_EQ(box->text(), "Ab }xy");
    EXPECT_EQ(box->maxLength(), 7);
}

TEST_F(ControlUnitTest, CloseRestartsThePollUnlessFirmwareTooOld)
{
    for (bool tooOld : {false, true}) {
        log = {};
        state.firmwareTooOld = tooOld;
        auto dialog = makeDialog();
        dialog->show();
        dialog->FormActivate();
        dialog->close();
        EXPECT_FALSE(Find<QTimer>(dialog.get(), "Timer1")->isActive());
        EXPECT_EQ(log.enabled, 1);
        EXPECT_EQ(log.pollRestarts, tooOld ? 0 : 1);
    }
}

TEST_F(ControlUnitTest, StatusTextsFollowTheLanguageAlsoWhileHidden)
{
    auto dialog = makeDialog();
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Ready");
    language = 1;  // changed by Preferences after the dialog was created
    dialog->setStatus("Sucessfully writed");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), QString::fromUtf8("Zápis byl úspěšný"));
    dialog->show();
    dialog->FormActivate();
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), QString::fromUtf8("Načítám stav..."));
}

TEST_F(ControlUnitTest, ActivatingTheWindowSendsTheRequest)
{
    auto dialog = makeDialog();
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(test::WaitFor([&] { return !sink.frames.empty(); }));
    EXPECT_EQ(Codes(sink).front(), 15);
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Status reading...");
}

// ---------------------------------------------------------------- Sensors calibration

class SensorsTest : public ::testing::Test {
protected:
    std::unique_ptr<SensorsDialog> makeDialog()
    {
        DialogHooks hooks;
        hooks.enableMainWindow = [this] { ++log.enabled; };
        hooks.restartPoll = [this] { ++log.pollRestarts; };
        return std::make_unique<SensorsDialog>(
            state, buffer, sink,
            [this](const std::string& text) { return Translate(language, text); }, hooks);
    }

    std::vector<bool> enabledButtons(QWidget* dialog)
    {
        std::vector<bool> enabled;
        for (int i = 1; i <= 6; ++i) {
            const std::string name = "Button" + std::to_string(i);
            enabled.push_back(Find<QPushButton>(dialog, name.c_str())->isEnabled());
        }
        return enabled;
    }

    RotatorState state;
    CommandBuffer buffer{};
    RecordingSink sink;
    int language = 0;
    HookLog log;
};

// Each activation disables the buttons and asks every 200 ms until a report comes; the report
// enables the buttons of the sensors present (ID above 1).
TEST_F(SensorsTest, ActivationWaitsForAReportThatEnablesThePresentSensors)
{
    struct Case {
        int id1, id2;
        std::vector<bool> enabled;  // Button1 .. Button6
    };
    const std::vector<Case> cases = {
        {5, 0, {true, true, true, false, false, false}},
        {1, 1, {false, false, false, false, false, false}},
        {0, 2, {false, false, false, true, true, true}},
    };
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->size(), QSize(225, 317));
    dialog->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id1) + "," + std::to_string(c.id2));
        sink.frames.clear();
        dialog->FormActivate();
        EXPECT_EQ(enabledButtons(dialog.get()), std::vector<bool>(6, false));
        EXPECT_TRUE(Find<QTimer>(dialog.get(), "Timer1")->isActive());
        dialog->Timer1Timer();
        EXPECT_EQ(Codes(sink), (std::vector<int>{15, 15}));
        EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Status reading...");

        state.settings.sensorId1 = static_cast<std::uint8_t>(c.id1);
        state.settings.sensorId2 = static_cast<std::uint8_t>(c.id2);
        dialog->Povolit();
        EXPECT_EQ(enabledButtons(dialog.get()), c.enabled);
        EXPECT_FALSE(Find<QTimer>(dialog.get(), "Timer1")->isActive());
        EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Ready");
    }
    dialog->FormActivate();
    dialog->close();
    EXPECT_FALSE(Find<QTimer>(dialog.get(), "Timer1")->isActive());
    EXPECT_EQ(log.enabled, 1);
    EXPECT_EQ(log.pollRestarts, 0);  // only the Control unit dialog restarts the poll
}

TEST_F(SensorsTest, ButtonsSendCommand19)
{
    state.settings.sensorId1 = 5;
    state.settings.sensorId2 = 6;
    auto dialog = makeDialog();
    dialog->show();
    dialog->FormActivate();
    dialog->Povolit();
    sink.frames.clear();

    struct Case {
        const char* box;
        QString text;
        const char* button;
        const char* status;
        Bytes payload;
    };
    const std::vector<Case> cases = {
        {nullptr, {}, "Button1", "Writing...", {1, 1}},
        {nullptr, {}, "Button3", "Writing...", {1, 2}},
        {nullptr, {}, "Button4", "Writing...", {2, 1}},
        {nullptr, {}, "Button5", "Writing...", {2, 2}},
        {"Edit1", "359", "Button2", "Writing...", {1, 3, 103, 1}},
        {"Edit1", "360", "Button2", "Error", {}},
        {"Edit2", "-45", "Button6", "Writing...", {2, 3, 59, 1}},
        {"Edit2", "-46", "Button6", "Error", {}},
    };
    for (const Case& c : cases) {
        sink.frames.clear();
        if (c.box)
            SetText(dialog.get(), c.box, c.text);
        Click(dialog.get(), c.button);
        EXPECT_EQ(Text(dialog.get(), "StatusLabel"), c.status) << c.button << " " << c.text.toStdString();
        if (c.payload.empty()) {
            EXPECT_TRUE(sink.frames.empty()) << c.text.toStdString();
            if (c.box) {
                EXPECT_EQ(Text(dialog.get(), c.box), c.text);  // the box keeps its text
            }
        } else {
            ASSERT_EQ(sink.frames.size(), 1u) << c.button;
            EXPECT_EQ(sink.frames[0][4], 19);
            EXPECT_EQ(Payload(sink.frames[0]), c.payload) << c.button << " " << c.text.toStdString();
        }
    }
}

TEST_F(SensorsTest, CaptionsTranslatedButFirstStatusStaysEnglish)
{
    language = 1;
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->objectName(), "TForm4");
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Kalibrace čidel"));
    EXPECT_EQ(Find<QPushButton>(dialog.get(), "Button1")->text(),
              QString::fromUtf8("Vynulování pozice čidla"));
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), "Ready");
    dialog->setStatus("Sucessfully changed");
    EXPECT_EQ(Text(dialog.get(), "StatusLabel"), QString::fromUtf8("Změna byla úspěšná"));
}

// ---------------------------------------------------------------- Layout

// Every caption gets at least the room it asks for, so no text is cut at the fixed sizes.
void ExpectNothingCut(QWidget* dialog, const std::string& which)
{
    dialog->show();
    QApplication::processEvents();
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(dialog) || label->text().isEmpty())
            continue;
        EXPECT_GE(label->width(), label->sizeHint().width())
            << which << " " << label->objectName().toStdString() << " '"
            << label->text().toStdString() << "'";
    }
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(dialog) || button->text().isEmpty())
            continue;
        EXPECT_GE(button->width(), button->sizeHint().width())
            << which << " " << button->objectName().toStdString() << " '"
            << button->text().toStdString() << "'";
        EXPECT_GE(button->height(), button->minimumSizeHint().height())
            << which << " " << button->objectName().toStdString();
    }
    for (QGroupBox* box : dialog->findChildren<QGroupBox*>()) {
        if (!box->isVisibleTo(dialog))
            continue;
        EXPECT_GE(box->width(), box->minimumSizeHint().width())
            << which << " " << box->objectName().toStdString();
        EXPECT_GE(box->height(), box->minimumSizeHint().height())
            << which << " " << box->objectName().toStdString();
    }
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
        // A combo box sizes its own edit.
        if (!edit->isVisibleTo(dialog) || qobject_cast<QComboBox*>(edit->parentWidget()))
            continue;
        EXPECT_GE(edit->height(), edit->minimumSizeHint().height())
            << which << " " << edit->objectName().toStdString();
    }
}

TEST(DialogLayout, NoTextIsCutInEitherLanguage)
{
    for (int language : {0, 1}) {
        const TranslateFn translate = [language](const std::string& text) {
            return Translate(language, text);
        };
        const std::string suffix = language == 1 ? " (Czech)" : " (English)";
        Settings settings;
        RotatorState state;
        CommandBuffer buffer{};
        RecordingSink sink;
        PreferencesDialog preferences(settings, translate, {});
        auto* tabs = preferences.findChild<QTabWidget*>("PageControl1");
        for (int tab = 0; tab < 3; ++tab) {
            tabs->setCurrentIndex(tab);
            ExpectNothingCut(&preferences, "TForm2 tab " + std::to_string(tab) + suffix);
        }
        ControlUnitDialog unit(state, buffer, sink, translate, {});
        ExpectNothingCut(&unit, "TForm3" + suffix);
        SensorsDialog sensors(state, buffer, sink, translate, {});
        ExpectNothingCut(&sensors, "TForm4" + suffix);
    }
}

}  // namespace
}  // namespace vantora
