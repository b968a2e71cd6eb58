#pragma once
// The one-line state of a listening server as the Network window shows it.

#include <QString>

#include <functional>
#include <string>

namespace vantora {

using StatusTranslateFn = std::function<std::string(const std::string&)>;

// "127.0.0.1:4533"; an IPv6 address in brackets ("[::]:4533").
QString ListenAddressText(const QString& address, quint16 port);

// "Listening on <where>" / "Cannot listen on <where>: <reason>" / "Switched off"; the fixed
// words go through `translate` when one is given (the reason is the system's, untranslated).
QString ListeningText(const StatusTranslateFn& translate, const QString& where);
QString CannotListenText(const StatusTranslateFn& translate, const QString& where, const QString& reason);
QString SwitchedOffText(const StatusTranslateFn& translate);

}  // namespace vantora
