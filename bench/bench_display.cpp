// An X display for bench/report, started the way the end-to-end tests start theirs (Xvfb picks
// a free display number and announces it): prints the display's name (":N") on one line, then
// keeps the display until it is told to end (SIGTERM, SIGINT or SIGHUP), and ends it with itself.
//
//   build-bench/bench_display > display.txt &

#include "support/e2e_harness.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    // Blocked before anything starts, so that a signal that comes early is waited for below.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    QCoreApplication app(argc, argv);
    vantora::test::VirtualDisplay display;
    if (!display.ok()) {
        std::fprintf(stderr, "bench_display: Xvfb did not start\n");
        return 1;
    }
    std::printf("%s\n", display.name().toLocal8Bit().constData());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&endSignals, &signal);
    return 0;
}
