// The program and the simulated unit as separate processes, commanded by UDP datagrams as a
// contest logger and a PstRotator client send them: each kind of go-to reaches the unit, the
// replies come back to the ports those programs listen on, and a go-to ends tracking.
#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QThread>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

const QHostAddress kLoopback(QHostAddress::LocalHost);

quint16 FreeUdpPort()
{
    QUdpSocket probe;
    probe.bind(kLoopback, 0);
    return probe.localPort();
}

class UdpInputsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(logger.bind(kLoopback, 0));
        ASSERT_TRUE(loggerStatus.bind(kLoopback, 0));
        // The PST client listens on the program's PST port + 1.
        for (int attempt = 0; attempt < 20 && pstPort == 0; ++attempt) {
            QUdpSocket candidate;
            if (!candidate.bind(kLoopback, 0) || candidate.localPort() < 2)
                continue;
            const quint16 port = candidate.localPort();
            candidate.close();
            if (pstClient.bind(kLoopback, port))
                pstPort = port - 1;
        }
        ASSERT_NE(pstPort, 0);
        n1mmPort = FreeUdpPort();
        e2e.writeSettings({"RegVersion=1.09", "Lokator=JN89XX", "Znacka=OK1TST",
                           "WSJT=" + QDir(e2e.dir()).filePath("wsjt") + "/", "N1mmEnabled=1",
                           QStringLiteral("N1mmPort=%1").arg(n1mmPort),
                           QStringLiteral("N1mmStatusPort=%1").arg(loggerStatus.localPort()), "PstEnabled=1",
                           QStringLiteral("PstPort=%1").arg(pstPort), "PstAcceptFrom=127.0.0.0/8"});
        ASSERT_TRUE(e2e.startUnit({"--az-speed", "60", "--el-speed", "30"}));
        ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
        ASSERT_TRUE(WaitFor([&] { return e2e.tcp("$00") == "$00#000@"; }));  // the first report is in
    }

    bool unitReaches(int position1, std::optional<int> position2 = std::nullopt)
    {
        return WaitFor([&] {
            const auto truth = e2e.unitTruth();
            return truth && truth->position1 == position1 && (!position2 || truth->position2 == *position2);
        });
    }

    // The next datagram on `socket` that satisfies `wanted`.
    QByteArray receiveUntil(QUdpSocket& socket, const std::function<bool(const QByteArray&)>& wanted)
    {
        QByteArray found;
        WaitFor([&] {
            while (socket.hasPendingDatagrams()) {
                const QByteArray data = socket.receiveDatagram().data();
                if (wanted(data)) {
                    found = data;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    EndToEnd e2e;
    QUdpSocket logger;
    QUdpSocket loggerStatus;
    QUdpSocket pstClient;
    quint16 n1mmPort = 0;
    quint16 pstPort = 0;
};

TEST_F(UdpInputsEndToEnd, N1mmGoToReachesTheUnitAndTheLoggerHearsTheHeading)
{
    logger.writeDatagram("<N1MMRotor><rotor>NAME</rotor><goazi>123,4</goazi><offset>10.0</offset>"
                         "<bidirectional>0</bidirectional><freqband>14.0</freqband></N1MMRotor>",
                         kLoopback, n1mmPort);
    ASSERT_TRUE(unitReaches(133));
    // No rotor name configured: the heading is reported for the rotor that asked.
    EXPECT_EQ(receiveUntil(loggerStatus, [](const QByteArray& d) { return d == "NAME @ 1330"; }), "NAME @ 1330");

    logger.writeDatagram("<N1MMRotor><rotor>NAME</rotor><goazi>350</goazi></N1MMRotor>", kLoopback, n1mmPort);
    ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth()->position1 > 200; }));
    logger.writeDatagram("<N1MMRotor><stop><rotor>NAME</rotor><freqband>21.0</freqband></stop></N1MMRotor>",
                         kLoopback, n1mmPort);
    QThread::msleep(500);
    const int stoppedAt = e2e.unitTruth()->position1;
    QThread::msleep(500);
    EXPECT_EQ(e2e.unitTruth()->position1, stoppedAt);
    EXPECT_NE(stoppedAt, 350);
}

TEST_F(UdpInputsEndToEnd, PstGoToReachesTheUnitAndQueriesAreAnsweredOnPortPlusOne)
{
    // One position as Hamlib's PstRotator backend sends it: two datagrams.
    pstClient.writeDatagram("<PST><AZIMUTH>200.000000.2</AZIMUTH></PST>", kLoopback, pstPort);
    pstClient.writeDatagram("<PST><ELEVATION>20.000000.2</ELEVATION></PST>", kLoopback, pstPort);
    ASSERT_TRUE(unitReaches(200, 20));
    // And both in one.
    pstClient.writeDatagram("<PST><AZIMUTH>150</AZIMUTH><ELEVATION>35</ELEVATION></PST>", kLoopback, pstPort);
    ASSERT_TRUE(unitReaches(150, 35));
    EXPECT_FALSE(WaitFor([&] { return pstClient.hasPendingDatagrams(); }, 500)) << "a set is not answered";

    ASSERT_TRUE(WaitFor([&] {
        pstClient.writeDatagram("<PST>AZ?</PST>", kLoopback, pstPort);
        QThread::msleep(50);
        return pstClient.hasPendingDatagrams() && pstClient.receiveDatagram().data() == "AZ:150\r";
    }));
    pstClient.writeDatagram("<PST>EL?</PST>", kLoopback, pstPort);
    const QNetworkDatagram elevation = [&] {
        WaitFor([&] { return pstClient.hasPendingDatagrams(); });
        return pstClient.receiveDatagram();
    }();
    EXPECT_EQ(elevation.data(), "EL:35\r");
    EXPECT_EQ(elevation.senderPort(), pstPort);
}

TEST_F(UdpInputsEndToEnd, AGoToDatagramEndsTracking)
{
    QDir(e2e.dir()).mkpath("wsjt");
    QFile azel(QDir(e2e.dir()).filePath("wsjt/azel.dat"));
    ASSERT_TRUE(azel.open(QIODevice::WriteOnly));
    azel.write("12:34:56,204.6,27.5,Moon,AzEl\n");
    azel.close();
    e2e.key("alt Right Right Right Down Down Return");  // Tracking, WSJT
    ASSERT_TRUE(unitReaches(205, 28));

    pstClient.writeDatagram("<PST><AZIMUTH>100</AZIMUTH></PST>", kLoopback, pstPort);
    ASSERT_TRUE(unitReaches(100, 28));
    QThread::msleep(3000);  // two tracking periods: tracking would have turned it back
    EXPECT_EQ(e2e.unitTruth()->position1, 100);
}

}  // namespace
}  // namespace vantora
