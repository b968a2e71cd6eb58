#include "app/ui/main_window_widgets.h"

#include "app/ui/program_font.h"
#include "station/target_entry.h"
#include "widgets/ui/analog_gauge.h"
#include "widgets/ui/gauge_instances.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

namespace vantora {

namespace {

constexpr QColor kTeal{0, 128, 128};
constexpr QColor kPanelGreen{192, 220, 192};
constexpr QColor kValueBlue{0, 0, 255};
constexpr int kReadoutFontPixels = 16;

QRect ToQRect(const Rect& r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

QWidget* MakePanel(QWidget* parent, const char* name)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kPanelGreen);
    panel->setPalette(palette);
    return panel;
}

// A read-out line of Panel1: captions on the left in black, values right-aligned in blue.
QLabel* MakeReadout(QWidget* parent, const char* name, const QString& text, int y, bool rightColumn,
                    int rightEdge = 184)
{
    QLabel* label = MakeLabel(parent, name, text);
    label->setFont(ProgramFont(kReadoutFontPixels));
    const int height = kReadoutFontPixels + 4;
    if (rightColumn) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(rightEdge - 70, y, 70, height);
        SetTextColor(label, kValueBlue);
    } else {
        label->setGeometry(8, y, 176, height);
        SetTextColor(label, Qt::black);
    }
    return label;
}

TA3nalogGauge* MakeGauge(QWidget* parent, const char* name)
{
    auto* gauge = new TA3nalogGauge(parent);
    gauge->setObjectName(name);
    return gauge;
}

QColor ToQColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

MainWindowWidgets BuildMainWindowWidgets(QMainWindow& window, const TranslateFn& translate)
{
    MainWindowWidgets w;
    w.client = new QWidget(&window);
    w.client->setObjectName("ClientArea");
    w.client->setAutoFillBackground(true);
    QPalette palette = w.client->palette();
    palette.setColor(QPalette::Window, kTeal);
    w.client->setPalette(palette);
    window.setCentralWidget(w.client);

    w.map = MakeGauge(w.client, "AnalogGauge3");
    ConfigureMapGauge(*w.map);
    w.gauge1 = MakeGauge(w.client, "AnalogGauge1");
    ConfigureRotatorDial(*w.gauge1, false);
    w.gauge2 = MakeGauge(w.client, "AnalogGauge2");
    ConfigureRotatorDial(*w.gauge2, true);

    const auto tr = [&translate](const char* english) { return TranslatedText(translate, english); };
    w.panel1 = MakePanel(w.client, "Panel1");
    MakeReadout(w.panel1, "Label1", tr("Rotator 1 position:"), 10, false);
    w.label3 = MakeReadout(w.panel1, "Label3", tr("Setpoint:"), 34, false);
    MakeReadout(w.panel1, "Label2", tr("Rotator 2 position:"), 58, false);
    w.label4 = MakeReadout(w.panel1, "Label4", tr("Setpoint:"), 82, false);
    MakeReadout(w.panel1, "Label10", tr("Tracking:"), 112, false);
    w.label6 = MakeReadout(w.panel1, "Label6", "0°", 10, true);
    w.label7 = MakeReadout(w.panel1, "Label7", "0°", 34, true);
    w.label8 = MakeReadout(w.panel1, "Label8", "0°", 58, true);
    w.label9 = MakeReadout(w.panel1, "Label9", "0°", 82, true);
    w.label5 = MakeReadout(w.panel1, "Label5", "OFF", 112, true, 183);
    for (QLabel* right : {w.label6, w.label7, w.label8, w.label9, w.label5})
        right->raise();

    w.panel3 = MakePanel(w.client, "Panel3");
    QFont bold = window.font();
    bold.setBold(true);
    const auto speedButton = [&](const char* name, const char* caption, int x, int width) {
        QPushButton* button = MakeButton(w.panel3, name, caption);
        button->setFont(bold);
        button->setFocusPolicy(Qt::NoFocus);  // like a speed button: the target box keeps the focus
        button->setGeometry(x, 5, width, 20);
        return button;
    };
    w.park = speedButton("SpeedButton1", "PARK", 4, 60);
    w.stop = speedButton("SpeedButton2", "STOP", 66, 60);
    w.presets = speedButton("SpeedButton3", "PRESETS", 128, 61);

    w.panel2 = MakePanel(w.client, "Panel2");
    w.edit1 = MakeEdit(w.panel2, "Edit1");
    w.edit1->setGeometry(4, 8, 122, 21);
    w.button1 = MakeButton(w.panel2, "Button1", "OK");
    w.button1->setFont(bold);
    w.button1->setGeometry(128, 8, 61, 22);

    // The design-size Basic layout; the window applies the stored layout and size afterwards.
    const WindowLayout basic = Vzhled(LayoutKind::Basic);
    w.map->setGeometry(ToQRect(basic.map));
    PlaceParts(w, basic);
    return w;
}

