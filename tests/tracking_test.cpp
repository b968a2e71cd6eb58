// Moon tracking: the first line of the planning programs' file, the tracking states and the
// 1.5 s timer reading real files.
#include "track/tracking_controller.h"
#include "track/tracking_line.h"
#include "track/ui/tracking_service.h"
#include "support/event_wait.h"
#include "support/target_sink_mock.h"
#include "support/tracking_dir.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace vantora;
using vantora::test::MockTargetSink;

namespace {

// ---------------------------------------------------------------------------------------------
// The first line

struct FirstLineCase {
    const char* name;
    std::string bytes;
    std::string line;
};

TEST(TrackingFirstLine, EndsAtLineEndOrAfter39Bytes)
{
    const std::string longLine(60, 'x');
    const FirstLineCase cases[] = {
        {"cr", "12:00:00,204.6,27.5,Moon\r12:00:00,1,2,Sun\r", "12:00:00,204.6,27.5,Moon"},
        {"crlf", "12:00:00,204.6,27.5,Moon\r\nnext\r\n", "12:00:00,204.6,27.5,Moon"},
        {"lf only", "12:00:00,204.6,27.5,Moon\n12:00:00,1,2,Sun\n", "12:00:00,204.6,27.5,Moon"},
        {"no line end, short", "12:00:00,204.6,27.5,Moon", "12:00:00,204.6,27.5,Moon"},
        {"no line end, long", longLine, std::string(39, 'x')},
        {"line end after byte 39", std::string(45, 'y') + "\r", std::string(39, 'y')},
        {"empty first line", "\r\n12:00:00,1,2,Moon", ""},
        {"nothing read", "", ""},
        {"nul bytes kept", std::string("a\0b,c\r", 6), std::string("a\0b,c", 5)},
        // A planning program's file: the Moon first, then the Sun, the chosen source and the
        // Doppler figures, fields padded with blanks, LF line ends.
        {"planning program's file",
         "21:47:06, 143.2,  31.9,Moon\n21:47:06, 312.8, -41.7,Sun\n21:47:06,   0.0,   0.0,Source\n"
         "  -1032,  -1029,Doppler, R\n",
         "21:47:06, 143.2,  31.9,Moon"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstTrackingLine(c.bytes), c.line) << c.name;
}

// ---------------------------------------------------------------------------------------------
// Numbers and rounding

TEST(TrackingNumber, AcceptsOnlyPlainDecimalNumbers)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"204.6", 204.6},   {"  27.5", 27.5},     {"+12", 12.0},     {"-3.2", -3.2},
        {"2.046E2", 204.6}, {"2046e-1", 204.6},   {"1e+2", 100.0},   {"-0.5", -0.5},
        {"0", 0.0},         {".5", 0.5},          {"5.", 5.0},       {"1e-400", 0.0},
        {"", std::nullopt},        {" ", std::nullopt},      {"204.6 ", std::nullopt},
        {"\t5", std::nullopt},     {"- 5", std::nullopt},    {"+-5", std::nullopt},
        {"1.2.3", std::nullopt},   {"1e", std::nullopt},     {"1e+", std::nullopt},
        {"e5", std::nullopt},      {".", std::nullopt},      {"-", std::nullopt},
        {"1,5", std::nullopt},     {"0x10", std::nullopt},   {"inf", std::nullopt},
        {"nan", std::nullopt},     {"1e400", std::nullopt},  {"12a", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        const auto value = ParseTrackingNumber(text);
        ASSERT_EQ(value.has_value(), expected.has_value()) << '"' << text << '"';
        if (expected) {
            EXPECT_DOUBLE_EQ(*value, *expected) << '"' << text << '"';
        }
    }
}

