// Bad input at every door: garbage on the serial line (in the link and through the real serial
// layer), malformed TCP messages and clients that misbehave, broken tracking files, and damaged
// settings files read through the real settings store. Whatever comes in, the program keeps
// running, keeps what it knew and what the operator stored, and recovers with the next good
// input.

#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"
#include "settings/settings_io.h"
#include "settings/ui/qt_settings_store.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/link_test_doubles.h"
#include "support/pseudo_terminal.h"
#include "support/settings_file.h"
#include "support/target_sink_mock.h"
#include "support/tracking_dir.h"
#include "track/tcp_message.h"
#include "track/ui/tcp_command_server.h"
#include "track/ui/tracking_service.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace vantora {
namespace {

using test::Bytes;
using test::MockTargetSink;
using test::PositionFrame;
using test::ResponseFrame;
using test::VersionFrame;
using test::WaitFor;

Bytes RandomBytes(std::mt19937& rng, std::size_t size)
{
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(byte(rng));
    return bytes;
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Makes the last byte the 8-bit sum of the others, so that only the length or the content can
// give the frame away.
Bytes WithChecksum(Bytes bytes)
{
    bytes.back() = Checksum8(bytes.data(), bytes.size() - 1);
    return bytes;
}

// Everything the link keeps, as text, so that a whole state compares and prints at once.
std::string Snapshot(const LinkController& link)
{
    const RotatorState& s = link.state;
    const UnitSettings& u = s.settings;
    std::ostringstream out;
    out << "pos " << s.position1 << '/' << int(s.status1) << ' ' << s.position2 << '/' << int(s.status2)
        << " mode " << int(s.rotator2Mode) << " active " << int(s.activeRotator) << " fw "
        << s.firmwareVersion << (s.firmwareTooOld ? " old" : "") << " unit " << int(u.sensorId1) << ','
        << int(u.sensorId2) << ',' << int(u.sensitivity1) << ',' << int(u.inertia1) << ','
        << int(u.inertiaTime1) << ',' << u.limitSwitch1 << ',' << int(u.sensitivity2) << ','
        << int(u.inertia2) << ',' << int(u.inertiaTime2) << ',' << int(u.maxElevation2) << ','
        << u.limitSwitch2 << ',' << int(u.mode2) << ",[" << u.lcdText1 << "],[" << u.lcdText2 << "],"
        << int(u.display20) << " setpoints " << link.setpoints.rotator1.value
        << link.setpoints.rotator1.acknowledged << link.setpoints.rotator2.value
        << link.setpoints.rotator2.acknowledged << " goto " << link.gotoRequest.which << " select "
        << link.selectRequest.pending;
    return out.str();
}

// ---------------------------------------------------------------------------------------------
// The serial line

const Bytes kPosition = PositionFrame(123, 1, 45, 1, 2, 0);
const Bytes kVersion = VersionFrame(263);
const Bytes kSettings = ResponseFrame(15, {7, 9, 5, 3, 25, 44, 1, 4, 2, 30, 90, 103, 1, 2, 'A', 'z', 'i',
                                           'm', 'u', 't', ' ', 0, 'E', 'l', 'e', 'v', 'a', 'c', 'e', 0, 1});
const Bytes kGotoAck = ResponseFrame(100, {11, 1, 0, 1, 0});

struct GarbageCase {
    std::string name;
    Bytes bytes;
};

// Deliveries no unit sends: none of them may change anything the link keeps.
std::vector<GarbageCase> SerialGarbage()
{
    std::vector<GarbageCase> cases;
    std::mt19937 rng(20240601);
    for (const std::size_t size : {1, 2, 5, 6, 7, 8, 11, 14, 15, 37, 50, 51, 96, 100, 1000, 65536})
        cases.push_back({"random " + std::to_string(size), RandomBytes(rng, size)});
    for (const std::size_t size : {1, 5, 6, 7, 15, 37, 50, 51, 100})
        cases.push_back({"run of 0x2A x" + std::to_string(size), Bytes(size, 0x2A)});
    for (const std::size_t size : {6, 15, 50})
        cases.push_back({"zeros x" + std::to_string(size), Bytes(size, 0)});
    for (const auto& [name, frame] : {std::pair{"position", kPosition}, std::pair{"version", kVersion},
                                      std::pair{"settings", kSettings}, std::pair{"goto ack", kGotoAck}}) {
        for (std::size_t cut = 1; cut < frame.size(); ++cut)
            cases.push_back({std::string(name) + " cut to " + std::to_string(cut),
                             Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(cut))});
        // A single damaged bit changes the sum, wherever it is.
        for (std::size_t at = 0; at < frame.size(); ++at) {
            for (int bit = 0; bit < 8; ++bit) {
                Bytes flipped = frame;
                flipped[at] ^= static_cast<std::uint8_t>(1 << bit);
                cases.push_back({std::string(name) + " bit " + std::to_string(bit) + " of byte "
                                     + std::to_string(at),
                                 flipped});
            }
        }
    }
    // Longer than the ReplyBuffer, even with a sum that matches.
    for (const std::size_t size : {51, 64, 100, 4096})
        cases.push_back({"over-long with a good sum, " + std::to_string(size),
                         WithChecksum(Concat(kPosition, Bytes(size - kPosition.size(), 0x2A)))});
    cases.push_back({"position then one junk byte", Concat(kPosition, {0x00})});
    cases.push_back({"position then a start byte", Concat(kPosition, {0x2A})});
    cases.push_back({"position then random junk", Concat(kPosition, RandomBytes(rng, 10))});
    cases.push_back({"junk byte then position", Concat({0x00}, kPosition)});
    cases.push_back({"start byte then position", Concat({0x2A}, kPosition)});
    cases.push_back({"version then settings", Concat(kVersion, kSettings)});
    for (const std::uint8_t source : {0, 2, 42, 255})
        cases.push_back({"position from address " + std::to_string(source),
                         ResponseFrame(10, {1, 0, 1, 2, 0, 1, 0, 2, 1}, source)});
    for (const std::uint8_t code : {0, 1, 9, 11, 16, 98, 101, 255})
        cases.push_back({"unknown response code " + std::to_string(code),
                         ResponseFrame(code, {1, 0, 1, 2, 0, 1, 0, 2, 1})});
    return cases;
}

class SerialGarbageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A link that already knows something of every kind.
        Deliver(kVersion);
        Deliver(kPosition);
        Deliver(kSettings);
        link.gotoRequest = {200, 30, 3};
        link.Timer1Timer();
        Deliver(kGotoAck);
        events.log.clear();
    }

    void Deliver(const Bytes& bytes)
    {
        link.CommPortDriver1ReceiveData(bytes.data(), static_cast<int>(bytes.size()));
    }

    test::ScriptedInputs inputs;
    test::RecordingSink sink;
    test::RecordingEvents events;
    LinkController link{inputs, sink, events};
};

