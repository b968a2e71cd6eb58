#include "settings/ui/spin_button.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace vantora {

namespace {

QToolButton* MakeArrow(QWidget* parent, const QString& name, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setFixedSize(16, 11);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    return button;
}

}  // namespace

SpinButton::SpinButton(const QString& name, QWidget* parent)
    : QWidget(parent),
      m_up(MakeArrow(this, name + QStringLiteral("Up"), Qt::UpArrow)),
      m_down(MakeArrow(this, name + QStringLiteral("Down"), Qt::DownArrow))
{
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setFixedSize(16, 22);
    connect(m_up, &QToolButton::clicked, this, &SpinButton::upClicked);
    connect(m_down, &QToolButton::clicked, this, &SpinButton::downClicked);
}

}  // namespace vantora
