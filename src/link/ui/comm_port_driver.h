#pragma once
// The serial layer: one port to the control unit, written with a bounded wait and read by a
// 50 ms poll on the GUI thread that hands whatever arrived (at most one input queue's worth)
// to one receive handler. It knows nothing of frames.
//
// One owner per port: an open port is held exclusively (an advisory lock on the device that
// other programs honour, and the terminal's exclusive mode that refuses further opens), so that
// a second Vantora, desktop or headless, or another program never shares the unit's line. The
// lock is taken before the port is set up, so a busy port's line settings are left alone.

#include "link/commands.h"
#include "link/port_selection.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantora {

class TCommPortDriver : public QObject, public FrameSink, public SerialPortControl {
    Q_OBJECT
public:
    // Called synchronously from the receive poll with the bytes just read.
    using ReceiveDataHandler = std::function<void(const std::uint8_t* data, int size)>;
    // Device path of the 1-based port number; the default maps through PortDeviceName.
    using DeviceNameResolver = std::function<std::string(int portNumber)>;

    static constexpr int kComPortCount = 16;  // ComPort indexes 0..15 stand for COM1..COM16

    explicit TCommPortDriver(QObject* parent = nullptr);
    ~TCommPortDriver() override;

    bool Connect() override;
    void Disconnect() override;
    bool Connected() const override;
    int SendData(const std::uint8_t* data, int size) override;
    // Writes within `timeoutMs`; returns the bytes written. What could not be written by then
    // is discarded rather than queued behind later frames.
    int SendDataEx(const std::uint8_t* data, int size, int timeoutMs);
    void PausePolling() { ++m_rxPollingPauses; }
    void ContinuePolling() { --m_rxPollingPauses; }
    void FlushBuffers(bool inBuf, bool outBuf);
    // Starts the receive poll's period afresh from now (while the port is open). A sender that
    // starts its own 50 ms timer right after this shares the poll's wake-ups: both fall due
    // together, the receive poll first.
    void RestartReceivePoll();

    void SetOnReceiveData(ReceiveDataHandler handler) { m_onReceiveData = std::move(handler); }
    // Ignored while the port is open and for indexes outside 0..15; used by the next Connect.
    void SetComPort(int index) override;
    int ComPort() const { return m_comPort; }
    void SetDeviceNameResolver(DeviceNameResolver resolver) { m_deviceNameResolver = std::move(resolver); }
    // The device the next Connect opens (or the open one).
    QString DeviceName() const;
    // The device the 1-based port number stands for.
    std::string DeviceNameOf(int portNumber) const;

    // Whether the last Connect failed because another program (or another Vantora) holds the
    // device; false after a Connect that opened it or failed for another reason.
    bool OpenFailedBusy() const { return m_openFailedBusy; }

    int PollingPauses() const { return m_rxPollingPauses; }
    int OutputTimeout() const { return m_outputTimeout; }

Q_SIGNALS:
    // The open device failed (unplugged, or the other end went away) and was closed.
    void portLost();
    // A Connect opened the device, or could not.
    void portOpened();
    void portOpenFailed();
    // One receive poll ran (every 50 ms while the port is open), after it delivered what came.
    void receivePolled();

private:
    void PollReceive();
    void DeliverReceived();
    void OnPortError(QSerialPort::SerialPortError error);
    void ScheduleClose();
    void CloseLostPort();
    enum class Claim { Taken, Busy, Failed };
    Claim ClaimDevice();
    void ReleaseClaim();
    void OpenFailed(bool busy);

    QSerialPort m_port;
    QTimer m_pollTimer;
    int m_comPort = 0;                         // COM1
    qint32 m_baudRate = 19200;
    QSerialPort::DataBits m_dataBits = QSerialPort::Data8;
    QSerialPort::StopBits m_stopBits = QSerialPort::OneStop;
    QSerialPort::Parity m_parity = QSerialPort::NoParity;
    QSerialPort::FlowControl m_flowControl = QSerialPort::NoFlowControl;
    bool m_enableDtrOnOpen = false;            // DTR and RTS stay low
    int m_inBufSize = 100;                     // bytes; also the largest delivery
    int m_pollingDelay = 50;                   // ms between receive polls
    int m_outputTimeout = 100;                 // ms a send may wait for the line
    int m_rxPollingPauses = 0;                 // deliveries only while 0 or less
    std::vector<std::uint8_t> m_tempInBuffer;  // m_inBufSize bytes
    ReceiveDataHandler m_onReceiveData;
    DeviceNameResolver m_deviceNameResolver;
    bool m_configuring = false;                // modem-line requests a pseudo-terminal refuses
    bool m_closeScheduled = false;
    bool m_openFailedBusy = false;
    int m_claimFd = -1;                        // the device, locked for as long as it is open
    QString m_busyReported;                    // the device whose busy open stderr has told of
};

}  // namespace vantora
