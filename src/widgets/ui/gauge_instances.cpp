#include "widgets/ui/gauge_instances.h"

#include <QFont>

namespace vantora {

namespace {

void SetFontPixels(TA3nalogGauge& gauge, int pixels)
{
    QFont font = gauge.font();
    font.setPixelSize(pixels);
    gauge.setFont(font);
}

}  // namespace

void ConfigureMapGauge(TA3nalogGauge& gauge)
{
    gauge.resize(kMapGaugeWidth, kMapGaugeHeight);
    SetFontPixels(gauge, kMapFontPixels);
    gauge.setGaugeStyle(TStyle::CenterStyle);
    gauge.setScale(360);
    gauge.setAngle(360);
    gauge.setMargin(-120);
    gauge.setNumberMainTicks(7);
    gauge.setLengthMainTicks(10);
    gauge.setLengthSubTicks(8);
    gauge.setIndMaximum(80);
    gauge.setIndMinimum(30);
    gauge.setFaceOptions(FaceBit(TFaceOption::ShowCenter));
    gauge.setArrowColor(QColor(128, 0, 128));
    gauge.setCenterColor(QColor(255, 0, 0));
    gauge.setArrowWidth(2);
    gauge.setCenterRadius(4);
    gauge.setPosition(180);
}

void ConfigureRotatorDial(TA3nalogGauge& gauge, bool quarter)
{
    gauge.resize(kRotatorDialSize, kRotatorDialSize);
    SetFontPixels(gauge, kDialCaptionFontPixels);
    gauge.setGaugeStyle(quarter ? TStyle::RightStyle : TStyle::CenterStyle);
    gauge.setMargin(quarter ? 20 : 5);
    gauge.setIndMaximum(89);
    gauge.setIndMinimum(1);
    gauge.setScale(quarter ? 90 : 360);
    gauge.setAngle(quarter ? 90 : 360);
    gauge.setNumberMainTicks(4);
    gauge.setLengthMainTicks(20);
    gauge.setLengthSubTicks(4);
    gauge.setFaceOptions(FaceBit(TFaceOption::ShowMainTicks) | FaceBit(TFaceOption::ShowSubTicks) |
                         FaceBit(TFaceOption::ShowCenter) | FaceBit(TFaceOption::ShowCaption));
    gauge.setFaceColor(QColor(192, 192, 192));
    gauge.setTicksColor(QColor(0, 0, 0));
    gauge.setCaptionColor(QColor(0, 0, 0));
    gauge.setArrowColor(QColor(0, 0, 0));
    gauge.setCenterColor(QColor(192, 220, 192));
    gauge.setArrowWidth(2);
    gauge.setCenterRadius(6);
    gauge.setCircleRadius(quarter ? 3 : 1);
    gauge.setCaption(QStringLiteral("0°"));
    gauge.setPosition(quarter ? 0.0f : 180.0f);
}

}  // namespace vantora
