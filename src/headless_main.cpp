// vantorad: the station with no window (what `vantora --headless` runs). QtCore, QtNetwork and
// QtSerialPort only: no display is opened, no widget library is loaded.

#include "settings/ui/qt_settings_store.h"
#include "station/headless_options.h"
#include "station/ui/headless_station.h"

#include <QCoreApplication>

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
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vantora");

    std::unique_ptr<vantora::QtSettingsStore> store =
        line.options.settingsPath
            ? std::make_unique<vantora::QtSettingsStore>(QString::fromStdString(*line.options.settingsPath))
            : std::make_unique<vantora::QtSettingsStore>();
    vantora::HeadlessStation station(*store, line.options);
    const int code = app.exec();
    station.stop();
    return code;
}
