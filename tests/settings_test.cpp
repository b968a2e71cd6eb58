// Settings rules over a recording store (version check, reset, reads with defaults, the two
// saves), the default folders, and the INI file store: round trip, atomic replacement,
// unwritable locations.
#include "settings/ini_text.h"
#include "settings/settings_io.h"
#include "settings/ui/qt_settings_store.h"
#include "support/fake_settings_store.h"
#include "support/settings_file.h"

#include <QDirIterator>
#include <QSettings>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantora {
namespace {

using test::FakeSettingsStore;
using test::kFolders;
using test::StoreEvent;
using test::Unchanged;
using Kind = StoreEvent::Kind;

StoreEvent Int(const std::string& name, int value)
{
    return {Kind::WriteInt, name, std::to_string(value)};
}
StoreEvent Str(const std::string& name, const std::string& value)
{
    return {Kind::WriteString, name, value};
}

// Every value of the table, in the order the reset writes it.
std::vector<StoreEvent> ResetWrites()
{
    std::vector<StoreEvent> writes = {Int("Port", 1),     Int("Zoom", 10),    Int("Language", 0),
                                      Int("View", 0),     Int("SizeX", 999),  Int("SizeY", 624),
                                      Int("SizeM", 0)};
    for (int i = 1; i <= 8; ++i) {
        writes.push_back(Str("preset_" + std::to_string(i), "Preset " + std::to_string(i)));
    }
    for (int i = 0; i <= 8; ++i) {
        writes.push_back(Int("preset_a" + std::to_string(i), 0));
    }
    for (int i = 0; i <= 8; ++i) {
        writes.push_back(Int("preset_e" + std::to_string(i), 0));
    }
    writes.push_back(Str("Lokator", "JN89XX"));
    writes.push_back(Str("MoonSked", kFolders.MoonSked));
    writes.push_back(Str("WSJT", kFolders.WSJT));
    writes.push_back(Str("RegVersion", "1.09"));
    return writes;
}

void ExpectDefaults(const Settings& s)
{
    EXPECT_EQ(s.Port, 1);
    EXPECT_EQ(s.Zoom, 10);
    EXPECT_EQ(s.Language, 0);
    EXPECT_EQ(s.View, 0);
    EXPECT_EQ(s.SizeX, 999);
    EXPECT_EQ(s.SizeY, 624);
    EXPECT_EQ(s.SizeM, 0);
    EXPECT_EQ(s.Lokator, "JN89XX");
    EXPECT_EQ(s.MoonSked, kFolders.MoonSked);
    EXPECT_EQ(s.WSJT, kFolders.WSJT);
    EXPECT_EQ(s.PresetName[0], "");
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(s.PresetName[i], "Preset " + std::to_string(i));
    }
    for (int i = 0; i <= 8; ++i) {
        EXPECT_EQ(s.PresetAzimuth[i], 0) << i;
        EXPECT_EQ(s.PresetElevation[i], 0) << i;
    }
}

// A store as this version leaves it, with values other than the defaults.
FakeSettingsStore CurrentStore()
{
    FakeSettingsStore store;
    store.values = {{"RegVersion", "1.09"}, {"Port", 3},         {"Zoom", 4},
                    {"Language", 1},        {"View", 2},         {"SizeX", 800},
                    {"SizeY", 500},         {"SizeM", 1},        {"Znacka", "OK1XYZ"},
                    {"Lokator", "JO60AA"},  {"MoonSked", "/m/"}, {"WSJT", "/w/"}};
    for (int i = 1; i <= 8; ++i) {
        store.values["preset_" + std::to_string(i)] = "Směr " + std::to_string(i);
    }
    for (int i = 0; i <= 8; ++i) {
        store.values["preset_a" + std::to_string(i)] = 10 * i + 5;
        store.values["preset_e" + std::to_string(i)] = i;
    }
    return store;
}

