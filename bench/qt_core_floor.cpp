// The floor under the headless program's CPU figure: a bare QCoreApplication, no display, and
// one 50 ms precise timer that does nothing. What this costs is what any Qt program polling at
// 20 Hz without a window costs on the machine, before any work.
//
//   qt_core_floor   (runs until ended)

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start();
    return app.exec();
}
