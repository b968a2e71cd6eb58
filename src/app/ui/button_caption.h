#pragma once
// Puts a name on a push button so that the whole of it shows: on one line at the button's font
// if it fits, else on two lines (broken at the space nearest the middle, or in the middle), else
// at a smaller font down to a readable minimum; only a name that fits none of these is cut short
// with an ellipsis, and then the whole name is the button's tooltip. An '&' shows as itself.

class QPushButton;
class QString;

namespace vantora {

void SetFittingCaption(QPushButton* button, const QString& text);

}  // namespace vantora
