#include "settings/ui/control_unit_dialog.h"

#include "common/ui/form_helpers.h"
#include "settings/ui/character_filter.h"
#include "settings/ui/dialog_window.h"
#include "settings/ui/spin_button.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vantora {

namespace {

constexpr int kClientWidth = 318;
constexpr int kClientHeight = 643;
constexpr int kRequestIntervalMs = 200;
constexpr int kNumberBoxWidth = 44;
constexpr int kLcdBoxWidth = 70;

// A number box of the frames: "Edit<number>", narrow, read-only where the unit measures it.
QLineEdit* NumberBox(QWidget* parent, int number, bool readOnly)
{
    QLineEdit* edit = MakeEdit(parent, NumberedName("Edit", number));
    edit->setReadOnly(readOnly);
    edit->setFixedWidth(kNumberBoxWidth);
    return edit;
}

QLineEdit* MakeLcdEdit(QWidget* parent, int number)
{
    QLineEdit* edit = MakeEdit(parent, NumberedName("Edit", number));
    edit->setMaxLength(static_cast<int>(kLcdTextLength));
    edit->setFixedWidth(kLcdBoxWidth);
    new CharacterFilter(edit, [](const QString&, char32_t typed) { return AcceptLcdKey(typed); });
    return edit;
}

// The hidden "Measure" button on the left, the Write button on the right.
QHBoxLayout* ButtonRow(QPushButton* measure, QPushButton* write)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(measure);
    row->addWidget(write);
    return row;
}

// Four frames share 643 pixels: keep their margins small.
QGridLayout* FrameGrid(QGroupBox* frame)
{
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setVerticalSpacing(2);
    return grid;
}

}  // namespace

ControlUnitDialog::ControlUnitDialog(RotatorState& state, CommandBuffer& buffer, FrameSink& sink,
                                     TranslateFn translate, DialogHooks hooks, QWidget* parent)
    : QWidget(parent), m_state(state), m_buffer(buffer), m_sink(sink),
      m_translate(std::move(translate)), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("TForm3"));
    MakeFixedDialog(this, kClientWidth, kClientHeight);
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    setFont(dialogFont);
    setWindowTitle(tr8("Control unit settings"));

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kRequestIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &ControlUnitDialog::Timer1Timer);

    m_status = new QLabel(tr8("Ready"), this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setFrameShape(QFrame::Panel);
    m_status->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(buildBusFrame());
    layout->addWidget(buildRotator1Frame());
    layout->addWidget(buildRotator2Frame());
    layout->addWidget(buildDisplayFrame());
    layout->addStretch(1);
    layout->addWidget(m_status);

    for (QPushButton* write : m_writeButtons)
        write->setEnabled(false);

    new ActivationWatcher(this, [this] { FormActivate(); });
}

QString ControlUnitDialog::tr8(const char* english) const
{
    return TranslatedText(m_translate, english);
}

QWidget* ControlUnitDialog::buildBusFrame()
{
    auto* frame = new QGroupBox(tr8(" RS-485 bus "));
    frame->setObjectName(QStringLiteral("GroupBox1"));
    QGridLayout* grid = FrameGrid(frame);
    m_sensorId1 = NumberBox(frame, 1, false);
    m_sensorId2 = NumberBox(frame, 2, false);
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 1), tr8("Magnetic sensor 1 ID:")), 0, 0);
    grid->addWidget(m_sensorId1, 0, 1);
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 2), tr8("Magnetic sensor 2 ID:")), 1, 0);
    grid->addWidget(m_sensorId2, 1, 1);
    grid->setColumnStretch(2, 1);
    m_writeButtons[0] = MakeButton(frame, NumberedName("Button", 1), tr8("Write"));
    connect(m_writeButtons[0], &QPushButton::clicked, this, &ControlUnitDialog::Button1Click);
    grid->addWidget(m_writeButtons[0], 1, 3, Qt::AlignRight);
    return frame;
}