TEST_F(SerialGarbageTest, GarbageChangesNothingAndTheNextGoodFrameIsTaken)
{
    const Bytes next = PositionFrame(301, 0, 65535, 255, 1, 1);
    for (const GarbageCase& c : SerialGarbage()) {
        SCOPED_TRACE(c.name);
        const std::string before = Snapshot(link);
        Deliver(c.bytes);
        EXPECT_EQ(Snapshot(link), before);
        EXPECT_TRUE(events.log.empty());

        // Nothing of the garbage lingers to spoil the report that follows it.
        Deliver(next);
        EXPECT_EQ(link.state.position1, 301);
        EXPECT_EQ(link.state.position2, -1);
        EXPECT_EQ(link.state.status2, 255);
        EXPECT_EQ(link.state.activeRotator, 1);
        EXPECT_EQ(events.log, (std::vector<std::string>{"ShowAzimut", "ShowElevace"}));
        Deliver(kPosition);
        events.log.clear();
    }
    EXPECT_EQ(link.state.firmwareVersion, 263);
    EXPECT_EQ(link.state.settings.lcdText1, "Azimut ");
}

TEST_F(SerialGarbageTest, DeliveriesNoSerialLayerMakesAreRefused)
{
    const std::string before = Snapshot(link);
    const Bytes frame = kPosition;
    const struct {
        const char* name;
        const std::uint8_t* data;
        int size;
    } cases[] = {
        {"no bytes", nullptr, 0},
        {"null with a size", nullptr, 15},
        {"negative size", frame.data(), -1},
        {"most negative size", frame.data(), std::numeric_limits<int>::min()},
    };
    for (const auto& c : cases) {
        link.CommPortDriver1ReceiveData(c.data, c.size);
        EXPECT_EQ(Snapshot(link), before) << c.name;
    }
    EXPECT_TRUE(events.log.empty());
}

