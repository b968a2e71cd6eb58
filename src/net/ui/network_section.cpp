#include "net/ui/network_section.h"

#include <QHBoxLayout>
#include <QLabel>

namespace vantora {

QWidget* NetworkSection::withProblemLabel(QWidget* field)
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    field->setParent(row);
    layout->addWidget(field);
    auto* label = new QLabel(row);
    label->setObjectName(field->objectName() + QStringLiteral("Problem"));
    label->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    label->setWordWrap(true);
    label->hide();
    layout->addWidget(label, 1);
    m_problemLabels.emplace_back(field, label);
    return row;
}

void NetworkSection::showFieldProblem(QWidget* field, const QString& text)
{
    for (const auto& [owner, label] : m_problemLabels) {
        if (owner == field) {
            label->setText(text);
            label->show();
        }
    }
}

void NetworkSection::clearFieldProblems()
{
    for (const auto& entry : m_problemLabels)
        entry.second->hide();
}

}  // namespace vantora