QWidget* ControlUnitDialog::buildRotator1Frame()
{
    auto* frame = new QGroupBox(tr8(" Rotator 1 - Azimuth "));
    frame->setObjectName(QStringLiteral("GroupBox2"));
    QGridLayout* grid = FrameGrid(frame);

    m_sensitivity1 = NumberBox(frame, 3, true);
    m_inertia1 = NumberBox(frame, 4, true);
    m_inertiaTime1 = NumberBox(frame, 5, true);
    m_limitSwitch1 = NumberBox(frame, 6, false);
    m_lcdText1 = MakeLcdEdit(frame, 12);

    const char* captions[] = {"Automation sensitivity [°]:", "Rotational inertia [°]:",
                              "Rotational inertia - time [s]:"};
    QLineEdit* boxes[] = {m_sensitivity1, m_inertia1, m_inertiaTime1};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(MakeLabel(frame, NumberedName("Label", 3 + i), tr8(captions[i])), i, 0);
        grid->addWidget(boxes[i], i, 1);
        auto* spin = new SpinButton(QStringLiteral("SpinButton%1").arg(1 + i), frame);
        connect(spin, &SpinButton::upClicked, this, [this, i] { spinClick(1 + i, true); });
        connect(spin, &SpinButton::downClicked, this, [this, i] { spinClick(1 + i, false); });
        grid->addWidget(spin, i, 2);
    }
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 6), tr8("Position of limit switch [°]:")), 3, 0);
    grid->addWidget(m_limitSwitch1, 3, 1);
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 7), QStringLiteral("LCD text:")), 4, 0);
    grid->addWidget(m_lcdText1, 4, 1, 1, 3);
    grid->setColumnStretch(3, 1);

    auto* measure = MakeButton(frame, NumberedName("Button", 4), tr8("Measure"));
    measure->hide();
    m_writeButtons[1] = MakeButton(frame, NumberedName("Button", 2), tr8("Write"));
    connect(m_writeButtons[1], &QPushButton::clicked, this, &ControlUnitDialog::Button2Click);
    grid->addLayout(ButtonRow(measure, m_writeButtons[1]), 5, 0, 1, 4);
    return frame;
}