// The program's own serial layer on a pseudo-terminal: garbage from the line arrives in
// deliveries of whatever size the poll finds, and still changes nothing.
TEST(SerialGarbageOnTheLine, SerialLayerPassesGarbageOnAndTheLinkDropsIt)
{
    test::PseudoTerminal unit;
    ASSERT_TRUE(unit.ok());
    test::ScriptedInputs inputs;
    test::RecordingEvents events;
    TCommPortDriver driver;
    LinkController link{inputs, driver, events};
    std::size_t received = 0;
    driver.SetDeviceNameResolver([path = unit.path()](int) { return path; });
    driver.SetOnReceiveData([&](const std::uint8_t* data, int size) {
        received += static_cast<std::size_t>(size);
        driver.PausePolling();
        link.CommPortDriver1ReceiveData(data, size);
        driver.ContinuePolling();
    });
    ASSERT_TRUE(driver.Connect());
    ASSERT_TRUE(unit.Write(kPosition));
    ASSERT_TRUE(WaitFor([&] { return link.state.position1 == 123; }));

    std::mt19937 rng(7);
    Bytes flipped = kPosition;
    flipped[5] ^= 0x10;
    const GarbageCase cases[] = {
        {"random burst", RandomBytes(rng, 700)},
        {"start bytes", Bytes(300, 0x2A)},
        {"damaged report", flipped},
        {"nothing but zeros", Bytes(250, 0)},
    };
    for (const GarbageCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = Snapshot(link);
        received = 0;
        ASSERT_TRUE(unit.Write(c.bytes));
        ASSERT_TRUE(WaitFor([&] { return received >= c.bytes.size(); }));
        EXPECT_EQ(received, c.bytes.size());
        EXPECT_EQ(Snapshot(link), before);

        // The next report, in a delivery of its own, is taken.
        const int expected = link.state.position1 + 1;
        ASSERT_TRUE(unit.Write(PositionFrame(expected, 1, 45, 1, 2, 0)));
        EXPECT_TRUE(WaitFor([&] { return link.state.position1 == expected; }));
    }
    EXPECT_TRUE(driver.Connected());
}

// ---------------------------------------------------------------------------------------------
// TCP messages

struct TcpCase {
    std::string name;
    std::string message;
    std::optional<int> set;  // Nastav(1, set, 0)
    bool reply = false;      // "$00#042@"
};

