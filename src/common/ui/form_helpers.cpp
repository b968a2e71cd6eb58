#include "common/ui/form_helpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace vantora {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QString TranslatedText(const TranslateFn& translate, const char* english)
{
    return FromUtf8(translate ? translate(english) : std::string(english));
}

QString NumberedName(const char* kind, int number)
{
    return QStringLiteral("%1%2").arg(QLatin1String(kind)).arg(number);
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

void SetTextColor(QLabel* label, const QColor& color)
{
    // Every colour group: a read-out stays readable while a dialog disables its window.
    QPalette palette = label->palette();
    if (palette.color(QPalette::Active, QPalette::WindowText) == color &&
        palette.color(QPalette::Disabled, QPalette::WindowText) == color)
        return;
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace vantora
