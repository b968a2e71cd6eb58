// Vantora: the antenna-rotator console. The command line knows --version and --help, and
// --headless, which runs the station with no window (vantorad, beside this program), and
// --set-web-password, which stores a web console password without starting; it passes the
// toolkit's own options on and refuses anything else. Environment variables (VANTORA_SETTINGS,
// VANTORA_COM<n>, VANTORA_TCP_PORT, VANTORA_ROTCTLD_PORT, ...) are the outside inputs: --help lists them.

#include "app/command_line.h"
#include "app/ui/main_window.h"
#include "app/ui/program_windows.h"
#include "app/ui/single_instance.h"
#include "settings/ui/message_box_sink.h"
#include "settings/ui/qt_settings_store.h"
#include "web/ui/password_command.h"

#include <QApplication>
#include <QIcon>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <climits>
#include <cstdlib>
#include <unistd.h>
#endif

#ifndef VANTORA_VERSION
#define VANTORA_VERSION "unknown"
#endif

namespace {

#ifdef Q_OS_UNIX
// Replaces this process by vantorad, found beside this program, with the same arguments: the
// headless station then runs without the widget libraries ever being loaded.
int RunHeadless(char** argv)
{
    char self[PATH_MAX];
    std::string folder = ".";
    if (::realpath("/proc/self/exe", self) || ::realpath(argv[0], self)) {
        folder = self;
        folder.erase(folder.find_last_of('/'));
    }
    const std::string program = folder + "/vantorad";
    argv[0] = const_cast<char*>(program.c_str());
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "vantora: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
#ifdef Q_OS_UNIX
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return RunHeadless(argv);
#endif
    // Answered before any window system is touched, so it works without a display.
    if (const auto option = vantora::FindPasswordOption(std::vector<std::string>(argv + 1, argv + argc))) {
        vantora::QtSettingsStore store;
        return vantora::RunPasswordCommand(*option, store, stdin, stderr);
    }
    if (const auto reply = vantora::AnswerCommandLine(std::vector<std::string>(argv + 1, argv + argc), VANTORA_VERSION)) {
        std::fputs(reply->text.c_str(), reply->standardError ? stderr : stdout);
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