std::vector<TcpCase> MalformedTcpMessages()
{
    std::vector<TcpCase> cases;
    // Every length a read can have, of a set message and of a query.
    const std::string set = "$01#123@xy";
    const std::string query = "$00#000@xy";
    for (std::size_t n = 0; n <= kTcpMessageMax; ++n) {
        cases.push_back({"set cut to " + std::to_string(n), set.substr(0, n),
                         n >= 7 ? std::optional<int>(123) : std::nullopt, false});
        cases.push_back({"query cut to " + std::to_string(n), query.substr(0, n), std::nullopt, n >= 3});
    }
    // Every byte value in the first three places, and as each of the three digits.
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const std::string hex = std::to_string(b);
        cases.push_back({"single byte " + hex, std::string(1, c), std::nullopt, false});
        cases.push_back({"byte " + hex + " first", std::string(1, c) + "01#123",
                         b == '$' ? std::optional<int>(123) : std::nullopt, false});
        cases.push_back({"byte " + hex + " second", std::string("$") + c + "1#123",
                         b == '0' ? std::optional<int>(123) : std::nullopt, false});
        cases.push_back({"byte " + hex + " third", std::string("$0") + c + "#123",
                         b == '1' ? std::optional<int>(123) : std::nullopt, b == '0'});
        cases.push_back({"byte " + hex + " in place of #", std::string("$01") + c + "123", 123, false});
        for (int at = 4; at <= 6; ++at) {
            std::string digits = "$01#123";
            digits[static_cast<std::size_t>(at)] = c;
            std::optional<int> value;
            if (b >= '0' && b <= '9') {
                const int v = (digits[4] - '0') * 100 + (digits[5] - '0') * 10 + (digits[6] - '0');
                if (v <= 360)
                    value = v;
            }
            cases.push_back({"byte " + hex + " as digit " + std::to_string(at - 3), digits, value, false});
        }
    }
    const std::string nul(1, '\0');
    const TcpCase named[] = {
        {"empty", "", std::nullopt, false},
        {"$0 alone", "$0", std::nullopt, false},
        {"$01 alone", "$01", std::nullopt, false},
        {"$01#99", "$01#99", std::nullopt, false},
        {"$01#000", "$01#000", 0, false},
        {"$01#3601: bytes after the digits are not looked at", "$01#3601", 360, false},
        {"$01#3610", "$01#3610", std::nullopt, false},
        {"$01#999", "$01#999", std::nullopt, false},
        {"nul bytes", std::string(10, '\0'), std::nullopt, false},
        {"nul before the query", nul + "$00", std::nullopt, false},
        {"nul after the query", "$00" + nul, std::nullopt, true},
        {"nul in place of #", "$01" + nul + "045", 45, false},
        {"nul among the digits", "$01#1" + nul + "5", std::nullopt, false},
        {"Arabic-Indic digits", "$01#\u0661\u0662\u0663", std::nullopt, false},
        {"fullwidth digits", "$01#\uFF11\uFF12\uFF13", std::nullopt, false},
        {"superscript three in Latin-1", "$01#12\xB3", std::nullopt, false},
        {"fullwidth dollar", "\uFF0400", std::nullopt, false},
        {"UTF-8 byte order mark first", "\xEF\xBB\xBF$00", std::nullopt, false},
        {"longer than one read: only the first ten bytes count", "$01#1234567890", 123, false},
        {"query far beyond the first read", std::string(10, 'x') + "$00", std::nullopt, false},
        {"long query", "$00" + std::string(4096, '\xFF'), std::nullopt, true},
    };
    cases.insert(cases.end(), std::begin(named), std::end(named));
    return cases;
}

TEST(MalformedTcpMessages, OnlyWellFormedMessagesActAndRepliesAreAlwaysWhole)
{
    ::testing::StrictMock<MockTargetSink> sink;
    TcpCommandHandler handler(sink, [] { return 42; });
    for (const TcpCase& c : MalformedTcpMessages()) {
        SCOPED_TRACE(c.name);
        if (c.set)
            EXPECT_CALL(sink, Nastav(1, *c.set, 0));
        const std::optional<std::string> reply = handler.OnMessage(c.message);
        EXPECT_EQ(reply.has_value(), c.reply);
        if (reply) {
            EXPECT_EQ(*reply, "$00#042@");
        }
        ::testing::Mock::VerifyAndClearExpectations(&sink);
    }
}

// A raw client that sends its bytes and then resets the connection, as a crashed program would.
void SendAndReset(quint16 port, const QByteArray& bytes)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    if (!bytes.isEmpty()) {
        EXPECT_EQ(::send(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()), MSG_NOSIGNAL), bytes.size());
    }
    const linger reset{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(fd);
}

