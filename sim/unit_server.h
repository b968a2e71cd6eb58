#pragma once
// The simulator's main loop: bytes from the pseudo-terminal become command frames, the model
// answers them, the fault injector decides what reaches the line and when.

#include "fault_injector.h"
#include "frame_extractor.h"
#include "pty_transport.h"
#include "unit_model.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <ostream>
#include <string>

namespace vantora::sim {

struct ServerStats {
    std::uint64_t framesReceived = 0;  // command frames with a valid checksum
    std::uint64_t framesIgnored = 0;   // of those, frames the unit did not answer
    std::uint64_t peerLosses = 0;      // times the program closed the line
};

class UnitServer {
public:
    using Clock = std::chrono::steady_clock;

    UnitServer(UnitModel& model, FaultInjector& faults, PtyTransport& transport);

    // One line per received command frame: milliseconds since the server started (three
    // decimals) and the command code, e.g. "1250.412 12". Flushed per line.
    void setTimingLog(std::ostream* log) { m_timingLog = log; }
    // The clock reading at which the timing log's times start.
    Clock::time_point started() const { return m_start; }
    // The unit's true state for observers outside the line (end-to-end tests): the file at `path`
    // holds "position1 position2 activeRotator mode2", replaced whenever one of them changes.
    void setStateFile(std::string path) { m_stateFile = std::move(path); }
    // Every frame in and out, as hex, for watching the conversation.
    void setTrace(std::ostream* trace) { m_trace = trace; }

    // One turn: moves the model to the present, writes what is due, waits up to `maxWait` for input
    // (less when a write falls due sooner) and answers what arrived.
    void step(std::chrono::milliseconds maxWait);
    // Turns until `stop` becomes non-zero (set from a signal handler).
    void run(const volatile std::sig_atomic_t& stop);

    const ServerStats& stats() const { return m_stats; }
    const FrameExtractor& extractor() const { return m_extractor; }

private:
    using Time = std::chrono::microseconds;

    Time elapsed() const;
    void advanceModelTo(Time now);
    void writeDue(Time now);
    void trace(const char* direction, const Bytes& bytes);
    void publishState();

    UnitModel& m_model;
    FaultInjector& m_faults;
    PtyTransport& m_transport;
    FrameExtractor m_extractor;
    Clock::time_point m_start;
    Time m_modelTime{0};
    bool m_hadPeer = false;
    std::ostream* m_timingLog = nullptr;
    std::ostream* m_trace = nullptr;
    std::string m_stateFile;
    std::string m_publishedState;
    ServerStats m_stats;
};

}  // namespace vantora::sim