// A first start (no store) or another version's store: the message first, then every default
// with the version last; only the callsign and values we do not know survive.
TEST(LoadSettings, FirstStartOrOtherVersionResetsEverythingButTheCallsign)
{
    const std::optional<FakeSettingsStore::Value> versions[] = {
        std::nullopt,       std::string("1.08"), std::string("1.09 "),
        std::string(" 1.09"), std::string(""),   std::int32_t{109}};
    for (const auto& version : versions) {
        FakeSettingsStore store;
        if (version) {
            store = CurrentStore();
            store.values["RegVersion"] = *version;
            store.values["Unknown"] = "left alone";
        }
        const Settings settings = LoadSettings(store, store, kFolders);

        SCOPED_TRACE(!version ? "first start"
                     : std::holds_alternative<std::string>(*version)
                         ? '"' + std::get<std::string>(*version) + '"'
                         : "integer");
        ASSERT_FALSE(store.log.empty());
        EXPECT_EQ(store.log.front(), (StoreEvent{Kind::Message, std::string(kUpdateMessage), {}}));
        EXPECT_EQ(store.Messages().size(), 1u);
        EXPECT_EQ(store.Writes(), ResetWrites());
        ExpectDefaults(settings);
        EXPECT_EQ(settings.Znacka, version ? "OK1XYZ" : "");
        EXPECT_EQ(store.ReadString("Unknown"), version ? std::optional<std::string>("left alone") : std::nullopt);
        EXPECT_EQ(store.ReadString("RegVersion"), "1.09");
        EXPECT_EQ(store.opens, 1);
        EXPECT_EQ(store.closes, 1);
    }
}

TEST(LoadSettings, CurrentVersionReadsEveryValueAndWritesNothing)
{
    FakeSettingsStore store = CurrentStore();
    const Settings s = LoadSettings(store, store, kFolders);

    EXPECT_TRUE(store.log.empty());
    EXPECT_EQ(s.Port, 3);
    EXPECT_EQ(s.Zoom, 4);
    EXPECT_EQ(s.Language, 1);
    EXPECT_EQ(s.View, 2);
    EXPECT_EQ(s.SizeX, 800);
    EXPECT_EQ(s.SizeY, 500);
    EXPECT_EQ(s.SizeM, 1);
    EXPECT_EQ(s.Znacka, "OK1XYZ");
    EXPECT_EQ(s.Lokator, "JO60AA");
    EXPECT_EQ(s.MoonSked, "/m/");
    EXPECT_EQ(s.WSJT, "/w/");
    EXPECT_EQ(s.PresetName[0], "");
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(s.PresetName[i], "Směr " + std::to_string(i));
    }
    for (int i = 0; i <= 8; ++i) {
        EXPECT_EQ(s.PresetAzimuth[i], 10 * i + 5);
        EXPECT_EQ(s.PresetElevation[i], i);
    }
}

