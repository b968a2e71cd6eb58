#pragma once
// End-to-end harness: the real vantora program and the real vantora-unitsim as separate
// processes, driven only from outside: an X display of their own (Xvfb) for the keyboard and
// mouse (xdotool), the TCP command server, the tracking file and the settings file.

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace vantora::test {

// An X server of the test's own on a free display number; gone with the object.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    bool ok() const { return m_ok; }
    QString name() const { return m_name; }  // ":N"

private:
    QProcess m_server;
    QString m_name;
    bool m_ok = false;
};

// A window manager (openbox) on a display of the tests, for what only a real one shows: which
// window stays above which. Gone with the object.
class WindowManager {
public:
    explicit WindowManager(const QString& display);
    ~WindowManager();
    bool ok() const { return m_ok; }

private:
    QProcess m_process;
    bool m_ok = false;
};

struct UnitTruth {
    int position1 = 0;
    int position2 = 0;
    int activeRotator = 0;
    int mode2 = 0;
};

// What a run may take from outside instead of making its own; the tests take the defaults.
struct EndToEndOptions {
    QString display;       // an X display to use (":0"); empty: a private Xvfb
    QString settingsPath;  // the program's settings file; empty: one in the run's folder
    quint16 tcpPort = 0;   // the program's TCP port; 0: a free one
};

class EndToEnd {
public:
    explicit EndToEnd(const EndToEndOptions& options = {});
    ~EndToEnd();

    // False when the X display could not be had (no Xvfb) or the run's folder not made.
    bool ready() const;
    QString displayName() const;
    QString dir() const { return m_dir.path(); }
    QString settingsPath() const { return m_settingsPath; }
    QString linkPath() const { return m_dir.filePath("com1"); }
    quint16 tcpPort() const { return m_tcpPort; }
    quint16 rotctldPort() const { return m_rotctldPort; }  // the program's rotctld server

    // Writes the settings file (INI lines under [General]) before the program starts.
    void writeSettings(const QStringList& lines);
    QString readSettings() const;

    bool startUnit(const QStringList& extraArguments = {});
    void stopUnit();
    // A new simulator on the same link path after stopUnit; the previous one's state file is
    // removed first, so unitTruth() never reports the old unit's position.
    bool restartUnit(const QStringList& extraArguments = {});
    // What the simulator printed so far (its terminal path, and its fault counts once stopped).
    QByteArray unitOutput();
    std::optional<UnitTruth> unitTruth() const;  // the simulator's own state, from its state file

    bool startProgram();
    // A second program started the same way; returns its exit code (or -1 when it kept running).
    int runSecondProgram(int waitMs);
    bool programRunning() const;
    qint64 programPid() const;  // 0 when not running
    int waitProgramExit(int waitMs);  // exit code, -1 when it did not end
    QByteArray programOutput();

    // xdotool on our display.
    QString windowId(const QString& title, int waitMs = 10000) const;
    // The largest visible window whose title matches (a message box of the program carries the
    // main window's title too); empty when none shows within `waitMs`.
    QString largestWindowId(const QString& title, int waitMs = 10000) const;
    QString mainWindowId() const { return m_mainWindow; }  // as the last focusMain found it
    QSize windowSize(const QString& id) const;  // outer size, empty when unknown
    // Closes a window as its close box does (WM_DELETE_WINDOW): without a window manager nobody
    // else sends it, and the dialogs have no button that closes them.
    bool closeWindow(const QString& id) const;
    // A picture of one window, as a PNG without metadata, so that equal pictures make equal files.
    bool screenshot(const QString& id, const QString& path) const;
    bool xdotool(const QStringList& arguments) const;
    QString xdotoolOutput(const QStringList& arguments) const;
    QString xpropOutput(const QString& window, const QString& property) const;  // xprop -id window property
    // The window manager's client windows, bottom first (_NET_CLIENT_LIST_STACKING), as the
    // decimal ids xdotool gives; empty without a window manager.
    QStringList stackingOrder() const;
    bool focusMain();
    void type(const QString& text);
    void key(const QString& keys);
    void clickInMain(int clientX, int clientY);  // a point of the client area (below the menu bar)
    void clickInMenuBar(int x);  // a point of the main window's menu bar, x from its left edge
    // What the main window shows now, menu bar included (empty when it cannot be had).
    QImage grabMain() const;
    QString mainTitle() const;

    // One TCP message, and the reply when one comes within `waitMs`.
    QByteArray tcp(const QByteArray& message, int waitMs = 500) const;

private:
    QString toolOutput(const QString& program, const QStringList& arguments) const;  // an X tool on our display

    QTemporaryDir m_dir;
    QString m_settingsPath;
    QString m_outsideDisplay;
    std::unique_ptr<VirtualDisplay> m_display;
    QProcess m_unit;
    QProcess m_program;
    quint16 m_tcpPort = 0;
    quint16 m_rotctldPort = 0;
    QString m_mainWindow;
};

}  // namespace vantora::test
