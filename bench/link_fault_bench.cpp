// How soon a dead link shows, and how soon it heals: the real serial layer, poll and link-health
// monitor against the simulated unit on a pseudo-terminal, on the real clock.
//   LinkFault/SilenceToStale: from the unit's last answer to the stale verdict (target: 1.5 s).
//   LinkFault/DeviceBackToLive: from a lost device coming back to the first fresh report
//   (the port is tried every 2 s, so up to about 2 s by design).
// Each iteration's time is measured by hand; the figures are means over the iterations.

#include "../tests/support/pty_unit.h"
#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"
#include "link/ui/link_health_monitor.h"
#include "link/ui/link_receiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace vantora {
namespace {

class NoKeys : public LinkInputs {
public:
    ArrowKeys HeldArrowKeys() const override { return {}; }
    bool TargetBoxHoldsText() const override { return false; }
};

// The program's link as the main window runs it, without a window.
struct Link {
    explicit Link(const std::string& device)
    {
        m_device = device;
        port.SetDeviceNameResolver([this](int) { return m_device; });
        ConnectLinkReceiver(port, controller);
        monitor = std::make_unique<LinkHealthMonitor>(port, controller);
        port.Connect();
        poll.setTimerType(Qt::PreciseTimer);
        poll.setInterval(50);
        QObject::connect(&poll, &QTimer::timeout, [this] { controller.Timer1Timer(); });
        poll.start();
    }
    void setDevice(const std::string& device) { m_device = device; }

    NoKeys keys;
    LinkEvents events;
    TCommPortDriver port;
    LinkController controller{keys, port, events};
    std::unique_ptr<LinkHealthMonitor> monitor;
    QTimer poll;
    std::string m_device;
};

bool WaitUntil(const std::function<bool()>& done, int limitMs = 20000)
{
    return test::WaitFor(done, limitMs);
}

void BM_SilenceToStale(benchmark::State& state)
{
    for (auto _ : state) {
        sim::FaultConfig faults;
        faults.silenceAfter = std::chrono::milliseconds(1500);
        faults.silenceFor = std::chrono::seconds(60);
        test::PtyUnit unit({}, {}, faults);
        Link link(unit.path());
        if (!WaitUntil([&] { return !link.monitor->positionStale(); })) {
            state.SkipWithError("the link never came up");
            break;
        }
        // The last answer: no valid response for 300 ms while polling.
        QElapsedTimer sinceAnswer;
        std::uint64_t responses = link.controller.counters.validResponses;
        sinceAnswer.start();
        WaitUntil([&] {
            if (link.controller.counters.validResponses != responses) {
                responses = link.controller.counters.validResponses;
                sinceAnswer.restart();
            }
            return sinceAnswer.elapsed() >= 300;
        });
        WaitUntil([&] { return link.monitor->fault() == LinkFault::NoAnswer; });
        state.SetIterationTime(static_cast<double>(sinceAnswer.nsecsElapsed()) / 1e9);
    }
}

void BM_DeviceBackToLive(benchmark::State& state)
{
    int round = 0;
    for (auto _ : state) {
        auto unit = std::make_unique<test::PtyUnit>();
        Link link(unit->path());
        if (!WaitUntil([&] { return !link.monitor->positionStale(); })) {
            state.SkipWithError("the link never came up");
            break;
        }
        unit.reset();
        WaitUntil([&] { return link.monitor->fault() == LinkFault::PortLost; });
        // Back at a different moment of the retry period each time.
        QElapsedTimer pause;
        pause.start();
        const int waitMs = 300 + (round++ * 370) % 1700;
        WaitUntil([&] { return pause.elapsed() >= waitMs; });
        QElapsedTimer sinceBack;
        unit = std::make_unique<test::PtyUnit>();
        link.setDevice(unit->path());
        sinceBack.start();
        WaitUntil([&] { return !link.monitor->positionStale(); });
        state.SetIterationTime(static_cast<double>(sinceBack.nsecsElapsed()) / 1e9);
    }
}

BENCHMARK(BM_SilenceToStale)->Name("LinkFault/SilenceToStale")->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeviceBackToLive)->Name("LinkFault/DeviceBackToLive")->UseManualTime()->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantora

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