TEST(LoadSettings, MissingOrMistypedValueReadsAsItsDefaultAndLongNamesAreCut)
{
    struct Case {
        const char* name;
        std::optional<FakeSettingsStore::Value> stored;  // nullopt: removed
        std::function<std::string(const Settings&)> field;
        std::string expected;
    };
    const auto num = [](auto member) {
        return [member](const Settings& s) { return std::to_string(s.*member); };
    };
    const Case cases[] = {
        {"Port", std::nullopt, num(&Settings::Port), "1"},
        {"Port", std::string("3"), num(&Settings::Port), "1"},
        {"Zoom", std::string("ten"), num(&Settings::Zoom), "10"},
        {"Language", std::nullopt, num(&Settings::Language), "0"},
        {"View", std::string(""), num(&Settings::View), "0"},
        {"SizeX", std::nullopt, num(&Settings::SizeX), "999"},
        {"SizeY", std::string("x"), num(&Settings::SizeY), "624"},
        {"SizeM", std::nullopt, num(&Settings::SizeM), "0"},
        {"Znacka", std::nullopt, [](const Settings& s) { return s.Znacka; }, ""},
        {"Znacka", std::int32_t{7}, [](const Settings& s) { return s.Znacka; }, ""},
        {"Lokator", std::nullopt, [](const Settings& s) { return s.Lokator; }, "JN89XX"},
        {"Lokator", std::int32_t{5}, [](const Settings& s) { return s.Lokator; }, "JN89XX"},
        {"MoonSked", std::nullopt, [](const Settings& s) { return s.MoonSked; }, kFolders.MoonSked},
        {"WSJT", std::int32_t{1}, [](const Settings& s) { return s.WSJT; }, kFolders.WSJT},
        {"preset_2", std::nullopt, [](const Settings& s) { return s.PresetName[2]; }, "Preset 2"},
        {"preset_8", std::int32_t{8}, [](const Settings& s) { return s.PresetName[8]; }, "Preset 8"},
        {"preset_a0", std::string("90"), [](const Settings& s) { return std::to_string(s.PresetAzimuth[0]); }, "0"},
        {"preset_e8", std::nullopt, [](const Settings& s) { return std::to_string(s.PresetElevation[8]); }, "0"},
        // 30 characters: a name is cut to its first 20 characters (see CutPresetName).
        {"preset_1", std::string("Anténa směr Ostrava přes kopec"), [](const Settings& s) { return s.PresetName[1]; },
         "Anténa směr Ostrava "},
    };
    for (const Case& c : cases) {
        FakeSettingsStore store = CurrentStore();
        if (c.stored) {
            store.values[c.name] = *c.stored;
        } else {
            store.values.erase(c.name);
        }
        const Settings settings = LoadSettings(store, store, kFolders);
        EXPECT_EQ(c.field(settings), c.expected) << c.name;
        EXPECT_TRUE(store.log.empty()) << c.name;
        // The other values are still those of the store.
        EXPECT_TRUE(settings.SizeY == 500 || std::string(c.name) == "SizeY") << c.name;
    }
}

TEST(CutPresetName, CountsCharactersNotBytes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"Preset 1", "Preset 1"},
        {"12345678901234567890", "12345678901234567890"},
        {"123456789012345678901", "12345678901234567890"},
        {"ŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘ", "ŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘ"},
        {"aaaaaaaaaaaaaaaaaaa€x", "aaaaaaaaaaaaaaaaaaa€"},
        {"aaaaaaaaaaaaaaaaaaaa€", "aaaaaaaaaaaaaaaaaaaa"},
    };
    for (const auto& [name, cut] : cases) {
        EXPECT_EQ(CutPresetName(name), cut) << name;
    }
}

TEST(LoadSettings, UnwritableStoreRunsOnDefaultsAndReportsNothing)
{
    FakeSettingsStore outdated = CurrentStore();
    outdated.values["RegVersion"] = "1.08";
    const struct {
        const char* name;
        FakeSettingsStore store;
        bool defaults;  // else the stored values
        std::string callsign;
    } cases[] = {
        {"first start", FakeSettingsStore{}, true, ""},
        {"outdated: what the reset would give, callsign kept", outdated, true, "OK1XYZ"},
        {"current", CurrentStore(), false, "OK1XYZ"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.name);
        c.store.writable = false;
        const Settings s = LoadSettings(c.store, c.store, kFolders);
        EXPECT_TRUE(c.store.log.empty());
        EXPECT_EQ(s.Znacka, c.callsign);
        if (c.defaults) {
            ExpectDefaults(s);
        } else {
            EXPECT_EQ(s.Port, 3);
            EXPECT_EQ(s.PresetName[4], "Směr 4");
        }
    }
}

TEST(SaveWindowState, WritesPortZoomViewAndTheWindowSize)
{
    FakeSettingsStore store;
    Settings settings;
    settings.Port = 7;
    settings.Zoom = 11;
    settings.View = 1;
    settings.Language = 1;
    SaveWindowState(store, settings, {1280, 977, true});
    EXPECT_EQ(store.Writes(), (std::vector<StoreEvent>{Int("Port", 7), Int("Zoom", 11),
                                                       Int("View", 1), Int("SizeX", 1280),
                                                       Int("SizeY", 977), Int("SizeM", 1)}));
    EXPECT_EQ(store.closes, 1);

    FakeSettingsStore unwritable;
    unwritable.writable = false;
    SaveWindowState(unwritable, settings, {640, 480, false});
    EXPECT_TRUE(unwritable.log.empty());
}

