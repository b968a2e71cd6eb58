#include "track/ui/listen_status.h"

namespace vantora {

namespace {

QString Translated(const StatusTranslateFn& translate, const char* english)
{
    return QString::fromStdString(translate ? translate(english) : std::string(english));
}

}  // namespace

QString ListenAddressText(const QString& address, quint16 port)
{
    const QString host = address.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(address) : address;
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

QString ListeningText(const StatusTranslateFn& translate, const QString& where)
{
    return Translated(translate, "Listening on %1").arg(where);
}

QString CannotListenText(const StatusTranslateFn& translate, const QString& where, const QString& reason)
{
    return Translated(translate, "Cannot listen on %1: %2").arg(where, reason);
}

QString SwitchedOffText(const StatusTranslateFn& translate)
{
    return Translated(translate, "Switched off");
}

}  // namespace vantora
