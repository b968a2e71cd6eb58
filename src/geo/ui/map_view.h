#pragma once
// The map under the beam line: owns the two map images and paints the chosen view into the map
// gauge's background layer, so that a pointer move never re-scales the map. Of the embedded
// images it keeps the compressed files and, decoded, only the part the present view shows.

#include "geo/map_view.h"
#include "geo/ui/map_image_source.h"
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

    // Takes both images from the program's resources. A missing image is replaced by a plain
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
    // The one line a Europe view shows when home lies off the Europe map (translated by the
    // caller); the zoom in force stays as it is. Empty shows nothing.
    void SetOutsideHint(const QString& hint) { m_outsideHint = hint; }
    // The last typed target locator, marked on the world view (shown again at once there).
    void SetTargetLocator(const QString& locator);
    WorldView& world() { return m_world; }

    MapPixel homePixel() const { return m_home; }
    int zoomState() const { return m_zoomState; }
    // The whole images (the Europe one widened), 32-bit; decoded for each call when they are
    // kept compressed.
    QImage europe() const { return m_europe.All(); }
    QImage local() const { return m_local.All(); }
    // What the view holds decoded: the part of one image that it shows.
    const QImage& shownPart() const { return m_part; }

private:
    TA3nalogGauge& m_gauge;
    MapImageSource m_europe;  // widened
    MapImageSource m_local;
    QImage m_part;            // the part of the present view's image that it shows
    MapRect m_partRect;
    bool m_partLocal = false;
    MapPixel m_home;
    int m_zoomState = 10;
    QString m_callsign;
    QString m_outsideHint;
    GeoPosition m_homePosition;  // the world view is drawn around it
    WorldView m_world;
};

}  // namespace vantora
