#include "settings/ui/message_box_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace vantora {

void MessageBoxSink::ShowMessage(std::string_view text)
{
    // Over the window the operator works in (a dialog, or the main window), so that the box
    // belongs to it for the window manager and cannot end up behind it.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    if (!parent)
        parent = m_parent.data();
    QMessageBox::information(parent, QApplication::applicationName(),
                             QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace vantora
