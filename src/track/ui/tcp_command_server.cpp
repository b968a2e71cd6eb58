#include "track/ui/tcp_command_server.h"

#include "track/ui/peer_address.h"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

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

ConnectionAdmission::Id ClientId(const QTcpSocket* socket)
{
    return reinterpret_cast<std::uintptr_t>(socket);
}

}  // namespace

TcpCommandServer::TcpCommandServer(TargetSink& sink, std::function<int()> beamAzimuth, Report report,
                                   QObject* parent, std::optional<quint16> port)
    : QObject(parent), m_handler(sink, std::move(beamAzimuth))
{
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    m_silenceCheck.setInterval(kSilenceCheckMs);
    connect(&m_silenceCheck, &QTimer::timeout, this, &TcpCommandServer::closeSilentClients);
    m_silenceCheck.start();
    m_server.setObjectName(QStringLiteral("ServerSocket1"));
    m_server.setListenBacklogSize(kListenBacklog);
    connect(&m_server, &QTcpServer::newConnection, this, &TcpCommandServer::acceptClients);
    connect(&m_server, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError) {
        QTimer::singleShot(kResumeAcceptMs, this, [this] { m_server.resumeAccepting(); });
    });

    const quint16 listenPort = port.value_or(configuredPort());
    m_port = listenPort;
    listenOn(m_address);
    if (!m_server.isListening() && report)
        report(QStringLiteral("Unable to open TCP port %1 !").arg(listenPort));
}

void TcpCommandServer::listenOn(const QHostAddress& address)
{
    m_address = address;
    m_listenError.clear();
    if (!m_server.listen(address, m_port))
        m_listenError = m_server.errorString();
}

void TcpCommandServer::configure(const TcpServerSettings& settings)
{
    m_settings = settings;
    m_filterError = std::string(AddressFilterError(settings.acceptFrom));
    const QHostAddress address(settings.address == kTcpLoopback ? QHostAddress::LocalHost : QHostAddress::Any);
    if (!m_filterError.empty()) {
        m_address = address;
        while (!m_clients.empty())
            dropClient(m_clients.begin()->first);
        m_server.close();
        return;
    }
    m_filter = ParseAddressFilter(settings.acceptFrom).value_or(AddressFilter{});
    if (address != m_address || !m_server.isListening()) {
        while (!m_clients.empty())
            dropClient(m_clients.begin()->first);
        m_server.close();
        listenOn(address);
        return;
    }
    std::vector<QTcpSocket*> refused;
    for (const auto& [socket, framer] : m_clients) {
        if (!m_filter.Accepts(PeerIpv4(socket->peerAddress())))
            refused.push_back(socket);
    }
    for (QTcpSocket* socket : refused)
        dropClient(socket);
}

QString TcpCommandServer::statusText(const StatusTranslateFn& translate) const
{
    const QString where =
        ListenAddressText(m_address.toString(), m_server.isListening() ? m_server.serverPort() : m_port);
    if (!m_filterError.empty())
        return CannotListenText(translate, where,
                                QString::fromStdString(translate ? translate(m_filterError) : m_filterError));
    if (m_server.isListening())
        return ListeningText(translate, where);
    return CannotListenText(translate, where, m_listenError);
}

TcpCommandServer::~TcpCommandServer()
{
    // The client sockets belong to m_server; their disconnected signals must not reach a
    // half-destroyed server.
    const auto clients = std::exchange(m_clients, {});
    for (const auto& [socket, framer] : clients) {
        socket->disconnect(this);
        delete socket;
    }
    m_server.close();
}

void TcpCommandServer::close()
{
    m_server.close();
    while (!m_clients.empty())
        dropClient(m_clients.begin()->first);
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
        const QHostAddress peer = socket->peerAddress();
        const ConnectionAdmission::Decision decision =
            m_filter.Accepts(PeerIpv4(peer)) ? m_admission.Admit(ClientId(socket), PeerAddressKey(peer), now())
                                             : ConnectionAdmission::Decision{};
        if (!decision.admit) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        if (decision.close) {
            // The connection silent longest makes room.
            const auto victim = std::find_if(m_clients.begin(), m_clients.end(), [&](const auto& entry) {
                return ClientId(entry.first) == *decision.close;
            });
            if (victim != m_clients.end())
                dropClient(victim->first);
        }
        m_clients.emplace(socket, TcpMessageFramer{});
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
    const auto found = m_clients.find(socket);
    if (found == m_clients.end())
        return;
    m_admission.Heard(ClientId(socket), now());
    // Everything that has arrived is cut into messages; an unfinished one waits for its rest.
    // The replies leave together, in order, in one write.
    QByteArray replies;
    char buffer[kReadBufferBytes];
    while (socket->bytesAvailable() > 0) {
        const qint64 got = socket->read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (const std::string& message : found->second.Feed(std::string_view(buffer, static_cast<std::size_t>(got)))) {
            if (const auto reply = m_handler.OnMessage(message))
                replies.append(reply->data(), static_cast<qsizetype>(reply->size()));
            emit messageHandled(QByteArray::fromStdString(message));
        }
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

void TcpCommandServer::closeSilentClients()
{
    for (const ConnectionAdmission::Id id : m_admission.TakeSilent(now())) {
        const auto found = std::find_if(m_clients.begin(), m_clients.end(),
                                        [&](const auto& entry) { return ClientId(entry.first) == id; });
        if (found != m_clients.end())
            dropClient(found->first);
    }
}

void TcpCommandServer::dropClient(QTcpSocket* socket)
{
    if (m_clients.erase(socket) == 0)
        return;
    m_admission.Remove(ClientId(socket));
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

}  // namespace vantora
