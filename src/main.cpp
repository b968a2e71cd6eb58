// Vantora: the antenna-rotator console. No command-line arguments are read; environment
// variables (VANTORA_SETTINGS, VANTORA_COM<n>, VANTORA_TCP_PORT) are the only outside inputs.

#include "app/ui/main_window.h"
#include "app/ui/program_windows.h"
#include "app/ui/single_instance.h"
#include "settings/ui/message_box_sink.h"
#include "settings/ui/qt_settings_store.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
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