TEST(MisbehavingTcpClients, ServerOutlivesThemAndServesTheNextClient)
{
    ::testing::StrictMock<MockTargetSink> sink;
    // Random bytes cut into ten-byte reads may happen to form a set message; only a valid one
    // may reach Nastav.
    EXPECT_CALL(sink, Nastav(1, ::testing::AllOf(::testing::Ge(0), ::testing::Le(360)), 0))
        .Times(::testing::AnyNumber());
    QStringList reports;
    TcpCommandServer server(sink, [] { return 42; }, [&](const QString& text) { reports << text; },
                            nullptr, quint16(0));
    ASSERT_TRUE(server.isListening());

    std::mt19937 rng(99);
    const QByteArray kinds[] = {
        {},                                   // connects and goes away
        "$00",                                // asks and is gone before the answer
        QByteArray(64 * 1024, '\0'),          // a flood of NULs
        QByteArray(10, '$'),                  // looks like the start of a message
        "$01#12",                             // half a set message
    };
    // More clients than are served at once: each one that goes must give its place back.
    for (int i = 0; i < 2 * TcpCommandServer::kMaxClients; ++i) {
        QByteArray bytes = kinds[i % std::size(kinds)];
        if (i % 7 == 3) {
            const Bytes random = RandomBytes(rng, 1 + i * 37 % 5000);
            bytes = QByteArray(reinterpret_cast<const char*>(random.data()), static_cast<qsizetype>(random.size()));
        }
        SendAndReset(server.serverPort(), bytes);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(WaitFor([&] { return server.clientCount() == 0; }));
    ::testing::Mock::VerifyAndClearExpectations(&sink);

    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(WaitFor([&] { return client.state() == QAbstractSocket::ConnectedState; }));
    bool set = false;
    EXPECT_CALL(sink, Nastav(1, 200, 0)).WillOnce([&] { set = true; });
    client.write("$01#200");
    client.flush();
    ASSERT_TRUE(WaitFor([&] { return set; }));
    client.write("$00");
    client.flush();
    ASSERT_TRUE(WaitFor([&] { return client.bytesAvailable() >= 8; }));
    EXPECT_EQ(client.readAll(), "$00#042@");
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_TRUE(server.isListening());
}

// ---------------------------------------------------------------------------------------------
// Tracking files

class BrokenTrackingFileTest : public test::TrackingDirTest {
protected:
    QString path() const { return moonSkedPath(); }
    void write(const QByteArray& bytes) const { TrackingDirTest::write(path(), bytes); }

    // Tracking on, and one good reading shown and sent.
    void startWithAGoodReading()
    {
        write("12:00:00,204.6,27.5,Moon\r\n");
        service.MoonSked1Click();
        EXPECT_CALL(sink, Nastav(3, 205, 28));
        service.Timer2Timer();
        ::testing::Mock::VerifyAndClearExpectations(&sink);
        ASSERT_EQ(service.readout(), "205° / 28°");
    }
};

TEST_F(BrokenTrackingFileTest, UnreadableLinesKeepTheLastReadingAndTrackingOn)
{
    QByteArray binary;
    std::mt19937 rng(5);
    for (const std::uint8_t byte : RandomBytes(rng, 4096))
        binary += static_cast<char>(byte == ',' ? ';' : byte);
    QByteArray tenMegabytes(10 * 1024 * 1024, 'x');
    QByteArray tenMegabytesOfLines;
    while (tenMegabytesOfLines.size() < 10 * 1024 * 1024)
        tenMegabytesOfLines += "12:00:00 no commas on this line at all\r\n";
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", ""},
        {"only a carriage return", "\r"},
        {"only line ends", "\r\n\r\n\n"},
        {"no commas", "12:00:00 204.6 27.5 Moon\r\n"},
        {"one comma", "12:00:00,204.6\r\n"},
        {"commas only", ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n"},
        {"binary without commas", binary},
        {"nul bytes", QByteArray(64, '\0')},
        {"nul inside the azimuth", QByteArray("12:00:00,20\0" "4.6,27.5,Moon\r", 26)},
        {"numbers beyond a double", "x,1e999,1e999,Moon\r"},
        {"numbers beyond the degrees", "x,9e99,-9e99,Moon\r"},
        {"the numbers past byte 39", "12:00:00.000000000000000000000000000000,204.6,27.5,Moon\r"},
        {"10 MB without a line end", tenMegabytes},
        {"10 MB of lines without commas", tenMegabytesOfLines},
    };
    startWithAGoodReading();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.bytes);
        service.Timer2Timer();  // the strict mock fails on any go-to
        EXPECT_TRUE(service.isTracking());
        EXPECT_TRUE(service.timer()->isActive());
        EXPECT_EQ(service.readout(), "205° / 28°");
    }

    // The planning program writes a good line again: tracking carries on from it.
    write("12:00:01,210.4,30.2,Moon\r\n");
    EXPECT_CALL(sink, Nastav(3, 210, 30));
    service.Timer2Timer();
    EXPECT_EQ(service.readout(), "210° / 30°");
}

