// vantorad: the station with no window (what `vantora --headless` runs). QtCore, QtNetwork and
// QtSerialPort only: no display is opened, no widget library is loaded.

#include "settings/ui/qt_settings_store.h"
#include "station/headless_options.h"
#include "station/ui/headless_station.h"
#include "station/ui/station.h"

#include <QCoreApplication>
#include <QTimer>

#ifdef Q_OS_UNIX
#include "service/ui/service_notifier.h"
#include "service/ui/signal_watcher.h"
#endif

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#ifndef VANTORA_VERSION
#define VANTORA_VERSION "unknown"
#endif

int main(int argc, char** argv)
{
    const vantora::HeadlessCommandLine line =
        vantora::ParseHeadlessCommandLine(std::vector<std::string>(argv + 1, argv + argc), VANTORA_VERSION);
    if (line.reply) {
        std::printf("%s\n", line.reply->c_str());
        return 0;
    }
    if (!line.error.empty()) {
        std::fprintf(stderr, "vantora: %s\n", line.error.c_str());
        return 2;
    }
    // Qt's own event loop rather than GLib's: nothing here needs GLib's, and it wakes the loop
    // twice more for every frame the poll sends.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vantora");
#ifdef Q_OS_UNIX
    // First, so that a stop asked for while the station starts is not lost: it waits in the
    // watcher's pipe for the event loop.
    vantora::SignalWatcher watcher;
    vantora::ServiceNotifier notifier;
#endif

    std::unique_ptr<vantora::QtSettingsStore> store =
        line.options.settingsPath
            ? std::make_unique<vantora::QtSettingsStore>(QString::fromStdString(*line.options.settingsPath))
            : std::make_unique<vantora::QtSettingsStore>();
    vantora::HeadlessStation station(*store, line.options);

#ifdef Q_OS_UNIX
    // SIGTERM and SIGINT: listeners closed, the port closed, the settings store closed, exit 0.
    QObject::connect(&watcher, &vantora::SignalWatcher::terminateRequested, &app, [&station, &notifier] {
        notifier.stopping();
        station.stop();
        QCoreApplication::exit(0);
    });
    // SIGHUP: the settings file again; listeners and the port follow what changed.
    QObject::connect(&watcher, &vantora::SignalWatcher::reloadRequested, &app, [&station, &notifier] {
        station.reload();
        notifier.status(QStringLiteral("settings read again"));
    });
    // Alive from the poll path: a stalled event loop stops these and the manager restarts us.
    QObject::connect(&station.station().timer1(), &QTimer::timeout, &app, [&notifier] { notifier.watchdog(); });
    // The listeners are up and the port has been tried.
    notifier.ready();
    notifier.watchdog();
#endif
    const int code = app.exec();
    station.stop();
    return code;
}
