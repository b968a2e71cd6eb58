// The two UDP inputs on real loopback sockets: literal datagrams in, their effect on the
// station, and the replies (bytes and destination port) out; the Accept-from filter, a flood,
// oversized datagrams, a port held by another program, and the Network window's sections.
#include "net/ui/udp_inputs.h"
#include "net/listen_clash.h"
#include "net/ui/n1mm_input.h"
#include "net/ui/network_dialog.h"
#include "net/ui/pst_input.h"
#include "net/ui/udp_input_sections.h"
#include "settings/translate.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/recording_station.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QSpinBox>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace vantora;
using vantora::test::FakeSettingsStore;
using vantora::test::RecordingStation;
using vantora::test::WaitFor;

namespace {

const QHostAddress kLoopback(QHostAddress::LocalHost);

// A socket of the test on a free loopback port, to send from and to receive replies on.
struct Peer {
    QUdpSocket socket;
    Peer() { socket.bind(kLoopback, 0); }
    explicit Peer(quint16 port) { socket.bind(kLoopback, port); }
    bool bound() const { return socket.state() == QAbstractSocket::BoundState; }
    quint16 port() const { return socket.localPort(); }
    void send(const QByteArray& datagram, quint16 port) { socket.writeDatagram(datagram, kLoopback, port); }
    // The next datagram within `waitMs`, or an invalid one.
    QNetworkDatagram receive(int waitMs = 3000)
    {
        if (!socket.hasPendingDatagrams() && !WaitFor([&] { return socket.hasPendingDatagrams(); }, waitMs))
            return {};
        return socket.receiveDatagram();
    }
};

// A PST input on port P with the test's peer bound on P + 1, where replies go.
struct PstRig {
    RecordingStation station;
    PstInput input{station};
    std::unique_ptr<Peer> peer;
    int handled = 0;  // acted on
    int read = 0;     // taken from the socket