TEST(SaveWindowState, PortZeroIsReadAsZeroAndStoredAsOneAtTheNextClose)
{
    FakeSettingsStore store = CurrentStore();
    store.values["Port"] = 0;
    Settings settings = LoadSettings(store, store, kFolders);
    EXPECT_EQ(settings.Port, 0);

    ApplyStartupRules(settings);
    SaveWindowState(store, settings, {999, 624, false});
    EXPECT_EQ(store.ReadInt("Port"), 1);

    Settings other = settings;
    other.Port = 5;
    ApplyStartupRules(other);
    EXPECT_EQ(other.Port, 5);
}

Settings Loaded()
{
    FakeSettingsStore store = CurrentStore();
    store.values["Language"] = 0;
    return LoadSettings(store, store, kFolders);
}

TEST(SavePreferences, NoChangeWritesNothingAndShowsNothing)
{
    const Settings current = Loaded();
    FakeSettingsStore store;
    SavePreferences(store, store, current, Unchanged(current));
    EXPECT_TRUE(store.log.empty());
    EXPECT_EQ(store.opens, 1);
    EXPECT_EQ(store.closes, 1);

    PreferenceValues caseOnly = Unchanged(current);
    caseOnly.Lokator = "jo60Aa";
    SavePreferences(store, store, current, caseOnly);
    EXPECT_TRUE(store.log.empty());
}

TEST(SavePreferences, EachChangedValueIsWrittenAlone)
{
    const Settings current = Loaded();
    struct Case {
        std::function<void(PreferenceValues&)> change;
        std::vector<StoreEvent> expected;
    };
    const Case cases[] = {
        {[](PreferenceValues& v) { v.Znacka = "OK2ABC"; }, {Str("Znacka", "OK2ABC")}},
        {[](PreferenceValues& v) { v.Znacka = "ok1xyz"; }, {Str("Znacka", "ok1xyz")}},
        {[](PreferenceValues& v) { v.Lokator = "jn79aa"; }, {Str("Lokator", "JN79AA")}},
        {[](PreferenceValues& v) { v.MoonSked = "/m2/"; }, {Str("MoonSked", "/m2/")}},
        {[](PreferenceValues& v) { v.WSJT = "/w2/"; }, {Str("WSJT", "/w2/")}},
        {[](PreferenceValues& v) { v.PresetName[5] = "Jih"; }, {Str("preset_5", "Jih")}},
        {[](PreferenceValues& v) { v.PresetAzimuth[0] = 180; }, {Int("preset_a0", 180)}},
        {[](PreferenceValues& v) { v.PresetElevation[8] = -3; }, {Int("preset_e8", -3)}},
    };
    for (const Case& c : cases) {
        PreferenceValues values = Unchanged(current);
        c.change(values);
        FakeSettingsStore store;
        SavePreferences(store, store, current, values);
        EXPECT_EQ(store.log, c.expected) << c.expected.front().name;
    }
}

TEST(SavePreferences, LanguageChangeIsWrittenAndAnnouncedOnlyWhenTheStoreOpens)
{
    const Settings current = Loaded();
    for (const int language : {1, -1, 2}) {
        PreferenceValues values = Unchanged(current);
        values.Language = language;

        FakeSettingsStore store;
        SavePreferences(store, store, current, values);
        EXPECT_EQ(store.log, (std::vector<StoreEvent>{
                                 Int("Language", language),
                                 {Kind::Message, std::string(kLanguageChangedMessage), {}}}));

        FakeSettingsStore unwritable;
        unwritable.writable = false;
        SavePreferences(unwritable, unwritable, current, values);
        EXPECT_TRUE(unwritable.log.empty());
    }
}

