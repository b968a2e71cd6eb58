// The Tracking menu's items and the read-out beside "Tracking:": the widget part of
// TrackingService, kept apart so tracking runs without widgets.
#include "track/ui/tracking_service.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace vantora {

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
    m_menuView = [this] { applyMenu(); };
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
    m_menuView = [this] { applyMenu(); };
    applyMenu();
}

void TrackingService::attachReadout(QLabel* label)
{
    m_readoutLabel = label;
    m_readoutView = [this] {
        if (m_readoutLabel)
            showReadout();
    };
    if (label)
        showReadout();
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
