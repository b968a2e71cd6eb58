#pragma once
// TA3nalogGauge: a dial with ticks, numbers, indicator bands, a caption and one straight pointer.
// It draws in two layers: the background (everything but the pointer, rebuilt only when the face
// changes) and the face (the background plus the pointer, rebuilt on every pointer change and
// shown at once). Owners may paint into the background layer and then call RedrawArrow.

#include "widgets/frame_meter.h"
#include "widgets/gauge_model.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

namespace vantora {

class TA3nalogGauge : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDefaultWidth = 225;
    static constexpr int kDefaultHeight = 180;
    static constexpr int kMinimumWidth = 60;
    static constexpr int kMinimumHeight = 50;

    explicit TA3nalogGauge(QWidget* parent = nullptr);

    QColor minColor() const { return m_minColor; }
    QColor midColor() const { return m_midColor; }
    QColor maxColor() const { return m_maxColor; }
    QColor faceColor() const { return m_faceColor; }
    QColor ticksColor() const { return m_ticksColor; }
    QColor valueColor() const { return m_valueColor; }
    QColor captionColor() const { return m_captionColor; }
    QColor arrowColor() const { return m_arrowColor; }
    QColor marginColor() const { return m_marginColor; }
    QColor centerColor() const { return m_centerColor; }
    QColor circleColor() const { return m_circleColor; }
    int centerRadius() const { return m_model.centerRadius(); }
    int circleRadius() const { return m_model.circleRadius(); }
    int angle() const { return m_model.angle(); }
    int margin() const { return m_model.margin(); }
    TStyle gaugeStyle() const { return m_model.style(); }
    int arrowWidth() const { return m_model.arrowWidth(); }
    int numberMainTicks() const { return m_model.numberMainTicks(); }
    int lengthMainTicks() const { return m_model.lengthMainTicks(); }
    int lengthSubTicks() const { return m_model.lengthSubTicks(); }
    TFaceOptions faceOptions() const { return m_model.faceOptions(); }
    float position() const { return m_model.position(); }
    int scale() const { return m_model.scale(); }
    int indMinimum() const { return m_model.indMinimum(); }
    int indMaximum() const { return m_model.indMaximum(); }
    QString caption() const { return m_caption; }
    TAntialiased antiAliased() const { return m_model.antiAliased(); }
    // Pointer redraws per second measured on the last redraw.
    int frames() const { return m_meter.Frames(); }

    // Every setter ignores the value it already holds. Arrow colour, arrow width and position
    // redraw the pointer only; everything else redraws the whole face.
    void setMinColor(const QColor& value);
    void setMidColor(const QColor& value);
    void setMaxColor(const QColor& value);
    void setFaceColor(const QColor& value);
    void setTicksColor(const QColor& value);
    void setValueColor(const QColor& value);
    void setCaptionColor(const QColor& value);
    void setArrowColor(const QColor& value);
    void setMarginColor(const QColor& value);
    void setCenterColor(const QColor& value);
    void setCircleColor(const QColor& value);
    void setCenterRadius(int value);
    void setCircleRadius(int value);
    void setAngle(int value);        // taken above 10 and up to 360 degrees
    void setMargin(int value);
    void setGaugeStyle(TStyle value);  // left and right styles lower Angle to 90 at most
    void setArrowWidth(int value);   // clamped to 1..5
    void setNumberMainTicks(int value);
    void setLengthMainTicks(int value);
    void setLengthSubTicks(int value);
    void setFaceOptions(TFaceOptions value);
    void setPosition(float value);   // raises OnOverMax / OnOverMin, then redraws the pointer
    void setScale(int value);
    void setIndMinimum(int value);
    void setIndMaximum(int value);
    void setCaption(const QString& value);
    void setAntiAliased(TAntialiased value);
    // The pointer continued through the centre to the opposite side in this pen style (the
    // reverse direction, such as a beam's long path); Qt::NoPen, the default, draws none.
    void setTailStyle(Qt::PenStyle style);
    Qt::PenStyle tailStyle() const { return m_tailStyle; }

    // Background layer, for owners that paint under the pointer. What they paint lasts until the
    // next face redraw (size, font, colour, option or caption change).
    QImage& backBitmap();
    const QImage& faceBitmap() const { return m_faceBitmap; }
    // The face reduced to the control's size; null unless supersampled.
    const QImage& aaBitmap() const { return m_aaBitmap; }

    // Geometry of the current layers (factor k included).
    GaugeGeometry layerGeometry() const;

    // Draws the whole face into the background layer, then the pointer.
    void RedrawFace();
    // Rebuilds the face layer from the background layer and the pointer and paints it at once.
    void RedrawArrow();

    // Counts of redraws since creation, so that callers can tell whether a change drew anything.
    int faceRedrawCount() const { return m_faceRedraws; }
    int arrowRedrawCount() const { return m_arrowRedraws; }

    // Time source of the Frames measurement; it must outlive the gauge.
    void setFrameClock(const FrameClock& clock) { m_meter.SetClock(clock); }

signals:
    void OnFrames(int frames);
    void OnOverMax();
    void OnOverMin();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Apply(GaugeRedraw redraw);
    void SetFaceColorField(QColor& field, const QColor& value);
    // Makes the layers match the control's size at factor k; true when they were remade.
    bool SyncLayers();
    void DrawFace(QImage& layer, int k);
    void DrawArrow(QImage& layer, int k);
    // Block-averages the face layer into the control-size bitmap.
    void DownsampleFace();

    GaugeModel m_model;
    QColor m_minColor{0, 128, 0};
    QColor m_midColor{255, 255, 0};
    QColor m_maxColor{255, 0, 0};
    QColor m_faceColor;
    QColor m_ticksColor{0, 0, 0};
    QColor m_valueColor{0, 0, 0};
    QColor m_captionColor{0, 0, 0};
    QColor m_arrowColor{0, 0, 0};
    QColor m_marginColor{0, 0, 0};
    QColor m_centerColor{128, 128, 128};
    QColor m_circleColor{0, 0, 255};
    QString m_caption = QStringLiteral("mV");
    Qt::PenStyle m_tailStyle = Qt::NoPen;
    FrameMeter m_meter;
    QImage m_backBitmap;
    QImage m_faceBitmap;
    QImage m_aaBitmap;
    QFont m_drawnFont;  // font of the last face drawing; a change notice for the same font is ignored
    bool m_inPaintEvent = false;
    int m_faceRedraws = 0;
    int m_arrowRedraws = 0;
};

}  // namespace vantora