TEST(SavePreferences, WritesInTheFixedOrder)
{
    const Settings current = Loaded();
    PreferenceValues values = Unchanged(current);
    values.Znacka = "Z";
    values.Lokator = "aa00aa";
    values.MoonSked = "M";
    values.WSJT = "W";
    values.Language = 1;
    std::vector<StoreEvent> expected = {Str("Znacka", "Z"), Str("Lokator", "AA00AA"),
                                        Str("MoonSked", "M"), Str("WSJT", "W"), Int("Language", 1),
                                        {Kind::Message, std::string(kLanguageChangedMessage), {}}};
    for (int i = 1; i <= 8; ++i) {
        values.PresetName[i] = "P" + std::to_string(i);
        expected.push_back(Str("preset_" + std::to_string(i), "P" + std::to_string(i)));
    }
    for (int i = 0; i <= 8; ++i) {
        values.PresetAzimuth[i] = 300 + i;
        expected.push_back(Int("preset_a" + std::to_string(i), 300 + i));
    }
    for (int i = 0; i <= 8; ++i) {
        values.PresetElevation[i] = 40 + i;
        expected.push_back(Int("preset_e" + std::to_string(i), 40 + i));
    }
    FakeSettingsStore store;
    SavePreferences(store, store, current, values);
    EXPECT_EQ(store.log, expected);
}

TEST(ApplyPreferences, CopiesWithTheLocatorUpperCasedAndNamesCut)
{
    Settings settings = Loaded();
    PreferenceValues values = Unchanged(settings);
    values.Lokator = "jo60aa";
    values.Language = -1;
    values.PresetName[2] = "Velmi dlouhý název předvolby";
    values.PresetAzimuth[3] = 123;
    ApplyPreferences(settings, values);
    EXPECT_EQ(settings.Lokator, "JO60AA");
    EXPECT_EQ(settings.Language, -1);
    EXPECT_EQ(settings.PresetName[2], "Velmi dlouhý název p");
    EXPECT_EQ(settings.PresetAzimuth[3], 123);
    EXPECT_EQ(settings.PresetName[0], "");
}

