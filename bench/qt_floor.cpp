// The floor under the program's idle CPU figure: a bare Qt window with a focused line edit (its
// cursor blinks, as the target box's does) and one 50 ms precise timer that does nothing. What
// this costs is what any Qt program polling at 20 Hz costs on the machine, before any work.
//
//   qt_floor --title Floor   (runs until ended)

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(argc > 2 && std::strcmp(argv[1], "--title") == 0 ? argv[2] : "Floor");
    edit.show();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start();
    return app.exec();
}
