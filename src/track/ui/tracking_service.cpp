#include "track/ui/tracking_service.h"

namespace vantora {

TrackingService::TrackingService(const Settings& settings, TargetSink& sink, QObject* parent)
    : TrackingService(settings, sink, m_diskFiles, parent)
{
}

TrackingService::TrackingService(const Settings& settings, TargetSink& sink, TrackingFiles& files,
                                 QObject* parent)
    : QObject(parent),
      m_controller(settings, files, sink),
      m_readout(QString::fromStdString(m_controller.Readout())),
      m_lastMenu(m_controller.Menu())
{
    m_timer.setObjectName(QStringLiteral("Timer2"));
    m_timer.setInterval(kTrackingIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TrackingService::Timer2Timer);
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
    if (m_menuView)
        m_menuView();
    if (!(m_controller.Menu() == m_lastMenu)) {
        m_lastMenu = m_controller.Menu();
        emit menuStateChanged();
    }

    const QString text = QString::fromStdString(m_controller.Readout());
    if (text != m_readout) {
        m_readout = text;
        if (m_readoutView)
            m_readoutView();
        emit readoutChanged(text);
    }
}

}  // namespace vantora