TEST(TrackingNumber, RoundsHalvesToEven)
{
    const std::pair<double, int> cases[] = {
        {204.6, 205}, {27.5, 28}, {28.5, 28}, {0.5, 0},   {1.5, 2},    {2.5, 2},
        {-0.5, 0},    {-1.5, -2}, {-2.5, -2}, {-3.2, -3}, {-3.7, -4},  {359.49, 359},
        {0.49999999999999994, 0},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(RoundTrackingDegrees(value), expected) << value;
    EXPECT_FALSE(RoundTrackingDegrees(3e9).has_value());
    EXPECT_FALSE(RoundTrackingDegrees(-3e9).has_value());
}

// ---------------------------------------------------------------------------------------------
// The controller without a disk

class FakeFiles : public TrackingFiles {
public:
    bool Exists(const std::string& path) override { return contents.count(path) || locked.count(path); }
    std::optional<std::string> ReadPrefix(const std::string& path, std::size_t maxBytes) override
    {
        requested.push_back(maxBytes);
        if (locked.count(path) || !contents.count(path))
            return std::nullopt;
        return contents[path].substr(0, maxBytes);
    }

    std::map<std::string, std::string> contents;
    std::set<std::string> locked;  // exists, cannot be opened
    std::vector<std::size_t> requested;
};

class TrackingControllerTest : public ::testing::Test {
protected:
    TrackingControllerTest()
    {
        settings.MoonSked = "/data/moonsked";  // no trailing separator
        settings.WSJT = "/data/wsjt/";
    }

    static constexpr const char* kMoonSkedFile = "/data/moonsked/AZEL.DAT";
    static constexpr const char* kWsjtFile = "/data/wsjt/azel.dat";

    Settings settings;
    FakeFiles files;
    ::testing::StrictMock<MockTargetSink> sink;
    TrackingController controller{settings, files, sink};
};

TEST_F(TrackingControllerTest, MenuEnablesSourcesWhoseFileExists)
{
    struct Case {
        std::vector<std::string> present;
        bool moonSked;
        bool wsjt;
    };
    const Case cases[] = {
        {{}, false, false},
        {{kMoonSkedFile}, true, false},
        {{kWsjtFile}, false, true},
        {{kMoonSkedFile, kWsjtFile}, true, true},
        // The names are spelled with their case: the other spelling does not count.
        {{"/data/moonsked/azel.dat", "/data/wsjt/AZEL.DAT"}, false, false},
        // The separator is added only where it is missing.
        {{"/data/moonskedAZEL.DAT", "/data/wsjt//azel.dat"}, false, false},
    };
    for (const auto& c : cases) {
        files.contents.clear();
        for (const auto& path : c.present)
            files.contents[path] = "";
        controller.MenuOpened();
        EXPECT_EQ(controller.Menu().moonSkedEnabled, c.moonSked);
        EXPECT_EQ(controller.Menu().wsjtEnabled, c.wsjt);
        EXPECT_EQ(controller.TrackTest("moonsked"), c.moonSked);
        EXPECT_EQ(controller.TrackTest("wsjt"), c.wsjt);
    }
    files.contents[kMoonSkedFile] = "";
    EXPECT_FALSE(controller.TrackTest("MoonSked"));
    EXPECT_FALSE(controller.TrackTest(""));
    EXPECT_FALSE(controller.TrackTest(TrackingSource::None));
}

TEST_F(TrackingControllerTest, FoldersAreJoinedWithOneSeparator)
{
    EXPECT_EQ(JoinTrackingPath("", "azel.dat"), "azel.dat");
    EXPECT_EQ(controller.TrackingPath(TrackingSource::MoonSked), kMoonSkedFile);
    EXPECT_EQ(controller.TrackingPath(TrackingSource::Wsjt), kWsjtFile);
    settings.WSJT = "/elsewhere";  // a changed preference applies at the next use
    EXPECT_EQ(controller.TrackingPath(TrackingSource::Wsjt), "/elsewhere/azel.dat");
}

TEST_F(TrackingControllerTest, TickReadsAtMost64BytesOfTheCurrentSource)
{
    files.contents[kWsjtFile] = "12:00:00,10,20,Moon\n" + std::string(500, 'z');
    files.contents[kMoonSkedFile] = "12:00:00,30,40,Moon\r";
    EXPECT_CALL(sink, Nastav(3, 10, 20)).Times(2);  // every read sends again, unchanged or not
    controller.StartWsjt();
    controller.Tick();
    controller.Tick();
    EXPECT_EQ(files.requested, (std::vector<std::size_t>{64, 64}));
}

TEST_F(TrackingControllerTest, FileThatExistsButCannotBeReadKeepsTrackingAndReadout)
{
    files.contents[kMoonSkedFile] = "12:00:00,204.6,27.5,Sun\r";
    controller.StartMoonSked();
    controller.Tick();
    ASSERT_EQ(controller.Readout(), "205° / 28°");

    files.contents.erase(kMoonSkedFile);
    files.locked.insert(kMoonSkedFile);
    controller.Tick();
    EXPECT_EQ(controller.Readout(), "205° / 28°");
    EXPECT_EQ(controller.Source(), TrackingSource::MoonSked);
    EXPECT_TRUE(controller.TimerRunning());
}

struct LineCase {
    const char* name;
    const char* line;
    std::optional<std::string> readout;      // empty: nothing shown
    std::optional<std::pair<int, int>> goTo; // Nastav code 3 with these values
};

const LineCase kLineCases[] = {
    {"moon", "12:00:00,204.6,27.5,Moon", "205° / 28°", std::pair{205, 28}},
    {"sun", "12:00:00,204.6,27.5,Sun", "205° / 28°", std::nullopt},
    {"moon below horizon", "12:00:00,204.6,-3.2,Moon", "205° / -3°", std::nullopt},
    {"moon at -0.5 rounds to 0", "12:00:00,204.6,-0.5,Moon", "205° / 0°", std::pair{205, 0}},
    {"moon at -0.51", "12:00:00,204.6,-0.51,Moon", "205° / -1°", std::nullopt},
    {"five fields", "12:00:00,204.6,27.5,Moon,1.2", "205° / 28°", std::pair{205, 28}},
    {"name runs on", "12:00:00,204.6,27.5,Moonrise", "205° / 28°", std::nullopt},
    {"name in lower case", "12:00:00,204.6,27.5,moon", "205° / 28°", std::nullopt},
    {"name with a blank", "12:00:00,204.6,27.5,Moon ", "205° / 28°", std::nullopt},
    {"no name", "12:00:00,204.6,27.5,", "205° / 28°", std::nullopt},
    {"padded numbers", "12:00:00,  4.4,  45.5,Moon", "4° / 46°", std::pair{4, 46}},
    {"planning program's first line", "21:47:06, 143.2,  31.9,Moon", "143° / 32°", std::pair{143, 32}},
    {"exponent", "x,2.5e1,1E1,Moon", "25° / 10°", std::pair{25, 10}},
    {"first field ignored", "garbage text,90,10,Moon", "90° / 10°", std::pair{90, 10}},
    {"blank after azimuth", "12:00:00,204.6 ,27.5,Moon", std::nullopt, std::nullopt},
    {"azimuth not a number", "12:00:00,abc,27.5,Moon", std::nullopt, std::nullopt},
    {"elevation empty", "12:00:00,204.6,,Moon", std::nullopt, std::nullopt},
    {"no third comma", "12:00:00,204.6,27.5", std::nullopt, std::nullopt},
    {"no second comma", "12:00:00,204.6", std::nullopt, std::nullopt},
    {"no comma", "12:00:00 204.6 27.5 Moon", std::nullopt, std::nullopt},
    {"empty line", "", std::nullopt, std::nullopt},
};

// CtiTrak: the values shown whenever both numbers read, the go-to only for the Moon at or above
// the horizon.
TEST_F(TrackingControllerTest, CtiTrakShowsTheValuesAndSendsOnlyTheMoonAboveTheHorizon)
{
    for (const auto& c : kLineCases) {
        SCOPED_TRACE(c.name);
        const std::string before = controller.Readout();
        if (c.goTo)
            EXPECT_CALL(sink, Nastav(3, c.goTo->first, c.goTo->second));
        EXPECT_EQ(controller.CtiTrak(c.line), c.readout.has_value());
        EXPECT_EQ(controller.Readout(), c.readout.value_or(before));
        ::testing::Mock::VerifyAndClearExpectations(&sink);
    }
}

// ---------------------------------------------------------------------------------------------
// The timer and real files

using TrackingServiceTest = vantora::test::TrackingDirTest;

TEST_F(TrackingServiceTest, MenuTimerAndReadoutFollowTheChosenSource)
{
    QMenu menu;
    QAction off("OFF"), moonSked("MoonSked"), wsjt("WSJT");
    QLabel label;
    service.attachMenu(&menu, &off, &moonSked, &wsjt);
    service.attachReadout(&label);
    // At start: OFF, both sources disabled, Timer2 (1500 ms) stopped.
    EXPECT_EQ(service.timer()->objectName(), "Timer2");
    EXPECT_EQ(service.timer()->interval(), 1500);
    EXPECT_FALSE(service.timer()->isActive());
    EXPECT_TRUE(off.isChecked());
    EXPECT_FALSE(moonSked.isEnabled());
    EXPECT_FALSE(wsjt.isEnabled());
    EXPECT_EQ(label.text(), "OFF");

    write(wsjtPath(), "12:00:00,204.6,27.5,Moon\n");
    emit menu.aboutToShow();
    EXPECT_FALSE(moonSked.isEnabled());
    EXPECT_TRUE(wsjt.isEnabled());
    write(moonSkedPath(), "12:00:00,30,40,Moon\r");
    emit menu.aboutToShow();
    EXPECT_TRUE(moonSked.isEnabled());

    moonSked.trigger();
    EXPECT_TRUE(moonSked.isChecked());
    EXPECT_FALSE(off.isChecked());
    EXPECT_TRUE(service.timer()->isActive());
    EXPECT_EQ(service.source(), TrackingSource::MoonSked);
    EXPECT_EQ(label.text(), "OFF");  // until the first successful read
    EXPECT_CALL(sink, Nastav(3, 30, 40));
    service.Timer2Timer();
    EXPECT_EQ(label.text(), "30° / 40°");

    wsjt.trigger();
    EXPECT_TRUE(wsjt.isChecked());
    EXPECT_FALSE(moonSked.isChecked());
    EXPECT_EQ(service.source(), TrackingSource::Wsjt);
    EXPECT_EQ(label.text(), "OFF");
    wsjt.trigger();  // choosing the checked item again keeps it checked and running
    EXPECT_TRUE(wsjt.isChecked());
    EXPECT_TRUE(service.timer()->isActive());
    EXPECT_CALL(sink, Nastav(3, 205, 28));
    service.Timer2Timer();
    EXPECT_EQ(label.text(), "205° / 28°");

    off.trigger();
    EXPECT_TRUE(off.isChecked());
    EXPECT_FALSE(wsjt.isChecked());
    EXPECT_FALSE(service.timer()->isActive());
    EXPECT_EQ(label.text(), "OFF");
    service.Timer2Timer();  // a tick arriving after OFF reads nothing: the strict mock sees no go-to
    EXPECT_EQ(label.text(), "OFF");
}

TEST_F(TrackingServiceTest, TheTimerReadsTheFileByItself)
{
    write(moonSkedPath(), "12:00:00,204.6,27.5,Moon\r\n");
    EXPECT_CALL(sink, Nastav(3, 205, 28)).Times(::testing::AtLeast(1));
    QStringList readouts;
    QObject::connect(&service, &TrackingService::readoutChanged,
                     [&](const QString& text) { readouts << text; });
    service.MoonSked1Click();
    ASSERT_TRUE(vantora::test::WaitFor([&] { return !readouts.isEmpty(); }));
    EXPECT_EQ(readouts, QStringList{"205° / 28°"});
    service.OFF1Click();
}

TEST_F(TrackingServiceTest, ReadsAFileItsWriterHoldsOpen)
{
    QFile writer(wsjtPath());
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Truncate));
    writer.write("12:00:00,88.4,12.6,Moon\n");
    ASSERT_TRUE(writer.flush());

    service.racking1Click();
    EXPECT_TRUE(service.menuState().wsjtEnabled);
    service.WSJT1Click();
    EXPECT_CALL(sink, Nastav(3, 88, 13));
    service.Timer2Timer();
    EXPECT_EQ(service.readout(), "88° / 13°");

    // The writer rewrites it in place, still holding it open.
    ASSERT_TRUE(writer.seek(0));
    writer.write("12:00:01,89.6,13.4,Moon\n");
    ASSERT_TRUE(writer.flush());
    EXPECT_CALL(sink, Nastav(3, 90, 13));
    service.Timer2Timer();
    EXPECT_EQ(service.readout(), "90° / 13°");
    EXPECT_TRUE(writer.isOpen());
}

