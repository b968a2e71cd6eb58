#include "unit_server.h"

#include <cstdio>
#include <fstream>

#include <algorithm>
#include <cstdio>

namespace vantora::sim {

UnitServer::UnitServer(UnitModel& model, FaultInjector& faults, PtyTransport& transport)
    : m_model(model), m_faults(faults), m_transport(transport), m_start(Clock::now())
{
}

UnitServer::Time UnitServer::elapsed() const
{
    return std::chrono::duration_cast<Time>(Clock::now() - m_start);
}

void UnitServer::advanceModelTo(Time now)
{
    if (now > m_modelTime) {
        m_model.advance(now - m_modelTime);
        m_modelTime = now;
    }
}

void UnitServer::trace(const char* direction, const Bytes& bytes)
{
    if (!m_trace)
        return;
    *m_trace << direction;
    for (std::uint8_t byte : bytes)
        *m_trace << ' ' << unsigned(byte);
    *m_trace << '\n' << std::flush;
}

void UnitServer::writeDue(Time now)
{
    for (const Bytes& bytes : m_faults.takeDue(now)) {
        trace("<", bytes);
        m_transport.write(bytes);
    }
}

void UnitServer::publishState()
{
    if (m_stateFile.empty())
        return;
    const PositionReport report = m_model.report();
    const std::string state = std::to_string(report.position1) + ' ' + std::to_string(report.position2) + ' ' +
                              std::to_string(report.activeRotator) + ' ' + std::to_string(report.rotator2Mode) + '\n';
    if (state == m_publishedState)
        return;
    // Written aside and renamed, so a reader never sees half a line.
    const std::string temporary = m_stateFile + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << state;
        if (!out)
            return;
    }
    if (std::rename(temporary.c_str(), m_stateFile.c_str()) == 0)
        m_publishedState = state;
}

void UnitServer::step(std::chrono::milliseconds maxWait)
{
    Time now = elapsed();
    advanceModelTo(now);
    publishState();
    writeDue(now);

    std::chrono::milliseconds wait = maxWait;
    if (const auto due = m_faults.nextDue()) {
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
        wait = std::clamp(untilDue, std::chrono::milliseconds(0), maxWait);
    }

    Bytes input;
    const auto status = m_transport.read(wait, input);
    if (status == PtyTransport::ReadStatus::NoPeer && m_hadPeer) {
        // The program closed the line: a half frame or a queued answer belongs to nobody now.
        m_extractor.reset();
        m_faults.clear();
        m_hadPeer = false;
        ++m_stats.peerLosses;
    }
    if (status != PtyTransport::ReadStatus::Data)
        return;
    m_hadPeer = true;

    now = elapsed();
    advanceModelTo(now);
    for (const Bytes& frame : m_extractor.feed(input.data(), input.size(), now)) {
        ++m_stats.framesReceived;
        if (m_timingLog) {
            char line[48];
            std::snprintf(line, sizeof line, "%.3f %u\n", std::chrono::duration<double, std::milli>(now).count(),
                          unsigned(frame[4]));
            *m_timingLog << line << std::flush;
        }
        trace(">", frame);
        if (auto response = m_model.handle(frame))
            m_faults.submit(std::move(*response), now);
        else
            ++m_stats.framesIgnored;
    }
    writeDue(now);
}

void UnitServer::run(const volatile std::sig_atomic_t& stop)
{
    while (!stop)
        step(std::chrono::milliseconds(50));
}

}  // namespace vantora::sim
