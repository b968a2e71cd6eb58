#include "app/ui/button_caption.h"

#include "app/ui/program_font.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>

#include <cstdlib>

namespace vantora {

namespace {

constexpr int kSmallestPixels = 9;
constexpr int kTextMargin = 2;  // each side, inside the style's contents rectangle

QRect TextArea(const QPushButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = button->rect();
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return contents.adjusted(kTextMargin, 0, -kTextMargin, 0);
}

bool Fits(const QStringList& lines, const QFont& font, const QRect& area)
{
    const QFontMetrics metrics(font);
    if (static_cast<int>(lines.size()) * metrics.lineSpacing() > area.height())
        return false;
    for (const QString& line : lines)
        if (metrics.horizontalAdvance(line) > area.width())
            return false;
    return true;
}

// The text as one line, then as two lines with the break at the space nearest the middle; a
// text without spaces breaks in the middle.
QList<QStringList> Layouts(const QString& text)
{
    QList<QStringList> layouts{{text}};
    const int middle = static_cast<int>(text.size()) / 2;
    int bestSpace = -1;
    for (int i = 0; i < text.size(); ++i)
        if (text[i] == ' ' && (bestSpace < 0 || std::abs(i - middle) < std::abs(bestSpace - middle)))
            bestSpace = i;
    if (bestSpace > 0 && bestSpace < text.size() - 1)
        layouts.append(QStringList{text.left(bestSpace), text.mid(bestSpace + 1)});
    else if (text.size() > 1)
        layouts.append(QStringList{text.left(middle), text.mid(middle)});
    return layouts;
}

QString Shown(const QStringList& lines)
{
    QString shown = lines.join('\n');
    shown.replace('&', QStringLiteral("&&"));  // a mnemonic marker otherwise
    return shown;
}

}  // namespace

void SetFittingCaption(QPushButton* button, const QString& text)
{
    const QRect area = TextArea(button);
    const int normalPixels = ProgramFont().pixelSize();
    QFont font = button->font();
    button->setToolTip(QString());
    for (int pixels = normalPixels; pixels >= kSmallestPixels; --pixels) {
        font.setPixelSize(pixels);
        for (const QStringList& lines : Layouts(text)) {
            if (Fits(lines, font, area)) {
                button->setFont(font);
                button->setText(Shown(lines));
                return;
            }
        }
    }
    font.setPixelSize(normalPixels);
    button->setFont(font);
    button->setText(Shown({QFontMetrics(font).elidedText(text, Qt::ElideRight, area.width())}));
    button->setToolTip(text);
}

}  // namespace vantora
