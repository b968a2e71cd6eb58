#include "track/ui/tcp_command_server.h"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace vantora {

namespace {

constexpr int kListenBacklog = 256;
// After a failed accept (for example no descriptors left) Qt stops accepting; try again later
// rather than staying deaf for the rest of the run.
constexpr int kResumeAcceptMs = 500;

// Writes what the connection takes at once, without waiting; 0 when it takes nothing or the
// platform has no such send, and on errors, which the socket then meets and reports itself.
qint64 SendNow(qintptr descriptor, const QByteArray& bytes)
{
#if defined(Q_OS_UNIX) && defined(MSG_NOSIGNAL)
    if (descriptor < 0)
        return 0;
    const ssize_t sent = ::send(static_cast<int>(descriptor), bytes.constData(), static_cast<std::size_t>(bytes.size()),
                                MSG_NOSIGNAL | MSG_DONTWAIT);
    return sent > 0 ? static_cast<qint64>(sent) : 0;
#else
    (void)descriptor;
    (void)bytes;
    return 0;
#endif
}

}  // namespace

TcpCommandServer::TcpCommandServer(TargetSink& sink, std::function<int()> beamAzimuth, Report report,
                                   QObject* parent, std::optional<quint16> port)
    : QObject(parent), m_handler(sink, std::move(beamAzimuth))
{
    m_server.setObjectName(QStringLiteral("ServerSocket1"));
    m_server.setListenBacklogSize(kListenBacklog);
    connect(&m_server, &QTcpServer::newConnection, this, &TcpCommandServer::acceptClients);
    connect(&m_server, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError) {
        QTimer::singleShot(kResumeAcceptMs, this, [this] { m_server.resumeAccepting(); });
    });

    const quint16 listenPort = port.value_or(configuredPort());
    m_port = listenPort;
    if (!m_server.listen(QHostAddress::Any, listenPort)) {
        m_listenError = m_server.errorString();
        if (report)
            report(QStringLiteral("Unable to open TCP port %1 !").arg(listenPort));
    }
}

QString TcpCommandServer::statusText(const StatusTranslateFn& translate) const
{
    // Every address, IPv4 and IPv6.
    const QString any = QHostAddress(QHostAddress::Any).toString();
    if (m_server.isListening())
        return ListeningText(translate, ListenAddressText(any, m_server.serverPort()));
    return CannotListenText(translate, ListenAddressText(any, m_port), m_listenError);
}

TcpCommandServer::~TcpCommandServer()
{
    // The client sockets belong to m_server; their disconnected signals must not reach a
    // half-destroyed server.
    const QSet<QTcpSocket*> clients = std::exchange(m_clients, {});
    for (QTcpSocket* socket : clients) {
        socket->disconnect(this);
        delete socket;
    }
    m_server.close();
}

void TcpCommandServer::close()
{
    m_server.close();
    const QSet<QTcpSocket*> clients = m_clients;
    for (QTcpSocket* socket : clients)
        dropClient(socket);
}

quint16 TcpCommandServer::configuredPort()
{
    bool ok = false;
    const int value = qgetenv("VANTORA_TCP_PORT").trimmed().toInt(&ok, 10);
    if (ok && value >= 0 && value <= 65535)
        return static_cast<quint16>(value);
    return kDefaultPort;
}

void TcpCommandServer::acceptClients()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_clients.size() >= kMaxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_clients.insert(socket);
        socket->setReadBufferSize(kReadBufferBytes);
        // Replies are a few bytes each; sending them at once keeps a client's query-answer
        // round trip from waiting for its delayed acknowledgement.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ServerSocket1ClientRead(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { ServerSocket1ClientError(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { dropClient(socket); });
    }
}

void TcpCommandServer::ServerSocket1ClientRead(QTcpSocket* socket)
{
    if (!m_clients.contains(socket))
        return;
    // One read of at most 10 bytes is one message; what is left is read as further messages.
    // Their replies leave together, in order, in one write.
    QByteArray replies;
    while (socket->bytesAvailable() > 0) {
        const QByteArray message = socket->read(kTcpMessageMax);
        if (message.isEmpty())
            break;
        if (const auto reply = m_handler.OnMessage(std::string_view(message.constData(), message.size())))
            replies.append(reply->data(), static_cast<qsizetype>(reply->size()));
        emit messageHandled(message);
    }
    if (replies.isEmpty())
        return;
    // Sent straight away when nothing of this client's waits to go out: that spares the event
    // loop the write notifier switched on and off around every reply, which under many clients
    // makes each turn of the loop longer and the poll tick late. What the connection does not
    // take now is queued behind it as before.
    const qint64 sent = socket->bytesToWrite() == 0 ? SendNow(socket->socketDescriptor(), replies) : 0;
    if (sent == replies.size())
        return;
    socket->write(replies.constData() + sent, replies.size() - sent);
    socket->flush();  // what stays buffered now is what the client has not taken
    if (socket->bytesToWrite() > kMaxUnsentBytes)
        dropClient(socket);
}

void TcpCommandServer::ServerSocket1ClientError(QTcpSocket* socket)
{
    // Connection errors are expected from remote programs and are not the operator's concern:
    // no message. A connection they ended is let go.
    if (socket->state() == QAbstractSocket::UnconnectedState)
        dropClient(socket);
}

void TcpCommandServer::dropClient(QTcpSocket* socket)
{
    if (!m_clients.remove(socket))
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

}  // namespace vantora
