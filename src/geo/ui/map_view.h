#pragma once
// The map under the beam line: owns the two map images and paints the chosen view into the map
// gauge's background layer, so that a pointer move never re-scales the map.

#include "geo/map_view.h"
#include "geo/ui/world_view.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace vantora {

class TA3nalogGauge;

inline const QString kEuropeMapResource = QStringLiteral(":/maps/zoom_0.png");
inline const QString kLocalMapResource = QStringLiteral(":/maps/tarrinmapa.png");

QColor MapBackgroundColor();

// The Europe image widened to 3000 pixels: the new east strip starts white and is then
// flood-filled with the background colour from (2900, 10), together with every white pixel of
// the image connected to it.
QImage WidenEuropeMap(const QImage& europe);

class MapView {
public:
    explicit MapView(TA3nalogGauge& gauge);

    // Loads both images from the program's resources. A missing image is replaced by a plain
    // background-coloured one of its nominal size and false is returned.
    bool LoadImages();
    // Takes the two images as they come from the resources (the Europe one is widened here).
    void SetImages(const QImage& europe, const QImage& local);

    // Computes the home pixel from the home position (never from a target locator).
    void HomePix(const GeoPosition& home);
    // Paints the view for a zoom value (0..100 Europe, 110 and up the local map), records the
    // zoom state and redraws the pointer over it.
    void SetZoom(int zoomValue);

    void SetCallsign(const QString& callsign) { m_callsign = callsign; }
    // The last typed target locator, marked on the world view (shown again at once there).
    void SetTargetLocator(const QString& locator);
    WorldView& world() { return m_world; }

    MapPixel homePixel() const { return m_home; }
    int zoomState() const { return m_zoomState; }
    const QImage& europe() const { return m_europe; }
    const QImage& local() const { return m_local; }

private:
    TA3nalogGauge& m_gauge;
    QImage m_europe;  // widened, 32-bit
    QImage m_local;   // 32-bit
    MapPixel m_home;
    int m_zoomState = 10;
    QString m_callsign;
    GeoPosition m_homePosition;  // the world view is drawn around it
    WorldView m_world;
};

}  // namespace vantora
