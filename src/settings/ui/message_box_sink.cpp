#include "settings/ui/message_box_sink.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vantora {

void MessageBoxSink::ShowMessage(std::string_view text)
{
    QMessageBox::information(m_parent.data(), QCoreApplication::applicationName(),
                             QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace vantora
