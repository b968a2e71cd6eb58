#pragma once
// The world view of the map gauge: the world drawn around home (azimuthal equidistant) into
// the gauge's background layer, kept as a picture and drawn again only when the home or the
// widget's size changes. The pointer, which the gauge draws over it, is the short path's great
// circle out to the antipode at the rim; its dashed continuation through home is the long path.

#include "geo/locator.h"
#include "geo/world_outline.h"
#include "geo/world_plan.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <optional>

namespace vantora {

class TA3nalogGauge;

inline const QString kWorldOutlineResource = QStringLiteral(":/maps/world_110m.bin");

// Paints a plan: background, sea disc, countries, coasts and borders, rings and the scale.
// `scale` is the layer's pixels per widget pixel.
void PaintWorldPlan(QImage& image, const WorldPlan& plan, const QFont& font, const QColor& textColor, int scale);

class WorldView {
public:
    // Reads the outline from the program's resources (once). Without it (missing or damaged)
    // the view still shows the sea disc, the rings and the scale, and false is returned.
    bool LoadOutline();
    void SetOutline(std::optional<WorldOutline> outline);

    // Paints the view into the gauge's background layer and redraws the pointer. The world
    // itself is drawn again only when home or the gauge's size differ from the last time.
    void Show(TA3nalogGauge& gauge, const GeoPosition& home, const QString& callsign);
    // Gives the gauge back its own pointer length and no long path, for the other views.
    void Leave(TA3nalogGauge& gauge);

    // The last typed target locator, marked with its text; an empty text marks none.
    void SetTarget(const QString& locator);

    // Forgets the kept picture, so the next Show draws the world again.
    void Forget() { m_picture = QImage(); }

    bool shown() const { return m_shown; }
    const std::optional<WorldOutline>& outline() const { return m_outline; }
    int worldDraws() const { return m_worldDraws; }
    const QString& target() const { return m_target; }

private:
    std::optional<WorldOutline> m_outline;
    bool m_loaded = false;
    QImage m_picture;       // the world without callsign and target, at the layer's size
    GeoPosition m_pictureHome{1000, 1000};
    QString m_target;
    bool m_shown = false;
    int m_gaugeMargin = 0;  // the gauge's own margin, given back by Leave
    int m_worldDraws = 0;
};

}  // namespace vantora
