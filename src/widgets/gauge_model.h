#pragma once
// The analog gauge's non-colour properties with their acceptance rules. Each setter says what the
// widget must redraw: nothing for an unchanged value, the pointer only, or the whole face.

#include "widgets/gauge_geometry.h"

namespace vantora {

enum class GaugeRedraw { None, Arrow, Face };

struct PositionChange {
    GaugeRedraw redraw = GaugeRedraw::None;
    bool overMax = false;  // the new position is above IndMaximum
    bool overMin = false;  // the new position is below IndMinimum
};

class GaugeModel {
public:
    int centerRadius() const { return m_centerRadius; }
    int circleRadius() const { return m_circleRadius; }
    int angle() const { return m_scaleAngle; }
    int margin() const { return m_margin; }
    TStyle style() const { return m_style; }
    int arrowWidth() const { return m_arrowWidth; }
    int numberMainTicks() const { return m_numMainTicks; }
    int lengthMainTicks() const { return m_lengthMainTicks; }
    int lengthSubTicks() const { return m_lengthSubTicks; }
    TFaceOptions faceOptions() const { return m_faceOptions; }
    float position() const { return m_position; }
    int scale() const { return m_scaleValue; }
    int indMinimum() const { return m_minimum; }
    int indMaximum() const { return m_maximum; }
    TAntialiased antiAliased() const { return m_antiAliased; }
    int factor() const { return SupersampleFactor(m_antiAliased); }

    GaugeRedraw SetCenterRadius(int value);
    GaugeRedraw SetCircleRadius(int value);
    // Taken when above 10 and at most 360 degrees; a refused change still redraws the face.
    GaugeRedraw SetAngle(int value);
    // Inset of the scale in pixels at factor 1; may be negative (the scale then runs past the edges).
    GaugeRedraw SetMargin(int value);
    GaugeRedraw SetStyle(TStyle value);
    // Pointer pen width, clamped to 1..5 pixels at factor 1.
    GaugeRedraw SetArrowWidth(int value);
    // Number of main intervals; below 1 is refused (there would be no interval to divide by).
    GaugeRedraw SetNumberMainTicks(int value);
    GaugeRedraw SetLengthMainTicks(int value);
    GaugeRedraw SetLengthSubTicks(int value);
    GaugeRedraw SetFaceOptions(TFaceOptions value);
    // Not clamped (a non-finite value is ignored); reports whether it lies above IndMaximum or below IndMinimum.
    PositionChange SetPosition(float value);
    // Taken when above 1; may lower IndMaximum and then IndMinimum to fit the new scale.
    GaugeRedraw SetScale(int value);
    // Each taken when above 0 and below Scale; a refused change still redraws the face.
    GaugeRedraw SetIndMinimum(int value);
    GaugeRedraw SetIndMaximum(int value);
    GaugeRedraw SetAntiAliased(TAntialiased value);

    // Left and right styles hold at most 90 degrees; applied (and stored) when the face is drawn.
    void ApplyStyleLimit();

    GaugeGeometry Geometry(int layerWidth, int layerHeight) const;
    FaceParams Face() const;

private:
    int m_centerRadius = 8;
    int m_circleRadius = 3;
    int m_scaleAngle = 120;
    int m_margin = 10;
    TStyle m_style = TStyle::CenterStyle;
    int m_arrowWidth = 1;
    int m_numMainTicks = 7;
    int m_lengthMainTicks = 15;
    int m_lengthSubTicks = 8;
    TFaceOptions m_faceOptions = kDefaultFaceOptions;
    float m_position = 0.0f;
    int m_scaleValue = 140;
    int m_minimum = 30;
    int m_maximum = 80;
    TAntialiased m_antiAliased = TAntialiased::aaNone;
};

}  // namespace vantora
