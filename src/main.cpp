// Vantora: the antenna-rotator console. The command line knows --version and --help only;
// environment variables (VANTORA_SETTINGS, VANTORA_COM<n>, VANTORA_TCP_PORT,
// VANTORA_ROTCTLD_PORT) are the outside inputs.

#include "app/command_line.h"
#include "app/ui/main_window.h"
#include "app/ui/program_windows.h"
#include "app/ui/single_instance.h"
#include "settings/ui/message_box_sink.h"
#include "settings/ui/qt_settings_store.h"
#include "web/ui/password_command.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <string>
#include <vector>

#ifndef VANTORA_VERSION
#define VANTORA_VERSION "unknown"
#endif

int main(int argc, char** argv)
{
    // Answered before any window system is touched, so it works without a display.
    if (const auto option = vantora::FindPasswordOption(std::vector<std::string>(argv + 1, argv + argc))) {
        vantora::QtSettingsStore store;
        return vantora::RunPasswordCommand(*option, store, stdin, stderr);
    }
    if (const auto reply = vantora::AnswerCommandLine(std::vector<std::string>(argv + 1, argv + argc), VANTORA_VERSION)) {
        std::printf("%s\n", reply->line.c_str());
        return reply->exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vantora");
    QApplication::setDesktopFileName("vantora");  // ties the windows to the installed launcher entry
    QApplication::setWindowIcon(QIcon(":/icons/vantora.png"));

    vantora::QtSettingsStore store;
    vantora::SingleInstanceGuard guard(store.location());
    if (!guard.becomePrimary())
        return 0;

    vantora::MessageBoxSink messages;
    vantora::ProgramWindows windows(store, messages);
    QObject::connect(&guard, &vantora::SingleInstanceGuard::raiseRequested, windows.main.get(),
                     [&windows] { vantora::RestoreAndRaise(*windows.main); });
    windows.main->show();
    return app.exec();
}