    explicit PstRig(const std::string& acceptFrom = "")
    {
        QObject::connect(&input, &PstInput::datagramHandled, [this] { ++handled; });
        QObject::connect(&input.socket(), &UdpInputSocket::datagramRead, [this](bool) { ++read; });
        station.beamAzimuth = 211;
        station.elevation = 45;
        for (int attempt = 0; attempt < 20 && !input.socket().isListening(); ++attempt) {
            peer = std::make_unique<Peer>();
            if (peer->port() < 2)
                continue;
            input.apply({true, static_cast<std::uint16_t>(peer->port() - 1), acceptFrom});
        }
    }
    quint16 port() const { return input.socket().port(); }
    bool sendAndWait(const QByteArray& datagram)
    {
        const int before = handled;
        peer->send(datagram, port());
        return WaitFor([&] { return handled > before; }, 3000);
    }
    bool sendAndWaitRead(const QByteArray& datagram)
    {
        const int before = read;
        peer->send(datagram, port());
        return WaitFor([&] { return read > before; }, 3000);
    }
};

TEST(PstInput, OffByDefault)
{
    RecordingStation station;
    PstInput input(station);
    input.apply(PstInputSettings{});
    EXPECT_FALSE(input.socket().isListening());
    EXPECT_EQ(input.socket().statusText(), "Switched off");
}

TEST(PstInput, QueriesAreAnsweredOnTheListenPortPlusOne)
{
    PstRig rig;
    ASSERT_TRUE(rig.input.socket().isListening());
    EXPECT_EQ(rig.input.socket().statusText(), QStringLiteral("Listening on 0.0.0.0:%1").arg(rig.port()));

    const std::pair<QByteArray, QByteArray> cases[] = {
        {"<PST>AZ?</PST>", "AZ:211\r"},
        {"<PST>EL?</PST>", "EL:45\r"},
    };
    for (const auto& [query, reply] : cases) {
        rig.peer->send(query, rig.port());
        const QNetworkDatagram answer = rig.peer->receive();
        ASSERT_TRUE(answer.isValid()) << query.constData();
        EXPECT_EQ(answer.data(), reply);
        EXPECT_EQ(answer.destinationPort(), rig.port() + 1);
        EXPECT_EQ(answer.senderPort(), rig.port());
    }
}

TEST(PstInput, CommandsReachTheStation)
{
    PstRig rig;
    ASSERT_TRUE(rig.input.socket().isListening());
    const QByteArray datagrams[] = {
        "<PST><AZIMUTH>123.400000.2</AZIMUTH></PST>", "<PST><ELEVATION>30.000000.2</ELEVATION></PST>",
        "<PST><AZIMUTH>200</AZIMUTH><ELEVATION>20</ELEVATION></PST>", "<PST><STOP>1</STOP></PST>",
        "<PST><PARK>1</PARK></PST>", "<PST><TRACK>0</TRACK></PST>", "<PST><QRA>IO91WM</QRA></PST>",
    };
    for (const QByteArray& datagram : datagrams)
        ASSERT_TRUE(rig.sendAndWait(datagram)) << datagram.constData();
    const std::vector<std::string> expected = {"target 1 123 0", "target 2 0 30", "target 3 200 20", "stop",
                                               "park", "tracking off", "locator IO91WM"};
    EXPECT_EQ(rig.station.calls, expected);
    EXPECT_FALSE(rig.peer->socket.hasPendingDatagrams());  // commands are not answered
}

TEST(PstInput, AcceptFromAdmitsOnlyThatAddressOrSubnet)
{
    struct Case {
        const char* acceptFrom;
        bool listens;
        bool answered;
    };
    const Case cases[] = {
        {"127.0.0.1", true, true},
        {"127.0.0.0/8", true, true},
        {"10.0.0.0/8", true, false},
        {"192.168.1.20", true, false},
        {"127.0.0.300", false, false},
    };
    for (const Case& c : cases) {
        PstRig rig(c.acceptFrom);
        ASSERT_EQ(rig.input.socket().isListening(), c.listens) << c.acceptFrom;
        if (!c.listens) {
            EXPECT_TRUE(rig.input.socket().statusText().contains("\"Accept from\" is not an IPv4 address or subnet"))
                << rig.input.socket().statusText().toStdString();
            continue;
        }
        rig.peer->send("<PST><AZIMUTH>10</AZIMUTH></PST>", rig.port());
        rig.peer->send("<PST>AZ?</PST>", rig.port());
        const QNetworkDatagram answer = rig.peer->receive(c.answered ? 3000 : 500);
        EXPECT_EQ(answer.isValid(), c.answered) << c.acceptFrom;
        EXPECT_EQ(rig.station.calls.size(), c.answered ? 1u : 0u) << c.acceptFrom;
    }
}

TEST(PstInput, AFloodAndOversizedDatagramsAreTakenWithoutHarm)
{
    PstRig rig;
    ASSERT_TRUE(rig.input.socket().isListening());
    // More than one wake-up takes: the rest must still be read. (Kept below what the system's
    // default receive buffer holds of such datagrams, about 250, so none is dropped there.)
    constexpr int kFlood = 200;
    static_assert(kFlood > 3 * UdpInputSocket::kDatagramsPerWakeup);
    for (int i = 0; i < kFlood; ++i)
        rig.peer->send(QByteArray("<PST><AZIMUTH>") + QByteArray::number(i % 360) + "</AZIMUTH></PST>", rig.port());
    EXPECT_TRUE(WaitFor([&] { return rig.handled >= kFlood; }, 10000)) << rig.handled;

    // The largest datagram IPv4 carries, of junk, then of unclosed tags, then a command padded
    // beyond the size a command can have: read and dropped.
    rig.station.calls.clear();
    const int handledBefore = rig.handled;
    QByteArray junk(65507, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>(i * 7919 % 256);
    ASSERT_TRUE(rig.sendAndWaitRead(junk));
    QByteArray unclosed = "<PST>";
    while (unclosed.size() < 65000)
        unclosed += "<AZIMUTH><ELEVATION><QRA>";
    ASSERT_TRUE(rig.sendAndWaitRead(unclosed));
    const QByteArray command = "<PST><AZIMUTH>5</AZIMUTH></PST>";
    QByteArray padded = command + QByteArray(UdpInputSocket::kDatagramMax + 1 - command.size(), ' ');
    ASSERT_TRUE(rig.sendAndWaitRead(padded));
    EXPECT_EQ(rig.handled, handledBefore);
    EXPECT_TRUE(rig.station.calls.empty());

    padded.chop(1);  // at the limit: taken
    ASSERT_TRUE(rig.sendAndWait(padded));
    EXPECT_EQ(rig.station.calls, std::vector<std::string>{"target 1 5 0"});
}

TEST(PstInput, APortHeldByAnotherProgramIsReported)
{
    Peer holder;  // bound without sharing
    ASSERT_TRUE(holder.bound());
    RecordingStation station;
    PstInput input(station);
    input.apply({true, holder.port(), ""});
    EXPECT_FALSE(input.socket().isListening());
    EXPECT_TRUE(input.socket().statusText().startsWith(QStringLiteral("Cannot listen on 0.0.0.0:%1: ").arg(holder.port())))
        << input.socket().statusText().toStdString();
}

// ---------------------------------------------------------------------------------------------
// N1MM Logger+

struct N1mmRig {
    RecordingStation station;
    N1mmInput input{station};
    Peer logger;         // sends the commands
    Peer statusReceiver; // where the logger listens for status
    int handled = 0;

    explicit N1mmRig(const std::string& rotor = "", const std::string& acceptFrom = "")
    {
        QObject::connect(&input, &N1mmInput::datagramHandled, [this](bool) { ++handled; });
        input.apply({true, 0, rotor, statusReceiver.port(), acceptFrom});
    }
    quint16 port() const { return input.socket().port(); }
    bool sendAndWait(const QByteArray& datagram)
    {
        const int before = handled;
        logger.send(datagram, port());
        return WaitFor([&] { return handled > before; }, 3000);
    }
};

const QByteArray kGoTo = "<N1MMRotor><rotor>Tribander</rotor><goazi>123.4</goazi><offset>10.0</offset>"
                         "<bidirectional>0</bidirectional><freqband>14.0</freqband></N1MMRotor>";
const QByteArray kStop = "<N1MMRotor><stop><rotor>Tribander</rotor><freqband>21.0</freqband></stop></N1MMRotor>";

TEST(N1mmInput, GoToAndStopAreAnsweredWithAStatusOnTheStatusPort)
{
    N1mmRig rig("tribander");
    ASSERT_TRUE(rig.input.socket().isListening());
    rig.station.beamAzimuth = 30;
    rig.logger.send(kGoTo, rig.port());
    const QNetworkDatagram status = rig.statusReceiver.receive();
    ASSERT_TRUE(status.isValid());
    EXPECT_EQ(status.data(), "tribander @ 300");
    EXPECT_EQ(status.destinationPort(), rig.statusReceiver.port());
    EXPECT_EQ(rig.station.calls, std::vector<std::string>{"target 1 133 0"});

    rig.logger.send(kStop, rig.port());
    ASSERT_TRUE(rig.statusReceiver.receive().isValid());
    EXPECT_EQ(rig.station.calls.back(), "stop");

    // While the rotator moves, every second.
    rig.station.beamAzimuth = 146;
    const QNetworkDatagram moving = rig.statusReceiver.receive(5000);
    ASSERT_TRUE(moving.isValid());
    EXPECT_EQ(moving.data(), "tribander @ 1460");
}

TEST(N1mmInput, OtherRotorsAndOtherSendersGetNothing)
{
    {
        N1mmRig rig("Beam40");
        ASSERT_TRUE(rig.sendAndWait(kGoTo));
        ASSERT_TRUE(rig.sendAndWait(kStop));
        EXPECT_TRUE(rig.station.calls.empty());
        EXPECT_FALSE(rig.statusReceiver.receive(1500).isValid());  // no status to a stranger
    }
    {
        N1mmRig rig("", "192.168.1.0/24");
        ASSERT_TRUE(rig.input.socket().isListening());
        rig.logger.send(kGoTo, rig.port());
        EXPECT_FALSE(rig.statusReceiver.receive(1000).isValid());
        EXPECT_TRUE(rig.station.calls.empty());
    }
    {
        // No rotor name configured: the status names the rotor that asked, so the logger shows
        // the heading on that antenna.
        N1mmRig rig("", "127.0.0.1");
        rig.logger.send(kGoTo, rig.port());
        const QNetworkDatagram status = rig.statusReceiver.receive();
        ASSERT_TRUE(status.isValid());
        EXPECT_EQ(status.data(), "Tribander @ 0");
    }
}

TEST(N1mmInput, SharesItsPortOnlyWhenAskedTo)
{
    // Another program on this computer that listens to the same broadcasts and binds shared.
    const auto bindShared = [](QUdpSocket& socket, quint16 port) {
        return socket.bind(QHostAddress::AnyIPv4, port,
                           QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    };
    {
        QUdpSocket other;
        ASSERT_TRUE(bindShared(other, 0));
        RecordingStation station;
        N1mmInput input(station);
        N1mmInputSettings settings{true, other.localPort(), "", 13010, ""};
        input.apply(settings);  // exclusive by default: the port is taken
        EXPECT_FALSE(input.socket().isListening());
        settings.shareAddress = true;
        input.apply(settings);
        EXPECT_TRUE(input.socket().isListening()) << input.socket().statusText().toStdString();
    }
    {
        // Bound exclusively first, no later program can bind the port and take the datagrams,
        // however it asks; shared on request, it can.
        RecordingStation station;
        N1mmInput input(station);
        N1mmInputSettings settings{true, 0, "", 13010, ""};
        input.apply(settings);
        ASSERT_TRUE(input.socket().isListening());
        QUdpSocket thief;
        EXPECT_FALSE(bindShared(thief, input.socket().port()));
        QUdpSocket plain;
        EXPECT_FALSE(plain.bind(QHostAddress::AnyIPv4, input.socket().port()));

        settings.port = input.socket().port();
        settings.shareAddress = true;
        input.apply(settings);
        ASSERT_TRUE(input.socket().isListening());
        QUdpSocket sharer;
        EXPECT_TRUE(bindShared(sharer, input.socket().port()));
    }
}

// ---------------------------------------------------------------------------------------------
// The Network window's sections

TEST(UdpInputSections, ApplyStoresAndListensLoadShowsTheStoredValues)
{
    FakeSettingsStore store;
    store.values["N1mmRotor"] = std::string("Tribander");
    RecordingStation station;
    UdpInputs inputs(store, station);
    EXPECT_FALSE(inputs.n1mm().socket().isListening());
    EXPECT_FALSE(inputs.pst().socket().isListening());

    N1mmSection n1mm(inputs, {});
    n1mm.load();
    EXPECT_EQ(n1mm.findChild<QLineEdit*>("N1mmRotor")->text(), "Tribander");
    EXPECT_EQ(n1mm.findChild<QSpinBox*>("N1mmPort")->value(), 12040);
    EXPECT_EQ(n1mm.findChild<QSpinBox*>("N1mmStatusPort")->value(), 13010);
    EXPECT_FALSE(n1mm.findChild<QCheckBox*>("N1mmEnabled")->isChecked());

    Peer free1;
    Peer free2;
    const quint16 n1mmPort = free1.port();
    const quint16 pstPort = free2.port();
    free1.socket.close();
    free2.socket.close();

    n1mm.findChild<QCheckBox*>("N1mmEnabled")->setChecked(true);
    n1mm.findChild<QSpinBox*>("N1mmPort")->setValue(n1mmPort);
    n1mm.findChild<QLineEdit*>("N1mmAcceptFrom")->setText(" 192.168.1.0/24 ");
    n1mm.apply();
    n1mm.refreshStatus();
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("N1mmEnabled")), 1);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("N1mmPort")), n1mmPort);
    EXPECT_EQ(std::get<std::string>(store.values.at("N1mmAcceptFrom")), "192.168.1.0/24");
    EXPECT_EQ(n1mm.findChild<QLabel*>("N1mmStatus")->text(), QStringLiteral("Listening on 0.0.0.0:%1").arg(n1mmPort));

    PstSection pst(inputs, {});
    pst.load();
    pst.findChild<QCheckBox*>("PstEnabled")->setChecked(true);
    pst.findChild<QSpinBox*>("PstPort")->setValue(pstPort);
    pst.apply();
    EXPECT_TRUE(inputs.pst().socket().isListening());
    EXPECT_TRUE(inputs.n1mm().socket().isListening());  // untouched by the other section
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("PstPort")), pstPort);

    // What is stored is what the next start reads.
    UdpInputs again(store, station);
    EXPECT_EQ(again.settings(), inputs.settings());
}