TEST(DefaultTrackingFolders, DependOnPlatformAndOnWhichProgramFilesExists)
{
    struct Case {
        bool windows;
        std::string home;
        bool x86Exists;
        std::string probed;
        TrackingFolders expected;
    };
    const Case cases[] = {
        {true, "", true, "C:\\Program Files (x86)",
         {"C:\\Program Files (x86)\\MoonSked\\", "C:\\Program Files (x86)\\WSJT9\\"}},
        {true, "", false, "C:\\Program Files (x86)",
         {"C:\\Program Files\\MoonSked\\", "C:\\Program Files\\WSJT9\\"}},
        {false, "/home/op", true, "/home/op/.wine/drive_c/Program Files (x86)",
         {"/home/op/.wine/drive_c/Program Files (x86)/MoonSked/", "/home/op/.local/share/WSJT-X/"}},
        {false, "/home/op/", false, "/home/op/.wine/drive_c/Program Files (x86)",
         {"/home/op/.wine/drive_c/Program Files/MoonSked/", "/home/op/.local/share/WSJT-X/"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> probes;
        FolderEnvironment environment{c.windows, c.home, [&](const std::string& path) {
                                          probes.push_back(path);
                                          return c.x86Exists && path == c.probed;
                                      }};
        const TrackingFolders folders = DefaultTrackingFolders(environment);
        EXPECT_EQ(folders.MoonSked, c.expected.MoonSked);
        EXPECT_EQ(folders.WSJT, c.expected.WSJT);
        EXPECT_EQ(probes, std::vector<std::string>{c.probed});
    }
}

TEST(ReadComDevice, OnlyANonEmptyStoredText)
{
    FakeSettingsStore store;
    store.values = {{"Com1Device", "/dev/pts/7"}, {"Com2Device", ""}, {"Com3Device", 4}};
    EXPECT_EQ(ReadComDevice(store, 1), "/dev/pts/7");
    EXPECT_EQ(ReadComDevice(store, 2), std::nullopt);
    EXPECT_EQ(ReadComDevice(store, 3), std::nullopt);
    EXPECT_EQ(ReadComDevice(store, 10), std::nullopt);
    EXPECT_TRUE(store.log.empty());
    EXPECT_EQ(store.opens, store.closes);
}

// ---- The INI file store ----

using IniStoreTest = test::SettingsFileTest;

TEST_F(IniStoreTest, FirstStartThenReloadRoundTripsEveryValue)
{
    FakeSettingsStore messages;
    QtSettingsStore store(path());
    const Settings first = LoadSettings(store, messages, kFolders);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{std::string(kUpdateMessage)});
    ExpectDefaults(first);
    ASSERT_TRUE(QFileInfo::exists(path()));

    // Czech names, a callsign and a folder with non-ASCII letters and backslashes.
    PreferenceValues values = Unchanged(first);
    values.Znacka = "OK1ČŘŽ";
    values.Lokator = "jo70fd";
    values.MoonSked = "C:\\Program Files\\Měsíc\\";
    values.WSJT = "/home/jiří/.local/share/WSJT-X/";
    values.PresetName[1] = "Předvolba šířka 20 z";
    values.PresetName[8] = "Žluťoučký kůň";
    values.PresetAzimuth[0] = -45;
    values.PresetElevation[8] = 90;
    SavePreferences(store, messages, first, values);
    Settings expected = first;
    ApplyPreferences(expected, values);
    QtSettingsStore closing(path());
    SaveWindowState(closing, expected, {1024, 700, true});

    QtSettingsStore reopened(path());
    FakeSettingsStore quiet;
    const Settings s = LoadSettings(reopened, quiet, kFolders);
    EXPECT_TRUE(quiet.log.empty());
    EXPECT_EQ(s.Znacka, "OK1ČŘŽ");
    EXPECT_EQ(s.Lokator, "JO70FD");
    EXPECT_EQ(s.MoonSked, values.MoonSked);
    EXPECT_EQ(s.WSJT, values.WSJT);
    EXPECT_EQ(s.PresetName, expected.PresetName);
    EXPECT_EQ(s.PresetAzimuth, expected.PresetAzimuth);
    EXPECT_EQ(s.PresetElevation, expected.PresetElevation);
    EXPECT_EQ(s.SizeX, 1024);
    EXPECT_EQ(s.SizeY, 700);
    EXPECT_EQ(s.SizeM, 1);
    EXPECT_TRUE(contents().contains("RegVersion=1.09"));
}

TEST_F(IniStoreTest, WriteReplacesTheFileByRenameLeavingNothingBehind)
{
    QtSettingsStore store(path());
    FakeSettingsStore messages;
    Settings settings = LoadSettings(store, messages, kFolders);
    const QByteArray before = contents();
    struct stat original {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &original), 0);
    const int oldFile = ::open(QFile::encodeName(path()).constData(), O_RDONLY);
    ASSERT_GE(oldFile, 0);

    settings.Port = 4;
    SaveWindowState(store, settings, {1234, 567, false});

    struct stat replaced {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &replaced), 0);
    EXPECT_NE(replaced.st_ino, original.st_ino);
    // The old file was not rewritten in place: it still holds the old text.
    std::string old(static_cast<std::size_t>(before.size()) + 16, '\0');
    const ssize_t got = ::pread(oldFile, old.data(), old.size(), 0);
    ::close(oldFile);
    ASSERT_EQ(got, before.size());
    old.resize(static_cast<std::size_t>(got));
    EXPECT_EQ(QByteArray::fromStdString(old), before);
    EXPECT_TRUE(contents().contains("SizeX=1234"));
    EXPECT_TRUE(contents().contains("Port=4"));
    EXPECT_EQ(folderEntries(), QStringList{"Vantora.conf"});
}

// Lets the process write files no larger than `bytes` while it lives: a full disk or a cut
// power line as the writer sees it (the write fails part-way).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST_F(IniStoreTest, WriteCutShortLeavesTheOldFileWhole)
{
    QtSettingsStore store(path());
    FakeSettingsStore messages;
    LoadSettings(store, messages, kFolders);
    const QByteArray before = contents();
    ASSERT_GT(before.size(), 500);

    bool stored = true;
    {
        const FileSizeLimit limit(4096);
        ASSERT_TRUE(store.Open());
        store.WriteString("preset_1", std::string(100000, 'x'));
        store.WriteInt("Port", 9);
        stored = store.Close();
    }
    EXPECT_FALSE(stored);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(folderEntries(), QStringList{"Vantora.conf"});
}