TEST_F(TrackingServiceTest, DeletedFileTurnsTrackingOff)
{
    QMenu menu;
    QAction off("OFF"), moonSked("MoonSked"), wsjt("WSJT");
    service.attachMenu(&menu, &off, &moonSked, &wsjt);
    write(moonSkedPath(), "12:00:00,204.6,27.5,Sun\r");
    emit menu.aboutToShow();
    moonSked.trigger();
    service.Timer2Timer();
    ASSERT_EQ(service.readout(), "205° / 28°");

    int menuChanges = 0;
    QObject::connect(&service, &TrackingService::menuStateChanged, [&] { ++menuChanges; });
    ASSERT_TRUE(QFile::remove(moonSkedPath()));
    service.Timer2Timer();
    EXPECT_FALSE(service.isTracking());
    EXPECT_FALSE(service.timer()->isActive());
    EXPECT_EQ(service.readout(), "OFF");
    EXPECT_TRUE(off.isChecked());
    EXPECT_FALSE(moonSked.isChecked());
    EXPECT_EQ(menuChanges, 1);

    emit menu.aboutToShow();
    EXPECT_FALSE(moonSked.isEnabled());
}

#ifdef Q_OS_UNIX
TEST_F(TrackingServiceTest, PipeInPlaceOfTheFileDoesNotBlock)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(moonSkedPath()).constData(), 0600), 0);
    service.MoonSked1Click();
    service.Timer2Timer();  // would wait forever for a writer if the pipe were opened
    EXPECT_TRUE(service.isTracking());
    EXPECT_EQ(service.readout(), "OFF");
}
#endif

}  // namespace
