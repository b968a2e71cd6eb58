#include "track/ui/tracking_service.h"

#include "settings/translate.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace vantora {

TrackingService::TrackingService(const Settings& settings, TargetSink& sink, QObject* parent)
    : TrackingService(settings, sink, m_diskFiles, parent)
{
}

TrackingService::TrackingService(const Settings& settings, TargetSink& sink, TrackingFiles& files, QObject* parent)
    : QObject(parent),
      m_settings(settings),
      m_controller(settings, files, sink),
      m_readout(QString::fromStdString(m_controller.Readout())),
      m_lastMenu(m_controller.Menu())
{
    m_timer.setObjectName(QStringLiteral("Timer2"));
    m_timer.setInterval(kTrackingIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TrackingService::Timer2Timer);
}

void TrackingService::attachMenu(QMenu* menu, QAction* off, QAction* moonSked, QAction* wsjt)
{
    if (menu)
        connect(menu, &QMenu::aboutToShow, this, &TrackingService::racking1Click);
    m_offAction = off;
    m_moonSkedAction = moonSked;
    m_wsjtAction = wsjt;
    if (off)
        connect(off, &QAction::triggered, this, &TrackingService::OFF1Click);
    if (moonSked)
        connect(moonSked, &QAction::triggered, this, &TrackingService::MoonSked1Click);
    if (wsjt)
        connect(wsjt, &QAction::triggered, this, &TrackingService::WSJT1Click);
    for (QAction* action : {off, moonSked, wsjt})
        if (action)
            action->setCheckable(true);
    applyMenu();
}

void TrackingService::attachBuiltInItems(QAction* moon, QAction* sun)
{
    m_moonBuiltInAction = moon;
    m_sunBuiltInAction = sun;
    if (moon)
        connect(moon, &QAction::triggered, this, &TrackingService::MoonBuiltInClick);
    if (sun)
        connect(sun, &QAction::triggered, this, &TrackingService::SunBuiltInClick);
    for (QAction* action : {moon, sun})
        if (action) {
            action->setCheckable(true);
            action->setEnabled(true);
        }
    applyMenu();
}

void TrackingService::attachReadout(QLabel* label, QLabel* caption)
{
    m_readoutLabel = label;
    m_captionLabel = caption;
    if (caption)
        m_caption = caption->text();
    if (label)
        showReadout();
    showCaption();
}

void TrackingService::showCaption()
{
    if (!m_captionLabel)
        return;
    const std::string_view body = TrackingBodyCaption(m_controller.Source());
    const QString text =
        body.empty() ? m_caption : QString::fromStdString(Translate(m_settings.Language, std::string(body)));
    if (m_captionLabel->text() != text)
        m_captionLabel->setText(text);
}

void TrackingService::showReadout()
{
    m_readoutLabel->setText(m_readout);
    // The label keeps its right edge and grows to the left when a text needs more room (the
    // built-in sources show a decimal: "359.9° / -12.4°").
    const QRect area = m_readoutLabel->geometry();
    const int needed = m_readoutLabel->sizeHint().width();
    if (needed > area.width())
        m_readoutLabel->setGeometry(area.x() + area.width() - needed, area.y(), needed, area.height());
}

void TrackingService::racking1Click()
{
    m_controller.MenuOpened();
    sync();
}

void TrackingService::OFF1Click()
{
    m_controller.Off();
    sync();
}

void TrackingService::MoonSked1Click()
{
    m_controller.StartMoonSked();
    sync();
}

void TrackingService::WSJT1Click()
{
    m_controller.StartWsjt();
    sync();
}

void TrackingService::MoonBuiltInClick()
{
    m_controller.StartMoonBuiltIn();
    sync();
}

void TrackingService::SunBuiltInClick()
{
    m_controller.StartSunBuiltIn();
    sync();
}

void TrackingService::Timer2Timer()
{
    m_controller.Tick();
    sync();
}

void TrackingService::sync()
{
    if (m_controller.TimerRunning()) {
        if (!m_timer.isActive())
            m_timer.start();
    } else {
        m_timer.stop();
    }

    // A triggered checkable action toggles itself; put every item back to what the state says.
    applyMenu();
    showCaption();
    if (!(m_controller.Menu() == m_lastMenu)) {
        m_lastMenu = m_controller.Menu();
        emit menuStateChanged();
    }

    const QString text = QString::fromStdString(m_controller.Readout());
    if (text != m_readout) {
        m_readout = text;
        if (m_readoutLabel)
            showReadout();
        emit readoutChanged(text);
    }
}

void TrackingService::applyMenu()
{
    const TrackingMenuState& menu = m_controller.Menu();
    if (m_offAction)
        m_offAction->setChecked(menu.offChecked);
    if (m_moonSkedAction) {
        m_moonSkedAction->setChecked(menu.moonSkedChecked);
        m_moonSkedAction->setEnabled(menu.moonSkedEnabled);
    }
    if (m_wsjtAction) {
        m_wsjtAction->setChecked(menu.wsjtChecked);
        m_wsjtAction->setEnabled(menu.wsjtEnabled);
    }
    if (m_moonBuiltInAction)
        m_moonBuiltInAction->setChecked(menu.moonBuiltInChecked);
    if (m_sunBuiltInAction)
        m_sunBuiltInAction->setChecked(menu.sunBuiltInChecked);
}

}  // namespace vantora