// Everything below the scratch folder: names, kinds and file contents.
QStringList Tree(const QString& root)
{
    QStringList tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.next();
        QFile file(name);
        tree << name + (it.fileInfo().isDir() ? "/" : "=" + QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : "?"));
    }
    tree.sort();
    return tree;
}

// A store that cannot be written reports it, announces nothing, changes nothing on the disk,
// and the program runs on what it can read (SizeX `storedSizeX`, otherwise the defaults).
void ExpectUnwritableAndLeftAlone(const QString& path, const QString& root, int storedSizeX)
{
    const QStringList before = Tree(root);
    QtSettingsStore store(path);
    EXPECT_FALSE(store.Open());
    store.Close();
    FakeSettingsStore messages;
    Settings s = LoadSettings(store, messages, kFolders);
    EXPECT_EQ(s.SizeX, storedSizeX);
    s.SizeX = 999;
    ExpectDefaults(s);

    PreferenceValues values = Unchanged(s);
    values.Language = 1;  // announced only when stored
    values.Znacka = "OK9NEW";
    SavePreferences(store, messages, s, values);
    s.Port = 3;
    SaveWindowState(store, s, {800, 600, false});
    EXPECT_TRUE(messages.log.empty());
    EXPECT_EQ(Tree(root), before);
}

TEST_F(IniStoreTest, LocationThatCannotHoldTheFileIsUnwritable)
{
    ASSERT_TRUE(QDir().mkpath(path() + "/inside"));  // a folder where the file belongs
    ExpectUnwritableAndLeftAlone(path(), m_dir.path(), 999);
    ASSERT_TRUE(QDir(folder()).removeRecursively());

    QFile blocker(folder());  // a file where the folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ExpectUnwritableAndLeftAlone(path(), m_dir.path(), 999);
}

TEST_F(IniStoreTest, ReadOnlyFileOrFolderIsUnwritable)
{
    for (const bool folderReadOnly : {false, true}) {
        SCOPED_TRACE(folderReadOnly ? "read-only folder" : "read-only file");
        {
            QtSettingsStore store(path());
            FakeSettingsStore messages;
            Settings s = LoadSettings(store, messages, kFolders);
            SaveWindowState(store, s, {1234, 624, false});  // SizeY stays the default
        }
        const QString target = folderReadOnly ? folder() : path();
        const QFileDevice::Permissions saved = QFile::permissions(target);
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        // Rights are not enforced for a privileged user; nothing to observe then.
        const bool enforced = ::access(QFile::encodeName(target).constData(), W_OK) != 0;
        if (enforced)
            ExpectUnwritableAndLeftAlone(path(), m_dir.path(), 1234);
        QFile::setPermissions(target, saved);
        QFile::remove(path());
        if (!enforced)
            GTEST_SKIP() << "file rights are not enforced for this user";
    }
}

TEST(QtSettingsStoreLocation, EnvironmentChoosesTheFile)
{
#ifndef Q_OS_WIN
    const QByteArray saved = qgetenv("VANTORA_SETTINGS");
    const bool had = qEnvironmentVariableIsSet("VANTORA_SETTINGS");
    qputenv("VANTORA_SETTINGS", "/tmp/elsewhere/v.conf");
    EXPECT_EQ(QtSettingsStore::DefaultLocation(), "/tmp/elsewhere/v.conf");
    qunsetenv("VANTORA_SETTINGS");
    EXPECT_TRUE(QtSettingsStore::DefaultLocation().endsWith("/Merrow/Vantora.conf"));
    if (had) {
        qputenv("VANTORA_SETTINGS", saved);
    }
#else
    EXPECT_EQ(QtSettingsStore::DefaultLocation(), "HKEY_LOCAL_MACHINE\\Software\\Merrow\\Vantora");
#endif
}