QWidget* ControlUnitDialog::buildRotator2Frame()
{
    auto* frame = new QGroupBox(tr8(" Rotator 2 "));
    frame->setObjectName(QStringLiteral("GroupBox3"));
    QGridLayout* grid = FrameGrid(frame);

    m_azimuthMode = new QRadioButton(tr8("Azimuth"), frame);
    m_azimuthMode->setObjectName(QStringLiteral("RadioButton1"));
    m_elevationMode = new QRadioButton(tr8("Elevation"), frame);
    m_elevationMode->setObjectName(QStringLiteral("RadioButton2"));
    connect(m_azimuthMode, &QRadioButton::clicked, this, &ControlUnitDialog::RadioButton1Click);
    connect(m_elevationMode, &QRadioButton::clicked, this, &ControlUnitDialog::RadioButton2Click);
    auto* modes = new QHBoxLayout;
    modes->addWidget(m_azimuthMode);
    modes->addWidget(m_elevationMode);
    modes->addStretch(1);
    grid->addLayout(modes, 0, 0, 1, 4);

    m_sensitivity2 = NumberBox(frame, 7, true);
    m_inertia2 = NumberBox(frame, 8, true);
    m_inertiaTime2 = NumberBox(frame, 9, true);
    m_limitSwitch2 = NumberBox(frame, 10, false);
    m_maxElevation2 = NumberBox(frame, 11, false);
    m_lcdText2 = MakeLcdEdit(frame, 13);

    const char* captions[] = {"Automation sensitivity [°]:", "Rotational inertia [°]:",
                              "Rotational inertia - time [s]:"};
    QLineEdit* boxes[] = {m_sensitivity2, m_inertia2, m_inertiaTime2};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(MakeLabel(frame, NumberedName("Label", 8 + i), tr8(captions[i])), 1 + i, 0);
        grid->addWidget(boxes[i], 1 + i, 1);
        auto* spin = new SpinButton(QStringLiteral("SpinButton%1").arg(4 + i), frame);
        connect(spin, &SpinButton::upClicked, this, [this, i] { spinClick(4 + i, true); });
        connect(spin, &SpinButton::downClicked, this, [this, i] { spinClick(4 + i, false); });
        grid->addWidget(spin, 1 + i, 2);
    }
    // The notes are too wide beside the boxes: each goes on the line below its box.
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 11), tr8("Position of limit switch [°]:")), 4, 0);
    grid->addWidget(m_limitSwitch2, 4, 1);
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 13), tr8("(azimuth only)")), 5, 1, 1, 3);
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 12), tr8("Maximum elevation [°]:")), 6, 0);
    grid->addWidget(m_maxElevation2, 6, 1);
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 14), tr8("(elevation only)")), 7, 1, 1, 3);
    grid->addWidget(MakeLabel(frame, NumberedName("Label", 15), QStringLiteral("LCD text:")), 8, 0);
    grid->addWidget(m_lcdText2, 8, 1, 1, 3);
    grid->setColumnStretch(3, 1);

    auto* measure = MakeButton(frame, NumberedName("Button", 5), tr8("Measure"));
    measure->hide();
    m_writeButtons[2] = MakeButton(frame, NumberedName("Button", 3), tr8("Write"));
    connect(m_writeButtons[2], &QPushButton::clicked, this, &ControlUnitDialog::Button3Click);
    grid->addLayout(ButtonRow(measure, m_writeButtons[2]), 9, 0, 1, 4);
    return frame;
}

QWidget* ControlUnitDialog::buildDisplayFrame()
{
    auto* frame = new QGroupBox(tr8(" Display "));
    frame->setObjectName(QStringLiteral("GroupBox4"));
    m_display16 = new QRadioButton(tr8("16 chars"), frame);
    m_display16->setObjectName(QStringLiteral("RadioButton3"));
    m_display20 = new QRadioButton(tr8("20 chars"), frame);
    m_display20->setObjectName(QStringLiteral("RadioButton4"));
    connect(m_display16, &QRadioButton::clicked, this, &ControlUnitDialog::RadioButton3Click);
    connect(m_display20, &QRadioButton::clicked, this, &ControlUnitDialog::RadioButton4Click);
    m_writeButtons[3] = MakeButton(frame, NumberedName("Button", 6), tr8("Write"));
    connect(m_writeButtons[3], &QPushButton::clicked, this, &ControlUnitDialog::Button6Click);

    auto* row = new QHBoxLayout(frame);
    row->addWidget(m_display16);
    row->addWidget(m_display20);
    row->addStretch(1);
    row->addWidget(m_writeButtons[3]);
    return frame;
}

void ControlUnitDialog::setStatus(const std::string& englishText)
{
    m_status->setText(FromUtf8(m_translate ? m_translate(englishText) : englishText));
}

void ControlUnitDialog::sendReadSettings()
{
    BuildReadSettings(m_buffer);
    Odeslat(m_buffer, m_sink);
}

void ControlUnitDialog::FormActivate()
{
    sendReadSettings();
    setStatus(std::string(kStatusReading));
    m_timer->start();
}

void ControlUnitDialog::Timer1Timer()
{
    sendReadSettings();
}

