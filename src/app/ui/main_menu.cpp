#include "app/ui/main_menu.h"

#include "geo/map_view.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>

namespace vantora {

namespace {

QAction* radioItem(QMenu* menu, QActionGroup* group, const QString& caption, const QString& name)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setCheckable(true);
    group->addAction(action);
    return action;
}

}  // namespace

MainMenu::MainMenu(QMainWindow& window, const TranslateFn& translate)
{
    const auto tr = [&translate](const char* english) { return QString::fromStdString(translate(english)); };
    QMenuBar* bar = window.menuBar();

    QMenu* file = bar->addMenu(tr("File"));
    file->setObjectName("File1");
    exit = file->addAction(tr("Exit"));
    exit->setObjectName("Exit1");

    QMenu* view = bar->addMenu(tr("View"));
    view->setObjectName("View1");
    auto* viewGroup = new QActionGroup(view);
    views[0] = radioItem(view, viewGroup, tr("Basic"), "Basic1");
    views[1] = radioItem(view, viewGroup, tr("Compact H"), "Compact1");
    views[2] = radioItem(view, viewGroup, tr("Compact V"), "CompactV1");
    view->addSeparator();
    mapZoom = view->addMenu(tr("Map zoom"));
    mapZoom->setObjectName("Mapzoom1");
    auto* zoomGroup = new QActionGroup(mapZoom);
    for (std::size_t i = 0; i < kMapZoomItems.size(); ++i) {
        const QString caption = QString::fromUtf8(kMapZoomItems[i].caption.data(),
                                                  static_cast<int>(kMapZoomItems[i].caption.size()));
        if (kMapZoomItems[i].zoomState == kWorldZoomState) mapZoom->addSeparator();
        zooms[i] = radioItem(mapZoom, zoomGroup, caption, QStringLiteral("Zoom%1").arg(kMapZoomItems[i].zoomValue));
    }

    QMenu* settings = bar->addMenu(tr("Settings"));
    settings->setObjectName("Settings1");
    settings->setToolTipsVisible(true);  // the Network item's tooltip says why an input is not listening
    this->settings = settings;
    QMenu* port = settings->addMenu(QStringLiteral("Port"));
    port->setObjectName("Port1");
    portMenu = port;
    auto* portGroup = new QActionGroup(port);
    for (int n = 1; n <= 10; ++n)
        ports[n - 1] = radioItem(port, portGroup, QStringLiteral("COM %1").arg(n), QStringLiteral("COM%1").arg(n));
    preferences = settings->addAction(tr("Preferences"));
    preferences->setObjectName("Preferences1");
    network = settings->addAction(tr("Network"));
    network->setObjectName("Network1");
    settings->addSeparator();
    controlUnit = settings->addAction(tr("Control unit"));
    controlUnit->setObjectName("Nastaven91");
    controlUnit->setEnabled(false);
    magneticSensors = settings->addAction(tr("Magnetic sensors"));
    magneticSensors->setObjectName("idla1");
    magneticSensors->setEnabled(false);

    tracking = bar->addMenu(QStringLiteral("Tracking"));
    tracking->setObjectName("racking1");
    auto* trackingGroup = new QActionGroup(tracking);
    trackingOff = radioItem(tracking, trackingGroup, QStringLiteral("OFF"), "OFF1");
    trackingOff->setChecked(true);
    trackingMoonSked = radioItem(tracking, trackingGroup, QStringLiteral("MoonSked"), "MoonSked1");
    trackingMoonSked->setEnabled(false);
    trackingWsjt = radioItem(tracking, trackingGroup, QStringLiteral("WSJT"), "WSJT1");
    trackingWsjt->setEnabled(false);
    tracking->addSeparator();
    trackingMoonBuiltIn = radioItem(tracking, trackingGroup, tr("Moon (built-in)"), "MoonBuiltIn1");
    trackingSunBuiltIn = radioItem(tracking, trackingGroup, tr("Sun (built-in)"), "SunBuiltIn1");

    QMenu* help = bar->addMenu(tr("Help"));
    help->setObjectName("Help1");
    about = help->addAction(tr("About"));
    about->setObjectName("About1");
    hwInfo = help->addAction(QStringLiteral("HW info"));
    hwInfo->setObjectName("VerzeHW1");
}

void MainMenu::showView(int view)
{
    if (view >= 0 && view < static_cast<int>(views.size()))
        views[view]->setChecked(true);
    mapZoom->setEnabled(view == 0);
}

void MainMenu::showZoomState(int zoomState)
{
    if (const int item = MapZoomItemForState(zoomState); item >= 0)
        zooms[item]->setChecked(true);
}

void MainMenu::showPort(int n)
{
    if (n >= 1 && n <= static_cast<int>(ports.size()))
        ports[n - 1]->setChecked(true);
}

}  // namespace vantora