TEST_F(IniStoreTest, IntegersAndTextsKeepTheirTypeRules)
{
    QtSettingsStore store(path());
    ASSERT_TRUE(store.Open());
    store.WriteInt("Number", -17);
    store.WriteString("Text", "abc");
    store.WriteString("Digits", "42");
    ASSERT_TRUE(store.Close());

    QtSettingsStore reopened(path());
    reopened.Open();
    EXPECT_EQ(reopened.ReadInt("Number"), -17);
    EXPECT_EQ(reopened.ReadInt("Text"), std::nullopt);
    EXPECT_EQ(reopened.ReadInt("Digits"), 42);  // an INI file cannot tell the two apart
    EXPECT_EQ(reopened.ReadString("Text"), "abc");
    EXPECT_EQ(reopened.ReadString("Missing"), std::nullopt);
    EXPECT_EQ(reopened.ReadInt("Missing"), std::nullopt);
    reopened.Close();
}

// ---- The file's text ----

// Values that need quoting or escaping, and keys that need %-encoding or a section.
const IniValues kTrickyValues = {
    {"Port", "3"},
    {"Empty", ""},
    {"Blanks", "  lead and trail  "},
    {"Tab", "\tx\t"},
    {"Separators", "a;b,c=d"},
    {"Quotes", "say \"hi\""},
    {"Folder", "C:\\Program Files (x86)\\MoonSked\\"},
    {"At", "@String(x)"},
    {"AtAt", "@@"},
    {"Lines", "one\ntwo\r\n"},
    {"Control", std::string("\x01" "A\x7f" "b", 4)},
    {"Nul", std::string("a\0b", 3)},
    {"Czech", "Příliš žluťoučký kůň úpěl ďábelské ódy"},
    {"Emoji", "\xF0\x9F\x98\x80"},
    {"group/key", "in a section"},
    {"General/x", "a group called General"},
    {"a/b/c", "nested"},
    {"with space", "k"},
    {"percent%", "k"},
    {"klíč", "non-ASCII key"},
};

TEST(IniText, EveryValueReadsBackAsWritten)
{
    EXPECT_EQ(ParseIni(FormatIni(kTrickyValues)), kTrickyValues);
}

TEST(IniText, ReadsHandWrittenFiles)
{
    const std::string text =
        "; written by hand\r\n"
        "[General]\r\n"
        "  Port = 2  \r\n"
        "# another comment\n"
        "Lokator=JO60AA ; trailing comment\n"
        "no equals sign here\n"
        "Znacka=\"OK1 \"\n"
        "Port=4\n"
        "[Extra]\n"
        "Com1Device=/dev/ttyUSB0\n"
        "\\deep\\\\key\\=v\n";
    const IniValues expected = {{"Port", "4"},
                                {"Lokator", "JO60AA"},
                                {"Znacka", "OK1 "},
                                {"Extra/Com1Device", "/dev/ttyUSB0"},
                                {"Extra/deep/key", "v"}};
    EXPECT_EQ(ParseIni(text), expected);
    EXPECT_TRUE(ParseIni("").empty());
    EXPECT_TRUE(ParseIni("[unterminated\n=x\n").empty());
}

class IniDialectTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString file(const char* name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(IniDialectTest, QSettingsReadsWhatWeWriteAndTheOtherWayRound)
{
    {
        QFile out(file("ours.conf"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        const std::string text = FormatIni(kTrickyValues);
        out.write(text.data(), static_cast<qint64>(text.size()));
    }
    QSettings theirsReading(file("ours.conf"), QSettings::IniFormat);
    for (const auto& [key, value] : kTrickyValues) {
        EXPECT_EQ(theirsReading.value(QString::fromStdString(key)).toString().toStdString(), value)
            << key;
    }
    EXPECT_EQ(theirsReading.allKeys().size(), static_cast<qsizetype>(kTrickyValues.size()));

    {
        QSettings theirsWriting(file("theirs.conf"), QSettings::IniFormat);
        for (const auto& [key, value] : kTrickyValues) {
            theirsWriting.setValue(QString::fromStdString(key), QString::fromStdString(value));
        }
        theirsWriting.sync();
        ASSERT_EQ(theirsWriting.status(), QSettings::NoError);
    }
    QFile in(file("theirs.conf"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    EXPECT_EQ(ParseIni(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))),
              kTrickyValues);
}

}  // namespace
}  // namespace vantora