void ControlUnitDialog::Zobrazit()
{
    const ControlUnitView view = ShowUnitSettings(m_state.settings);
    m_sensorId1->setText(FromUtf8(view.sensorId1));
    m_sensorId2->setText(FromUtf8(view.sensorId2));
    m_sensitivity1->setText(FromUtf8(view.sensitivity1));
    m_inertia1->setText(FromUtf8(view.inertia1));
    m_inertiaTime1->setText(FromUtf8(view.inertiaTime1));
    m_limitSwitch1->setText(FromUtf8(view.limitSwitch1));
    m_sensitivity2->setText(FromUtf8(view.sensitivity2));
    m_inertia2->setText(FromUtf8(view.inertia2));
    m_inertiaTime2->setText(FromUtf8(view.inertiaTime2));
    m_limitSwitch2->setText(FromUtf8(view.limitSwitch2));
    m_maxElevation2->setText(FromUtf8(view.maxElevation2));
    // Selecting a mode acts as a click on it; the report's texts then overwrite the LCD boxes.
    (view.elevationMode ? m_elevationMode : m_azimuthMode)->setChecked(true);
    if (view.elevationMode)
        RadioButton2Click();
    else
        RadioButton1Click();
    m_lcdText1->setText(FromUtf8(view.lcdText1));
    m_lcdText2->setText(FromUtf8(view.lcdText2));
    (view.display20 ? m_display20 : m_display16)->setChecked(true);
}

void ControlUnitDialog::Povolit()
{
    for (QPushButton* write : m_writeButtons)
        write->setEnabled(true);
    setStatus(std::string(kStatusReady));
    m_timer->stop();
}

void ControlUnitDialog::spinClick(int spinButton, bool up)
{
    if (spinButton < 1 || spinButton > 6)
        return;
    const int rotator = spinButton <= 3 ? 1 : 2;
    const auto field = static_cast<SpinField>((spinButton - 1) % 3);
    if (up)
        SpinUp(m_state.settings, rotator, field);
    else
        SpinDown(m_state.settings, rotator, field);
    Zobrazit();
}

void ControlUnitDialog::Button1Click()
{
    setStatus(std::string(WriteSensorIds(m_state.settings, m_sensorId1->text().toStdString(),
                                         m_sensorId2->text().toStdString(), m_buffer, m_sink)));
}

void ControlUnitDialog::Button2Click()
{
    setStatus(std::string(WriteRotator1(m_state.settings, m_limitSwitch1->text().toStdString(),
                                        m_lcdText1->text().toStdString(), m_buffer, m_sink)));
}

void ControlUnitDialog::Button3Click()
{
    setStatus(std::string(WriteRotator2(m_state.settings, m_maxElevation2->text().toStdString(),
                                        m_limitSwitch2->text().toStdString(),
                                        m_lcdText2->text().toStdString(),
                                        m_elevationMode->isChecked(), m_buffer, m_sink)));
}

void ControlUnitDialog::Button6Click()
{
    setStatus(std::string(WriteDisplay(m_state.settings, m_buffer, m_sink)));
}

void ControlUnitDialog::applyModeToBoxes(bool elevation)
{
    m_maxElevation2->setEnabled(elevation);
    m_limitSwitch2->setEnabled(!elevation);
    const QString current = m_lcdText2->text();
    const QString swapped = FromUtf8(SwapLcdTextForMode(current.toStdString(), elevation));
    if (swapped != current)
        m_lcdText2->setText(swapped);
}

void ControlUnitDialog::RadioButton1Click()
{
    applyModeToBoxes(false);
}

void ControlUnitDialog::RadioButton2Click()
{
    applyModeToBoxes(true);
}

void ControlUnitDialog::RadioButton3Click()
{
    m_state.settings.display20 = 0;
}

void ControlUnitDialog::RadioButton4Click()
{
    m_state.settings.display20 = 1;
}

void ControlUnitDialog::closeEvent(QCloseEvent* event)
{
    if (m_hooks.enableMainWindow)
        m_hooks.enableMainWindow();
    if (!m_state.firmwareTooOld && m_hooks.restartPoll)
        m_hooks.restartPoll();
    m_timer->stop();
    event->accept();
}

void ControlUnitDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_centered) {
        m_centered = true;
        CenterOnScreen(this);
    }
}

}  // namespace vantora