void PlaceParts(const MainWindowWidgets& widgets, const WindowLayout& layout)
{
    widgets.gauge1->setGeometry(ToQRect(layout.gauge1));
    widgets.gauge2->setGeometry(ToQRect(layout.gauge2));
    widgets.panel1->setGeometry(ToQRect(layout.panel1));
    widgets.panel2->setGeometry(ToQRect(layout.panel2));
    widgets.panel3->setGeometry(ToQRect(layout.panel3));
}

void PlaceParts(const MainWindowWidgets& widgets, const ResizeGeometry& geometry)
{
    widgets.gauge1->setGeometry(ToQRect(geometry.gauge1));
    widgets.gauge2->setGeometry(ToQRect(geometry.gauge2));
    widgets.map->setGeometry(ToQRect(geometry.map));
    widgets.panel1->setGeometry(ToQRect(geometry.panel1));
    widgets.panel2->setGeometry(ToQRect(geometry.panel2));
    widgets.panel3->setGeometry(ToQRect(geometry.panel3));
}

void SetClientSize(QMainWindow& window, int width, int height)
{
    window.resize(width, height + window.menuBar()->sizeHint().height());
}

void SetMinimumClientSize(QMainWindow& window, int width, int height)
{
    // The minimum is set on the client area plus the menu bar; the frame comes on top.
    window.setMinimumSize(width, height + window.menuBar()->sizeHint().height());
}

void ApplyLayout(QMainWindow& window, const MainWindowWidgets& widgets, const WindowLayout& layout)
{
    const int menuHeight = window.menuBar()->sizeHint().height();
    window.setWindowTitle(FromUtf8(layout.caption));
    const bool wasVisible = window.isVisible();
    Qt::WindowFlags flags = window.windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    flags.setFlag(Qt::WindowMaximizeButtonHint, !layout.fixedBorder);
    flags.setFlag(Qt::MSWindowsFixedSizeDialogHint, layout.fixedBorder);
    if (flags != window.windowFlags()) {
        window.setWindowFlags(flags);
        if (wasVisible)
            window.show();
    }
    widgets.map->setVisible(layout.mapVisible);
    PlaceParts(widgets, layout);
    window.setMinimumSize(0, 0);
    if (layout.fixedBorder) {
        window.setFixedSize(layout.clientWidth, layout.clientHeight + menuHeight);
    } else {
        window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        SetMinimumClientSize(window, layout.clientWidth, layout.clientHeight);
        widgets.map->setGeometry(ToQRect(layout.map));
        SetClientSize(window, layout.clientWidth, layout.clientHeight);
    }
}

char32_t TargetBoxKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Space: return kKeySpace;
    default: return 0;
    }
}

void ShowDial(TA3nalogGauge& gauge, const DialModel& model)
{
    gauge.setPosition(static_cast<float>(model.position));
    gauge.setCaption(FromUtf8(model.caption));
    gauge.setFaceColor(ToQColor(model.face));
    gauge.setCenterColor(ToQColor(model.centre));
}

void ReshapeDial(TA3nalogGauge& gauge, const std::vector<DialStep>& steps)
{
    for (const DialStep& step : steps) {
        switch (step.property) {
        case DialProperty::Style:
            gauge.setGaugeStyle(step.style == DialStyle::Center ? TStyle::CenterStyle : TStyle::RightStyle);
            break;
        case DialProperty::Margin: gauge.setMargin(step.value); break;
        case DialProperty::Scale: gauge.setScale(step.value); break;
        case DialProperty::Angle: gauge.setAngle(step.value); break;
        }
    }
}

void ShowSetpoint(QLabel* caption, QLabel* value, const std::string& text, bool acknowledged)
{
    value->setText(FromUtf8(text));
    SetTextColor(caption, acknowledged ? QColor(Qt::red) : QColor(Qt::black));
    SetTextColor(value, acknowledged ? QColor(Qt::red) : kValueBlue);
}

}  // namespace vantora
