#pragma once
// The DTR and RTS lines of an open serial port, set in one request where the system allows it.
// Opening a serial device raises both (the system does that, not the program); the line driver
// lowers them again right after the open, and one request drops both at the same moment, which
// on a USB adapter is one transfer instead of two.

class QSerialPort;

namespace vantora {

// Sets DTR and RTS of the open `port`. Returns false when the device has no modem lines (a
// pseudo-terminal, an adapter without them); the port works all the same then.
bool SetModemLines(QSerialPort& port, bool dtr, bool rts);

}  // namespace vantora
