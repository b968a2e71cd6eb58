#pragma once
// Small widget helpers every window of the program builds its form with: translated captions,
// named widgets (the tests and the end-to-end driver find them by object name) and label colours.

#include <QColor>
#include <QString>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vantora {

// English text in, the text to show in the language in force out.
using TranslateFn = std::function<std::string(const std::string&)>;

// The core's UTF-8 text as a QString.
QString FromUtf8(const std::string& text);

// `english` through `translate`; unchanged when no translation is given.
QString TranslatedText(const TranslateFn& translate, const char* english);

// "Edit7", "Label12", "Button3": the numbered names of the original forms.
QString NumberedName(const char* kind, int number);

QLineEdit* MakeEdit(QWidget* parent, const QString& name);
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text);

// Sets the label's text colour; does nothing (and so repaints nothing) when it already has it.
void SetTextColor(QLabel* label, const QColor& color);

}  // namespace vantora
