#include "app/ui/presets_window.h"

#include "app/ui/button_caption.h"
#include "settings/ui/dialog_window.h"
#include "station/presets_text.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace vantora {

namespace {
constexpr int kClientWidth = 259;
constexpr int kClientHeight = 201;
constexpr int kButtonWidth = 113;
constexpr int kButtonHeight = 33;
constexpr int kLeftColumnX = 8;
constexpr int kRightColumnX = 136;
constexpr std::array<int, 4> kRowY{16, 56, 96, 136};
}  // namespace

PresetsWindow::PresetsWindow(const Settings& settings, GoPresetFn goPreset, const TranslateFn& translate,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_settings(settings),
      m_goPreset(std::move(goPreset))
{
    setObjectName("TForm5");
    setWindowTitle(QString::fromStdString(translate("Presets")));
    setFixedSize(kClientWidth, kClientHeight);

    for (int i = 0; i < 8; ++i) {
        auto* button = new QPushButton(QStringLiteral("Preset %1").arg(i + 1), this);
        button->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        button->setGeometry(i < 4 ? kLeftColumnX : kRightColumnX, kRowY[i % 4], kButtonWidth, kButtonHeight);
        button->setMouseTracking(true);
        button->installEventFilter(this);
        const int n = i + 1;
        connect(button, &QPushButton::clicked, this, [this, n] { presetClicked(n); });
        m_buttons[i] = button;
    }
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(8, 176, 241, 22);
    m_info = new QLabel(QStringLiteral("A=0° E=0°"), this);
    m_info->setObjectName("Label1");
    m_info->setGeometry(16, 181, 225, 14);
}

void PresetsWindow::FormActivate()
{
    m_info->clear();
    for (int n = kFirstPreset; n <= kLastPreset; ++n)
        SetFittingCaption(m_buttons[n - 1], QString::fromStdString(m_settings.PresetName[n]));
}

void PresetsWindow::MouseOnPreset(int n)
{
    m_info->setText(QString::fromStdString(vantora::MouseOnPreset(m_settings, n)));
}

void PresetsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Centred when first shown; afterwards it comes back where the operator left it.
    if (!m_centered) {
        m_centered = true;
        CenterOnScreen(this);
    }
}

bool PresetsWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

bool PresetsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        for (int i = 0; i < 8; ++i)
            if (watched == m_buttons[i])
                MouseOnPreset(i + 1);
    }
    return QWidget::eventFilter(watched, event);
}

void PresetsWindow::presetClicked(int n)
{
    hide();
    if (m_goPreset)
        m_goPreset(n);
}

}  // namespace vantora