TEST_F(BrokenTrackingFileTest, SomethingOtherThanAFileEndsTracking)
{
    const struct {
        const char* name;
        std::function<bool(const QString& path)> make;
    } cases[] = {
        {"a directory", [](const QString& p) { return QDir().mkpath(p); }},
        {"a link to nothing", [](const QString& p) { return QFile::link(p + ".gone", p); }},
        {"a link to itself", [](const QString& p) { return QFile::link(p, p); }},
        {"a link to a directory",
         [this](const QString& p) { return QFile::link(dir.path(), p); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startWithAGoodReading();
        ASSERT_TRUE(QFile::remove(path()));
        ASSERT_TRUE(c.make(path()));
        service.racking1Click();
        EXPECT_FALSE(service.menuState().moonSkedEnabled);
        service.Timer2Timer();
        EXPECT_FALSE(service.isTracking());
        EXPECT_FALSE(service.timer()->isActive());
        EXPECT_EQ(service.readout(), "OFF");
        // A link goes by itself; only a real directory is emptied.
        if (::unlink(QFile::encodeName(path()).constData()) != 0) {
            ASSERT_TRUE(QDir(path()).removeRecursively());
        }
    }
}

TEST_F(BrokenTrackingFileTest, FileThatCannotBeOpenedIsSkippedUntilItCanBe)
{
    startWithAGoodReading();
    write("12:00:01,100,10,Moon\r\n");
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    if (::access(QFile::encodeName(path()).constData(), R_OK) == 0)
        GTEST_SKIP() << "file rights are not enforced for this user";
    service.Timer2Timer();
    EXPECT_TRUE(service.isTracking());
    EXPECT_EQ(service.readout(), "205° / 28°");

    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_CALL(sink, Nastav(3, 100, 10));
    service.Timer2Timer();
    EXPECT_EQ(service.readout(), "100° / 10°");
}

// ---------------------------------------------------------------------------------------------
// Settings files

class DamagedSettingsFileTest : public test::SettingsFileTest {
protected:
    // A store as the program leaves it after the operator set a callsign, a locator and a preset.
    QByteArray operatorsFile()
    {
        QtSettingsStore store(path());
        test::FakeSettingsStore messages;
        const Settings first = LoadSettings(store, messages, test::kFolders);
        PreferenceValues values = test::Unchanged(first);
        values.Znacka = "OK1ABC";
        values.Lokator = "JO70FD";
        values.Language = 1;
        values.PresetName[2] = "Moon rise";
        values.PresetAzimuth[2] = 95;
        SavePreferences(store, messages, first, values);
        const QByteArray bytes = contents();
        QFile::remove(path());
        return bytes;
    }
};

TEST_F(DamagedSettingsFileTest, ProgramRunsOnWhatCanBeReadAndKeepsTheCallsign)
{
    const QByteArray good = operatorsFile();
    ASSERT_TRUE(good.contains("Znacka=OK1ABC"));
    ASSERT_TRUE(good.contains("RegVersion=1.09"));
    const int afterCallsign = good.indexOf("Znacka=OK1ABC") + 13;
    const int insidePresets = good.indexOf("preset_2=Moon rise") + 13;  // "... rise" is lost

    QByteArray garbage;
    std::mt19937 rng(11);
    for (const std::uint8_t byte : RandomBytes(rng, 2048))
        garbage += static_cast<char>(byte);

    struct Case {
        const char* name;
        QByteArray bytes;
        bool versionMessage;  // the layout is taken as another version's and rewritten
        std::string callsign;
        std::string locator;
        int language;
        std::string preset2;
    };
    const Case cases[] = {
        {"binary garbage", garbage, true, "", "JN89XX", 0, "Preset 2"},
        {"garbage around a callsign line", garbage + "\n[General]\nZnacka=OK1ABC\n" + garbage, true, "OK1ABC",
         "JN89XX", 0, "Preset 2"},
        {"empty", "", true, "", "JN89XX", 0, "Preset 2"},
        {"cut inside the preset names", good.left(insidePresets), false, "OK1ABC", "JO70FD", 1,
         "Moon"},
        {"cut right after the callsign", good.left(afterCallsign), false, "OK1ABC", "JO70FD", 1,
         "Preset 2"},
        {"cut inside the version line", good.left(good.indexOf("RegVersion=1.09") + 14), true,
         "", "JN89XX", 0, "Preset 2"},
        {"CR LF line ends", QByteArray(good).replace("\n", "\r\n"), false, "OK1ABC", "JO70FD", 1,
         "Moon rise"},
        {"byte order mark", "\xEF\xBB\xBF" + good, false, "OK1ABC", "JO70FD", 1, "Moon rise"},
        {"duplicated keys: the last one counts",
         good + "\n[General]\nZnacka=OK1XYZ\nLanguage=0\nLanguage=1\npreset_2=Second\n", false,
         "OK1XYZ", "JO70FD", 1, "Second"},
        {"the version given twice, the last one old", good + "\n[General]\nRegVersion=1.08\n", true,
         "OK1ABC", "JN89XX", 0, "Preset 2"},
        {"a nul byte and garbage inside the callsign's line",
         QByteArray(good).replace("Znacka=OK1ABC", QByteArray("Znacka=OK1\0\xff\xfe", 13)), false,
         std::string("OK1\0\xEF\xBF\xBD\xEF\xBF\xBD", 10), "JO70FD", 1, "Moon rise"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.bytes);
        test::FakeSettingsStore messages;
        QtSettingsStore store(path());
        Settings s = LoadSettings(store, messages, test::kFolders);
        EXPECT_EQ(messages.Messages().size(), c.versionMessage ? 1u : 0u);
        EXPECT_EQ(s.Znacka, c.callsign);
        EXPECT_EQ(s.Lokator, c.locator);
        EXPECT_EQ(s.Language, c.language);
        EXPECT_EQ(s.PresetName[2], c.preset2);

        // The program closes: what it read is still there at the next start, without a message.
        ApplyStartupRules(s);
        SaveWindowState(store, s, {999, 624, false});
        test::FakeSettingsStore quiet;
        QtSettingsStore reopened(path());
        const Settings again = LoadSettings(reopened, quiet, test::kFolders);
        EXPECT_TRUE(quiet.Messages().empty());
        EXPECT_EQ(again.Znacka, s.Znacka);
        EXPECT_EQ(again.Lokator, s.Lokator);
        EXPECT_EQ(again.Language, s.Language);
        EXPECT_EQ(again.PresetName, s.PresetName);
        EXPECT_EQ(again.PresetAzimuth, s.PresetAzimuth);
        QFile::remove(path());
    }
}

TEST_F(DamagedSettingsFileTest, ValuesOfTheWrongTypeTakeTheirDefaultsAndTheRestIsKept)
{
    write("[General]\n"
          "RegVersion=1.09\n"
          "Znacka=OK1ABC\n"
          "Port=1.5\n"
          "Zoom=\n"
          "Language=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)\n"
          "View=\"1\"\n"
          "SizeX=0x300\n"
          "SizeY=4 5\n"
          "SizeM=true\n"
          "Lokator=JO70FD\n"
          "preset_a1=-2147483649\n"
          "preset_a2=2147483647\n"
          "preset_a3=99999999999\n"
          "preset_e1=12, 13\n"
          "preset_1=\"unterminated\n"
          "preset_3=@ByteArray(abc)\n");
    test::FakeSettingsStore messages;
    QtSettingsStore store(path());
    const Settings s = LoadSettings(store, messages, test::kFolders);
    EXPECT_TRUE(messages.log.empty());
    EXPECT_EQ(s.Znacka, "OK1ABC");
    EXPECT_EQ(s.Lokator, "JO70FD");
    EXPECT_EQ(s.Port, 1);
    EXPECT_EQ(s.Zoom, 10);
    EXPECT_EQ(s.Language, 0);
    EXPECT_EQ(s.View, 1);  // quotes only protect blanks
    EXPECT_EQ(s.SizeX, 999);
    EXPECT_EQ(s.SizeY, 624);
    EXPECT_EQ(s.SizeM, 0);
    EXPECT_EQ(s.PresetAzimuth[1], 0);
    EXPECT_EQ(s.PresetAzimuth[2], 2147483647);
    EXPECT_EQ(s.PresetAzimuth[3], 0);  // beyond 32 bits: not cut down to its low bits
    EXPECT_EQ(s.PresetElevation[1], 0);
    EXPECT_EQ(s.PresetName[1], "unterminated");
    EXPECT_EQ(s.PresetName[2], "Preset 2");
    EXPECT_EQ(s.PresetName[3], "@ByteArray(abc)");  // kept as the text it is
}

}  // namespace
}  // namespace vantora
