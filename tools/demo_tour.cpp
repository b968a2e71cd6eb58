// Automatic tour of Vantora: drives the program through the keyboard and the mouse as an operator
// would, against the control-unit simulator, and takes a screenshot after every step.
//
//   vantora-demo-tour OUT_DIR        (scripts/demo-tour and scripts/demo run it)
//
// Menus are reached through the menu bar's keyboard navigation (Alt, Right, Down, Return); every
// wait is for an event: the simulator's state reaching a position, the program reporting it over
// TCP, a window appearing or taking its layout's size, the picture of a window no longer changing.
//
// Environment: DISPLAY (used when set, else a private Xvfb), VANTORA_SETTINGS (default
// OUT_DIR/demo-settings.conf, rewritten with the demo's values), VANTORA_TCP_PORT (default 4023),
// VANTORA_BIN and VANTORA_UNITSIM_BIN (default: beside this program).

#include "app/layout_geometry.h"
#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTcpServer>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

using vantora::test::EndToEnd;
using vantora::test::UnitTruth;
using vantora::test::WaitFor;

// Thrown when a step cannot go on; the tour ends, and with it everything it started.
struct TourFailure {
    QString text;
};

constexpr int kTurnLimitMs = 90000;   // the slowest turn of the tour takes about 30 s
constexpr int kEventLimitMs = 20000;  // a window, a report, a menu
constexpr int kStillFrames = 10;      // poll frames without a change: the unit has stopped
constexpr int kDialogQuietMs = 1000;  // a unit dialog without a request this long has its report

// Basic layout, client coordinates of the PRESETS button.
constexpr int kPresetsX = 803 + 128 + 30;
constexpr int kPresetsY = 547 + 5 + 10;

// Menu bar titles from the left, and how many Down presses an item is below the first entry of
// its menu that can be chosen (disabled entries are skipped).
enum Menu { kFile = 0, kView = 1, kSettings = 2, kTracking = 3 };

