#pragma once
// The simulated unit's end of the line: the master side of a pseudo-terminal. The program opens the
// slave side as if it were a serial port.
//
// The master stays open for the whole run, so the program may close and reopen the slave at will.
// While no program holds the slave open, the master reports a hang-up on every poll and its reads
// fail with EIO; read() then just waits out its time-out instead of spinning.

#include "response_frames.h"

#include <chrono>
#include <string>

namespace vantora::sim {

class PtyTransport {
public:
    enum class ReadStatus { Data, Timeout, NoPeer, Error };

    PtyTransport() = default;
    ~PtyTransport();
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    // Creates the pseudo-terminal in raw mode at 19200 baud, 8 data bits, no parity, 1 stop bit,
    // no flow control. False (and `error`) when the system refuses.
    bool open(std::string& error);
    const std::string& slavePath() const { return m_slavePath; }

    // Makes `path` a symbolic link to the slave. An existing symbolic link is replaced; any other
    // existing file is left alone and refused.
    bool createLink(const std::string& path, std::string& error);
    // Removes the link made by createLink, if it still points to our slave.
    void removeLink();

    // Waits up to `timeout` for bytes from the program and appends them to `out`.
    ReadStatus read(std::chrono::milliseconds timeout, Bytes& out);
    // Writes `bytes` without ever blocking; false when nobody listens or the program's side is full
    // (what did not fit is lost, as on a serial line whose listener is not reading).
    bool write(const Bytes& bytes);

    // Whether a program held the slave open at the last read or write.
    bool peerPresent() const { return m_peerPresent; }

private:
    int m_master = -1;
    std::string m_slavePath;
    std::string m_link;
    bool m_peerPresent = false;
};

}  // namespace vantora::sim
