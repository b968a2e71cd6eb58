#include "settings/ui/sensors_dialog.h"

#include "common/ui/form_helpers.h"
#include "settings/control_unit_logic.h"
#include "settings/sensor_calibration_logic.h"
#include "settings/ui/dialog_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vantora {

namespace {

constexpr int kClientWidth = 225;
constexpr int kClientHeight = 317;
constexpr int kRequestIntervalMs = 200;

}  // namespace

SensorsDialog::SensorsDialog(const RotatorState& state, CommandBuffer& buffer, FrameSink& sink,
                             TranslateFn translate, DialogHooks hooks, QWidget* parent)
    : QWidget(parent), m_state(state), m_buffer(buffer), m_sink(sink),
      m_translate(std::move(translate)), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("TForm4"));
    MakeFixedDialog(this, kClientWidth, kClientHeight);
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    setFont(dialogFont);
    setWindowTitle(tr8("Sensors calibration"));

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kRequestIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &SensorsDialog::Timer1Timer);

    // Stays English until the first activation replaces it.
    m_status = new QLabel(QStringLiteral("Ready"), this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setFrameShape(QFrame::Panel);
    m_status->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildRotatorFrame(1));
    layout->addWidget(buildRotatorFrame(2));
    layout->addStretch(1);
    layout->addWidget(m_status);

    new ActivationWatcher(this, [this] { FormActivate(); });
}

QString SensorsDialog::tr8(const char* english) const
{
    return TranslatedText(m_translate, english);
}

QWidget* SensorsDialog::buildRotatorFrame(int rotator)
{
    auto* frame = new QGroupBox(tr8(rotator == 1 ? " Rotator 1 " : " Rotator 2 "));
    frame->setObjectName(QStringLiteral("GroupBox%1").arg(rotator));

    // Button numbers: rotator 1 reset 1, inverting 3, write 2; rotator 2 reset 4, inverting 5, write 6.
    const int reset = rotator == 1 ? 1 : 4;
    const int invert = rotator == 1 ? 3 : 5;
    const int write = rotator == 1 ? 2 : 6;
    auto makeButton = [&](int number, const char* caption, void (SensorsDialog::*handler)()) {
        QPushButton* button = MakeButton(frame, NumberedName("Button", number), tr8(caption));
        connect(button, &QPushButton::clicked, this, handler);
        m_buttons[static_cast<std::size_t>(number - 1)] = button;
        return button;
    };
    QPushButton* resetButton = makeButton(
        reset, "Sensor position reset",
        rotator == 1 ? &SensorsDialog::Button1Click : &SensorsDialog::Button4Click);
    QPushButton* invertButton = makeButton(
        invert, "Sensor inverting",
        rotator == 1 ? &SensorsDialog::Button3Click : &SensorsDialog::Button5Click);
    QPushButton* writeButton = makeButton(
        write, "Write position",
        rotator == 1 ? &SensorsDialog::Button2Click : &SensorsDialog::Button6Click);

    auto* position = new QLineEdit(QStringLiteral("0"), frame);
    position->setObjectName(QStringLiteral("Edit%1").arg(rotator));
    position->setFixedWidth(50);
    (rotator == 1 ? m_position1 : m_position2) = position;

    auto* column = new QVBoxLayout(frame);
    column->addWidget(resetButton);
    column->addWidget(invertButton);
    auto* row = new QHBoxLayout;
    row->addWidget(position);
    row->addWidget(writeButton, 1);
    column->addLayout(row);
    return frame;
}

void SensorsDialog::setStatus(const std::string& englishText)
{
    m_status->setText(QString::fromStdString(m_translate ? m_translate(englishText) : englishText));
}

void SensorsDialog::FormActivate()
{
    for (QPushButton* button : m_buttons)
        button->setEnabled(false);
    Timer1Timer();
    setStatus(std::string(kStatusReading));
    m_timer->start();
}

void SensorsDialog::Timer1Timer()
{
    BuildReadSettings(m_buffer);
    Odeslat(m_buffer, m_sink);
}

void SensorsDialog::Povolit()
{
    m_timer->stop();
    setStatus(std::string(kStatusReady));
    const bool present[2] = {SensorPresent(m_state.settings.sensorId1),
                             SensorPresent(m_state.settings.sensorId2)};
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (present[i / 3])
            m_buttons[i]->setEnabled(true);
    }
}

void SensorsDialog::Button1Click()
{
    setStatus(std::string(SendSensorOperation(1, SensorOperation::Reset, m_buffer, m_sink)));
}

void SensorsDialog::Button3Click()
{
    setStatus(std::string(SendSensorOperation(1, SensorOperation::Invert, m_buffer, m_sink)));
}

void SensorsDialog::Button2Click()
{
    setStatus(std::string(
        WriteSensorPosition(1, m_position1->text().toStdString(), m_buffer, m_sink)));
}

void SensorsDialog::Button4Click()
{
    setStatus(std::string(SendSensorOperation(2, SensorOperation::Reset, m_buffer, m_sink)));
}

void SensorsDialog::Button5Click()
{
    setStatus(std::string(SendSensorOperation(2, SensorOperation::Invert, m_buffer, m_sink)));
}

void SensorsDialog::Button6Click()
{
    setStatus(std::string(
        WriteSensorPosition(2, m_position2->text().toStdString(), m_buffer, m_sink)));
}

void SensorsDialog::closeEvent(QCloseEvent* event)
{
    if (m_hooks.enableMainWindow)
        m_hooks.enableMainWindow();
    m_timer->stop();
    event->accept();
}

void SensorsDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_centered) {
        m_centered = true;
        CenterOnScreen(this);
    }
}

}  // namespace vantora