void say(const QString& text)
{
    std::printf("demo-tour: %s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

class Tour {
public:
    Tour(const QString& out, const vantora::test::EndToEndOptions& options) : m_out(out), m_e2e(options) {}

    void run();
    QByteArray programOutput() { return m_e2e.programOutput(); }

private:
    void check(bool ok, const QString& failure) const
    {
        if (!ok)
            throw TourFailure{failure};
    }

    void writeSettings();
    QString timingPath() const { return QDir(m_e2e.dir()).filePath("timing"); }
    int framesReceived() const;
    void waitFrames(int count);
    std::optional<int> beam() const;
    bool waitBeam(int azimuth, int limitMs);
    UnitTruth waitUnitRests(const std::function<bool(const UnitTruth&)>& reached, const QString& what);

    void typeTarget(const QString& text) { m_e2e.type(text + "\n"); }
    void focusMain() { check(m_e2e.focusMain(), "the main window is not shown"); }
    void menu(Menu title, int downs);
    void waitLayout(vantora::LayoutKind kind);
    QImage grab(const QString& id, const QString& path);
    void shot(const QString& name, QString id = {});
    void dialog(const QString& title, const QString& name);

    QString m_out;
    EndToEnd m_e2e;
    QStringList m_shots;
};

void Tour::writeSettings()
{
    // RegVersion current, so the program starts without its "settings reset" message; a callsign
    // for the map, named presets, and tracking folders beside the screenshots (the tour writes a
    // Moon position into the WSJT one).
    QDir(m_out).mkpath("wsjt");
    QFile::remove(QDir(m_out).filePath("wsjt/azel.dat"));
    QDir().mkpath(QFileInfo(m_e2e.settingsPath()).absolutePath());
    m_e2e.writeSettings({"RegVersion=1.09", "Port=1", "Language=0", "View=0", "Zoom=10", "SizeX=999", "SizeY=624",
                         "SizeM=0", "Znacka=N0CALL", "Lokator=JN89XX", "WSJT=" + m_out + "/wsjt/",
                         "MoonSked=" + m_out + "/moonsked/", "preset_1=Beacon", "preset_a1=200", "preset_e1=20",
                         "preset_2=Moonrise", "preset_a2=95", "preset_e2=0", "preset_3=Moonset", "preset_a3=265",
                         "preset_e3=0", "preset_4=Contest west", "preset_a4=270", "preset_e4=5",
                         "preset_5=Scandinavia", "preset_a5=10", "preset_e5=3", "preset_a0=0", "preset_e0=0"});
}

int Tour::framesReceived() const
{
    QFile timing(timingPath());
    if (!timing.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<int>(timing.readAll().count('\n'));
}

// Waits until the simulator has received `count` more frames: the program has been through as
// many poll ticks, each with its report read and shown.
void Tour::waitFrames(int count)
{
    const int target = framesReceived() + count;
    check(WaitFor([&] { return framesReceived() >= target; }, kEventLimitMs), "the program stopped polling");
}

// The beam azimuth as the program's TCP server reports it ("$00" -> "$00#090@").
std::optional<int> Tour::beam() const
{
    const QByteArray reply = m_e2e.tcp("$00", 300);
    if (!reply.startsWith("$00#") || !reply.endsWith('@'))
        return std::nullopt;
    bool ok = false;
    const int azimuth = reply.mid(4, reply.size() - 5).toInt(&ok);
    return ok ? std::optional<int>(azimuth) : std::nullopt;
}

bool Tour::waitBeam(int azimuth, int limitMs)
{
    return WaitFor([&] { return beam() == azimuth; }, limitMs);
}

// Waits until the unit's true state is one `reached` accepts and has stayed the same for a
// number of poll frames (the rotators have stopped), then until the program reports it.
UnitTruth Tour::waitUnitRests(const std::function<bool(const UnitTruth&)>& reached, const QString& what)
{
    std::optional<UnitTruth> last;
    int still = 0;
    int framesSeen = framesReceived();
    check(WaitFor([&] {
              const auto truth = m_e2e.unitTruth();
              const int frames = framesReceived();
              if (!truth || frames == framesSeen)
                  return false;
              const bool same = last && last->position1 == truth->position1 && last->position2 == truth->position2;
              still = same ? still + (frames - framesSeen) : 0;
              last = truth;
              framesSeen = frames;
              return reached(*truth) && still >= kStillFrames;
          }, kTurnLimitMs),
          what + " not reached");
    check(waitBeam(last->position1, kEventLimitMs), "the program does not report azimuth " + QString::number(last->position1));
    waitFrames(3);
    return *last;
}

// Opens a menu of the menu bar from the keyboard and picks an entry: Alt puts the bar in
// keyboard mode on File, Right walks to the title, Down opens its menu on the first entry.
void Tour::menu(Menu title, int downs)
{
    focusMain();
    QStringList keys{"alt"};
    for (int i = 0; i < title; ++i)
        keys << "Right";
    keys << "Down";
    for (int i = 0; i < downs; ++i)
        keys << "Down";
    keys << "Return";
    m_e2e.key(keys.join(' '));
}

// Waits for the main window to take the size of a layout: a compact layout has a fixed client
// width, Basic the stored one; the menu bar comes on top of the client height.
void Tour::waitLayout(vantora::LayoutKind kind)
{
    const vantora::WindowLayout layout = vantora::Vzhled(kind);
    const QString title = "^" + QString::fromStdString(layout.caption) + "$";
    check(WaitFor([&] {
              const QString id = m_e2e.largestWindowId(title, 200);
              const QSize size = id.isEmpty() ? QSize() : m_e2e.windowSize(id);
              return size.width() == layout.clientWidth && size.height() > layout.clientHeight;
          }, kEventLimitMs),
          "the main window did not take its new layout");
    focusMain();
}

QImage Tour::grab(const QString& id, const QString& path)
{
    check(m_e2e.screenshot(id, path), "no picture of window " + id);
    return QImage(path);
}

// A screenshot of a window (default: the main window) once its picture no longer changes: two
// pictures taken one after the other agree.
void Tour::shot(const QString& name, QString id)
{
    if (id.isEmpty()) {
        focusMain();
        id = m_e2e.mainWindowId();
    }
    const QString path = QDir(m_out).filePath(name + ".png");
    QImage before = grab(id, path);
    for (int attempt = 0;; ++attempt) {
        const QImage now = grab(id, path);
        if (now == before && !now.isNull())
            break;
        check(attempt < 20, "the picture of " + name + " keeps changing");
        before = now;
    }
    m_shots << name + ".png";
    say("  " + name + ".png");
}

// Takes the picture of dialog `title`, opened just before, once it has read the unit, then
// closes it as its close box does; the main window comes back.
void Tour::dialog(const QString& title, const QString& name)
{
    const QString pattern = "^" + title + "$";
    const QString id = m_e2e.largestWindowId(pattern, kEventLimitMs);
    check(!id.isEmpty(), "the " + title + " window did not open");
    const int frames = framesReceived();
    m_e2e.xdotool({"windowfocus", "--sync", id});  // activation makes the unit dialogs read the unit
    if (title != "Preferences" && title != "Network") {
        check(WaitFor([&] { return framesReceived() > frames; }, kEventLimitMs), title + " did not read the unit");
        // The dialog asks again every 200 ms until the unit's report is shown: once a second
        // passes without a request, the report is in.
        check(WaitFor([&] {
                  const int seen = framesReceived();
                  return !WaitFor([&] { return framesReceived() > seen; }, kDialogQuietMs);
              }, kEventLimitMs),
              title + " keeps asking the unit");
    }
    shot(name, id);
    check(m_e2e.closeWindow(id), "cannot close the " + title + " window");
    check(WaitFor([&] { return m_e2e.xdotoolOutput({"search", "--onlyvisible", "--name", pattern}).isEmpty(); },
                  kEventLimitMs),
          "the " + title + " window stayed open");
}

void Tour::run()
{
    check(m_e2e.ready(), "no X display (Xvfb did not start)");
    {
        QTcpServer probe;
        check(probe.listen(QHostAddress::LocalHost, m_e2e.tcpPort()),
              QString("TCP port %1 is taken; choose another with VANTORA_TCP_PORT").arg(m_e2e.tcpPort()));
    }
    say("on display " + m_e2e.displayName());
    for (const QString& old : QDir(m_out).entryList({"[0-9][0-9]-*.png"}))
        QFile::remove(QDir(m_out).filePath(old));
    writeSettings();

    check(m_e2e.startUnit({"--timing-log", timingPath()}), "the simulator did not start");
    say(QString("starting the program (settings %1, TCP port %2)").arg(m_e2e.settingsPath()).arg(m_e2e.tcpPort()));
    check(m_e2e.startProgram(), "the main window is not shown");
    // The first position report replaces the dials' resting positions.
    check(waitBeam(0, kEventLimitMs), "no position report from the simulator");
    waitFrames(3);
    shot("01-start");

    say("rotator 1 to azimuth 90");
    typeTarget("90");
    waitUnitRests([](const UnitTruth& unit) { return unit.position1 == 90; }, "azimuth 90");
    shot("02-azimuth-90");

    say("rotator 2 to elevation 30");
    typeTarget("E30");
    waitUnitRests([](const UnitTruth& unit) { return unit.position2 == 30; }, "elevation 30");
    shot("03-elevation-30");

    say("locator IO91WM");
    typeTarget("IO91WM");
    waitUnitRests([](const UnitTruth& unit) { return unit.position1 != 90; }, "the locator's bearing");
    shot("04-locator-IO91WM");

    say("View > Compact H");
    menu(kView, 1);
    waitLayout(vantora::LayoutKind::CompactH);
    shot("05-compact-h");

    say("View > Compact V");
    menu(kView, 2);
    waitLayout(vantora::LayoutKind::CompactV);
    shot("06-compact-v");

    say("View > Basic");
    menu(kView, 0);
    waitLayout(vantora::LayoutKind::Basic);

    say("PRESETS");
    m_e2e.clickInMain(kPresetsX, kPresetsY);
    const QString presets = m_e2e.largestWindowId("^Presets$", kEventLimitMs);
    check(!presets.isEmpty(), "the Presets window did not open");
    m_e2e.xdotool({"windowfocus", "--sync", presets});
    // Over "Beacon": its azimuth and elevation show below the list.
    m_e2e.xdotool({"mousemove", "--window", presets, "64", "32"});
    shot("07-presets", presets);
    m_e2e.xdotool({"click", "1"});
    focusMain();
    waitUnitRests([](const UnitTruth& unit) { return unit.position1 == 200 && unit.position2 == 20; },
                  "the Beacon preset");
    shot("08-preset-beacon");

    say("Tracking > WSJT");
    {
        // A Moon position as the planning program writes it, Moon first.
        QFile azel(QDir(m_out).filePath("wsjt/azel.dat"));
        check(azel.open(QIODevice::WriteOnly), "cannot write " + azel.fileName());
        azel.write("12:34:56,236.4,31.7,Moon,AzEl\n12:34:56,150.2,40.1,Sun\n12:34:56,0.0,0.0,Source\n-1234,2,Doppler,R\n");
    }
    // The menu offers a source when it finds its file as it opens: OFF, MoonSked (no file here,
    // so disabled and skipped), WSJT.
    menu(kTracking, 1);
    waitUnitRests([](const UnitTruth& unit) { return unit.position1 == 236; }, "the Moon's position");
    shot("09-moon-tracking");
    typeTarget("stop");  // STOP also ends tracking

    say("Settings > Preferences");
    menu(kSettings, 1);  // below Port
    dialog("Preferences", "10-preferences");
    say("Settings > Network");
    menu(kSettings, 2);
    dialog("Network", "10-network");
    say("Settings > Control unit");
    menu(kSettings, 3);
    dialog("Control unit settings", "11-control-unit");
    say("Settings > Magnetic sensors");
    menu(kSettings, 4);
    dialog("Sensors calibration", "12-sensors");

    say("File > Exit");
    menu(kFile, 0);
    const int status = m_e2e.waitProgramExit(10000);
    if (status != 0)
        say(status < 0 ? "warning: the program did not end through File > Exit"
                       : QString("warning: the program ended with status %1").arg(status));

    std::printf("\nScreenshots in %s:\n", m_out.toLocal8Bit().constData());
    for (const QString& name : m_shots)
        std::printf("  %s\n", name.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantora-demo-tour OUT_DIR\n");
        return 2;
    }
    if (!QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "demo-tour: cannot make %s\n", argv[1]);
        return 1;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString here = QCoreApplication::applicationDirPath();
    if (qEnvironmentVariableIsEmpty("VANTORA_BIN"))
        qputenv("VANTORA_BIN", QFile::encodeName(here + "/vantora"));
    if (qEnvironmentVariableIsEmpty("VANTORA_UNITSIM_BIN"))
        qputenv("VANTORA_UNITSIM_BIN", QFile::encodeName(here + "/vantora-unitsim"));

    vantora::test::EndToEndOptions options;
    options.display = qEnvironmentVariable("DISPLAY");
    options.settingsPath = qEnvironmentVariable("VANTORA_SETTINGS", out + "/demo-settings.conf");
    bool portOk = false;
    const int port = qEnvironmentVariable("VANTORA_TCP_PORT", "4023").toInt(&portOk);
    options.tcpPort = portOk && port > 0 && port <= 65535 ? static_cast<quint16>(port) : 4023;
    Tour tour(out, options);
    try {
        tour.run();
    } catch (const TourFailure& failure) {
        std::fprintf(stderr, "demo-tour: %s\n", failure.text.toLocal8Bit().constData());
        const QByteArray output = tour.programOutput();
        if (!output.isEmpty())
            std::fprintf(stderr, "--- the program's last output:\n%s\n", output.right(2000).constData());
        return 1;
    }
    return 0;
}
