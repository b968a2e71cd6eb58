#include "widgets/gauge_model.h"

#include <algorithm>
#include <cmath>

namespace vantora {

namespace {

template <typename T>
GaugeRedraw StoreFace(T& field, T value)
{
    if (field == value) return GaugeRedraw::None;
    field = value;
    return GaugeRedraw::Face;
}

}  // namespace

GaugeRedraw GaugeModel::SetCenterRadius(int value) { return StoreFace(m_centerRadius, value); }
GaugeRedraw GaugeModel::SetCircleRadius(int value) { return StoreFace(m_circleRadius, value); }
GaugeRedraw GaugeModel::SetMargin(int value) { return StoreFace(m_margin, value); }
GaugeRedraw GaugeModel::SetStyle(TStyle value) { return StoreFace(m_style, value); }
GaugeRedraw GaugeModel::SetLengthMainTicks(int value) { return StoreFace(m_lengthMainTicks, value); }
GaugeRedraw GaugeModel::SetLengthSubTicks(int value) { return StoreFace(m_lengthSubTicks, value); }
GaugeRedraw GaugeModel::SetFaceOptions(TFaceOptions value) { return StoreFace(m_faceOptions, value); }
GaugeRedraw GaugeModel::SetAntiAliased(TAntialiased value) { return StoreFace(m_antiAliased, value); }

GaugeRedraw GaugeModel::SetNumberMainTicks(int value)
{
    if (value < 1) return GaugeRedraw::None;
    return StoreFace(m_numMainTicks, value);
}

GaugeRedraw GaugeModel::SetAngle(int value)
{
    if (value == m_scaleAngle) return GaugeRedraw::None;
    if (value > 10 && value <= 360) m_scaleAngle = value;
    return GaugeRedraw::Face;
}

GaugeRedraw GaugeModel::SetArrowWidth(int value)
{
    if (value == m_arrowWidth) return GaugeRedraw::None;
    m_arrowWidth = std::clamp(value, 1, 5);
    return GaugeRedraw::Arrow;
}

PositionChange GaugeModel::SetPosition(float value)
{
    PositionChange change;
    if (value == m_position || !std::isfinite(value)) return change;
    m_position = value;
    change.overMax = m_position > static_cast<float>(m_maximum);
    change.overMin = m_position < static_cast<float>(m_minimum);
    change.redraw = GaugeRedraw::Arrow;
    return change;
}

GaugeRedraw GaugeModel::SetScale(int value)
{
    if (value == m_scaleValue) return GaugeRedraw::None;
    if (value > 1) {
        m_scaleValue = value;
        if (m_maximum >= m_scaleValue) m_maximum = m_scaleValue - 1;
        if (m_scaleValue - m_maximum < m_minimum) m_minimum = m_scaleValue - m_maximum;
    }
    return GaugeRedraw::Face;
}

GaugeRedraw GaugeModel::SetIndMinimum(int value)
{
    if (value == m_minimum) return GaugeRedraw::None;
    if (value > 0 && value < m_scaleValue) m_minimum = value;
    return GaugeRedraw::Face;
}

GaugeRedraw GaugeModel::SetIndMaximum(int value)
{
    if (value == m_maximum) return GaugeRedraw::None;
    if (value > 0 && value < m_scaleValue) m_maximum = value;
    return GaugeRedraw::Face;
}

void GaugeModel::ApplyStyleLimit()
{
    m_scaleAngle = LimitAngleForStyle(m_style, m_scaleAngle);
}

GaugeGeometry GaugeModel::Geometry(int layerWidth, int layerHeight) const
{
    return ComputeGaugeGeometry(layerWidth, layerHeight, factor(), m_style,
                                LimitAngleForStyle(m_style, m_scaleAngle), m_margin, m_scaleValue);
}

FaceParams GaugeModel::Face() const
{
    FaceParams params;
    params.k = factor();
    params.margin = m_margin;
    params.numMainTicks = m_numMainTicks;
    params.lengthMainTicks = m_lengthMainTicks;
    params.lengthSubTicks = m_lengthSubTicks;
    params.indMinimum = m_minimum;
    params.indMaximum = m_maximum;
    params.options = m_faceOptions;
    return params;
}

}  // namespace vantora