TEST(UdpInputSections, OkAgainRetriesAPortThatWasTaken)
{
    FakeSettingsStore store;
    RecordingStation station;
    UdpInputs inputs(store, station);
    auto holder = std::make_unique<Peer>();
    UdpInputSettings settings;
    settings.pst = {true, holder->port(), ""};
    inputs.change(settings);
    EXPECT_FALSE(inputs.pst().socket().isListening());

    holder.reset();  // the other program has ended
    inputs.change(settings);
    EXPECT_TRUE(inputs.pst().socket().isListening()) << inputs.pst().socket().statusText().toStdString();
}

TEST(UdpInputSections, EveryCaptionHasACzechText)
{
    FakeSettingsStore store;
    RecordingStation station;
    UdpInputs inputs(store, station);
    std::set<std::string> asked;
    const StatusTranslateFn recording = [&asked](const std::string& english) {
        asked.insert(english);
        return Translate(1, english);
    };
    N1mmSection n1mm(inputs, recording);
    PstSection pst(inputs, recording);
    inputs.change({{true, 1, "", 13010, "bad"}, {false, 12000, ""}});
    n1mm.refreshStatus();
    pst.refreshStatus();
    ASSERT_GE(asked.size(), 10u);
    for (const std::string& english : asked) {
        if (english == "Port:")  // the same word in Czech
            continue;
        EXPECT_NE(Translate(1, english), english) << english;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The Network window's OK over all sections

namespace {

quint16 FreeUdpPort()
{
    Peer probe;
    const quint16 port = probe.port();
    probe.socket.close();
    return port;
}

}  // namespace

TEST(ListenClash, SameProtocolAndPortOnly)
{
    const std::vector<PortClaim> claims = {
        {"UDP", 12040}, {"UDP", 12000}, {"TCP", 12040}, {"UDP", 12040}, {"TCP", 4533}};
    const auto clashes = FindPortClashes(claims);
    ASSERT_EQ(clashes.size(), claims.size());
    const std::optional<std::size_t> expected[] = {3, std::nullopt, std::nullopt, 0, std::nullopt};
    for (std::size_t i = 0; i < claims.size(); ++i)
        EXPECT_EQ(clashes[i], expected[i]) << i;
    EXPECT_TRUE(FindPortClashes({}).empty());
}

// With both inputs on one port, the PST input holds it and N1MM cannot listen. The operator moves
// PST and presses OK: N1MM listens too, though its own values did not change.
TEST(NetworkWindow, OkListensAgainOnceAnotherSectionLetGoOfThePort)
{
    FakeSettingsStore store;
    RecordingStation station;
    UdpInputs inputs(store, station);
    const quint16 shared = FreeUdpPort();
    const quint16 other = FreeUdpPort();
    UdpInputSettings settings;
    settings.pst = {true, shared, ""};
    inputs.change(settings);
    settings.n1mm.enabled = true;  // as a settings file written by hand could have it
    settings.n1mm.port = shared;
    inputs.change(settings);
    ASSERT_TRUE(inputs.pst().socket().isListening());
    ASSERT_FALSE(inputs.n1mm().socket().isListening());

    NetworkDialog dialog({}, {});
    dialog.addSection(new N1mmSection(inputs, {}));
    dialog.addSection(new PstSection(inputs, {}));
    dialog.show();
    EXPECT_EQ(dialog.listenProblems().size(), 1);
    dialog.findChild<QSpinBox*>("PstPort")->setValue(other);
    dialog.Button1Click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(inputs.pst().socket().isListening());
    EXPECT_EQ(inputs.pst().socket().port(), other);
    EXPECT_TRUE(inputs.n1mm().socket().isListening()) << inputs.n1mm().socket().statusText().toStdString();
    EXPECT_TRUE(dialog.listenProblems().isEmpty());
}

// Two inputs on one protocol and port are refused at OK: nothing is stored or applied, and each
// field says which other input holds its port, in the language in force.
TEST(NetworkWindow, TwoInputsOnOnePortAreRefusedWithAMessageBesideEachField)
{
    struct Case {
        int language;
        QString n1mmSays;  // "%1": the port
        QString pstSays;
    };
    const Case cases[] = {
        {0, "UDP port %1 is also used by PstRotator-style commands (UDP)",
         "UDP port %1 is also used by N1MM Logger+ rotor datagrams (UDP)"},
        {1, QString::fromUtf8("UDP port %1 používá také Příkazy ve stylu PstRotator (UDP)"),
         QString::fromUtf8("UDP port %1 používá také Datagramy rotátoru N1MM Logger+ (UDP)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        FakeSettingsStore store;
        RecordingStation station;
        UdpInputs inputs(store, station);
        const StatusTranslateFn translate = [&c](const std::string& english) { return Translate(c.language, english); };
        NetworkDialog dialog(translate, {});
        dialog.addSection(new N1mmSection(inputs, translate));
        dialog.addSection(new PstSection(inputs, translate));
        dialog.show();
        const quint16 port = FreeUdpPort();
        for (const char* prefix : {"N1mm", "Pst"}) {
            dialog.findChild<QCheckBox*>(QString(prefix) + "Enabled")->setChecked(true);
            dialog.findChild<QSpinBox*>(QString(prefix) + "Port")->setValue(port);
        }
        dialog.Button1Click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(inputs.settings(), UdpInputSettings{});
        EXPECT_FALSE(inputs.n1mm().socket().isListening());
        EXPECT_TRUE(store.log.empty());
        QLabel* n1mmProblem = dialog.findChild<QLabel*>("N1mmPortProblem");
        QLabel* pstProblem = dialog.findChild<QLabel*>("PstPortProblem");
        ASSERT_TRUE(n1mmProblem && pstProblem);
        EXPECT_FALSE(n1mmProblem->isHidden());
        EXPECT_EQ(n1mmProblem->text(), c.n1mmSays.arg(port));
        EXPECT_EQ(pstProblem->text(), c.pstSays.arg(port));

        // Another port for PST: accepted, both listen, the messages are gone.
        dialog.findChild<QSpinBox*>("PstPort")->setValue(FreeUdpPort());
        dialog.Button1Click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(n1mmProblem->isHidden());
        EXPECT_TRUE(pstProblem->isHidden());
        EXPECT_TRUE(inputs.n1mm().socket().isListening());
        EXPECT_TRUE(inputs.pst().socket().isListening());
    }
}
