#include "net/ui/rotctld_server.h"

#include "track/ui/peer_address.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vantora {

namespace {

constexpr int kListenBacklog = 64;
// After a failed accept (for example no descriptors left) Qt stops accepting; try again later
// rather than staying deaf for the rest of the run.
constexpr int kResumeAcceptMs = 500;

QHostAddress ListenAddress(const std::string& address)
{
    if (address == kRotctldAllAddresses)
        return QHostAddress(QHostAddress::Any);  // IPv4 and IPv6
    if (address == kRotctldAllIpv4)
        return QHostAddress(QHostAddress::AnyIPv4);
    return QHostAddress(QHostAddress::LocalHost);
}

ConnectionAdmission::Id ClientId(const QTcpSocket* socket)
{
    return reinterpret_cast<std::uintptr_t>(socket);
}

}  // namespace

struct RotctldServer::Client {
    QTcpSocket* socket = nullptr;
    RotctldSession session;
    // Runs a command that came without a line end once the client is quiet. A child of the
    // socket, so that it goes with it (later), never under its own timeout signal.
    QTimer* idle = nullptr;
    // A second descriptor of the connection, taken once the client has sent something. Qt
    // closes its own as soon as the client closes its sending side; this one stays open so that
    // the answer to what the client left unended can still reach it. -1 while there is none.
    int endDescriptor = -1;
};

RotctldServer::RotctldServer(RotctldActions& actions, StateFn state, QObject* parent)
    : QObject(parent), m_actions(actions), m_state(std::move(state))
{
    m_server.setObjectName(QStringLiteral("RotctldServer"));
    m_server.setListenBacklogSize(kListenBacklog);
    connect(&m_server, &QTcpServer::newConnection, this, &RotctldServer::acceptClients);
    connect(&m_server, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError) {
        QTimer::singleShot(kResumeAcceptMs, this, [this] { m_server.resumeAccepting(); });
    });
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    m_silenceCheck.setInterval(kSilenceCheckMs);
    connect(&m_silenceCheck, &QTimer::timeout, this, &RotctldServer::closeSilentClients);
    m_silenceCheck.start();
    m_moveLimit.setSingleShot(true);
    m_moveLimit.setInterval(kRotctldMoveMaxMs);
    connect(&m_moveLimit, &QTimer::timeout, this, &RotctldServer::releaseHandDrive);
}

RotctldServer::~RotctldServer()
{
    dropAllClients();
    m_server.close();
}

bool RotctldServer::listen(const RotctldSettings& settings)
{
    if (m_configured && settings == m_settings && (m_server.isListening() || !settings.enabled))
        return m_server.isListening();
    m_configured = true;
    m_settings = settings;
    close();
    if (!settings.enabled)
        return false;
    const QHostAddress address = ListenAddress(settings.address);
    if (settings.port < 0 || settings.port > 65535 || !m_server.listen(address, static_cast<quint16>(settings.port))) {
        m_listenError = m_server.errorString();
        const QString where = ListenAddressText(QString::fromStdString(settings.address), static_cast<quint16>(settings.port));
        std::fprintf(stderr, "vantora: rotctld server: %s\n", qPrintable(CannotListenText({}, where, m_listenError)));
        return false;
    }
    return true;
}

void RotctldServer::close()
{
    dropAllClients();
    m_server.close();
    m_listenError.clear();
}

QString RotctldServer::statusText(const StatusTranslateFn& translate) const
{
    if (!m_configured || !m_settings.enabled)
        return SwitchedOffText(translate);
    const QString address = QString::fromStdString(m_settings.address);
    if (m_server.isListening())
        return ListeningText(translate, ListenAddressText(address, m_server.serverPort()));
    return CannotListenText(translate, ListenAddressText(address, static_cast<quint16>(m_settings.port)), m_listenError);
}

void RotctldServer::acceptClients()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const ConnectionAdmission::Decision decision =
            m_admission.Admit(ClientId(socket), PeerAddressKey(socket->peerAddress()), m_clock());
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
        auto client = std::make_unique<Client>();
        client->socket = socket;
        client->idle = new QTimer(socket);
        client->idle->setSingleShot(true);
        client->idle->setInterval(kRotctldIdleRunMs);
        connect(client->idle, &QTimer::timeout, this, [this, socket] { runPending(socket); });
        socket->setReadBufferSize(kReadBufferBytes);
        // Each reply leaves at once: clients wait for it before their next command.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this,
                [this, socket] { m_admission.Heard(ClientId(socket), m_clock()); });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readClient(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { peerClosed(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
            if (socket->state() == QAbstractSocket::UnconnectedState)
                peerClosed(socket);
        });
        m_clients.emplace(socket, std::move(client));
        if (socket->bytesAvailable() > 0) {
            m_admission.Heard(ClientId(socket), m_clock());
            readClient(socket);
        }
    }
}

void RotctldServer::readClient(QTcpSocket* socket)
{
    const auto found = m_clients.find(socket);
    if (found == m_clients.end())
        return;
    Client& client = *found->second;
#ifdef Q_OS_UNIX
    if (client.endDescriptor < 0 && socket->socketDescriptor() >= 0)
        client.endDescriptor = ::fcntl(static_cast<int>(socket->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
#endif
    // The replies to everything read now leave together, in order, in one write.
    const std::string replies = feed(client);
    if (client.session.hasPending() && !client.session.closeRequested())
        client.idle->start();
    else
        client.idle->stop();
    send(client, replies);
}

std::string RotctldServer::feed(Client& client)
{
    std::string replies;
    char buffer[kReadBufferBytes];
    m_reading = client.socket;
    while (client.socket->bytesAvailable() > 0 && !client.session.closeRequested()) {
        const qint64 got = client.socket->read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        replies += client.session.Feed(std::string_view(buffer, static_cast<std::size_t>(got)), m_state(), m_dispatch);
    }
    m_reading = nullptr;
    return replies;
}

void RotctldServer::runPending(QTcpSocket* socket)
{
    const auto found = m_clients.find(socket);
    if (found == m_clients.end())
        return;
    Client& client = *found->second;
    m_reading = socket;
    const std::string replies = client.session.RunPending(m_state(), m_dispatch);
    m_reading = nullptr;
    send(client, replies);
}

// The client closed its side of the connection, or all of it, and Qt has closed the socket: what
// the client left unended is all it will send. Its replies go out through the second descriptor.
void RotctldServer::peerClosed(QTcpSocket* socket)
{
    const auto found = m_clients.find(socket);
    if (found == m_clients.end())
        return;
    Client& client = *found->second;
    client.idle->stop();
    if (!client.session.closeRequested()) {  // else this server closed it after "q"
        std::string replies = feed(client);
        m_reading = socket;
        replies += client.session.RunAtEnd(m_state(), m_dispatch);
        m_reading = nullptr;
#ifdef Q_OS_UNIX
        if (!replies.empty() && client.endDescriptor >= 0)
            (void)::send(client.endDescriptor, replies.data(), replies.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
#endif
    }
    dropClient(socket);
}

// May end with the client dropped: callers must not touch `client` afterwards.
void RotctldServer::send(Client& client, const std::string& replies)
{
    QTcpSocket* socket = client.socket;
    if (!replies.empty()) {
        socket->write(replies.data(), static_cast<qint64>(replies.size()));
        socket->flush();  // what stays buffered now is what the client has not taken
    }
    if (client.session.closeRequested()) {
        client.idle->stop();
        socket->disconnectFromHost();  // after what is queued has left
    } else if (socket->bytesToWrite() > kMaxUnsentBytes) {
        dropClient(socket);
        return;
    }
    emit repliesQueued();
}

void RotctldServer::closeSilentClients()
{
    for (const ConnectionAdmission::Id id : m_admission.TakeSilent(m_clock())) {
        const auto found = std::find_if(m_clients.begin(), m_clients.end(),
                                        [&](const auto& entry) { return ClientId(entry.first) == id; });
        if (found != m_clients.end())
            dropClient(found->first);
    }
}

void RotctldServer::dropClient(QTcpSocket* socket)
{
    const auto found = m_clients.find(socket);
    if (found == m_clients.end())
        return;
    m_admission.Remove(ClientId(socket));
    std::unique_ptr<Client> client = std::move(found->second);
    m_clients.erase(found);
    if (m_moveOwner == socket)
        releaseHandDrive();
#ifdef Q_OS_UNIX
    if (client->endDescriptor >= 0)
        ::close(client->endDescriptor);
#endif
    client->idle->stop();
    client->idle->disconnect(this);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void RotctldServer::releaseHandDrive()
{
    if (m_moveOwner == nullptr)
        return;
    m_moveOwner = nullptr;
    m_moveLimit.stop();
    m_actions.Move({});
}

void RotctldServer::Dispatch::SetPosition(int code, int azimuth, int elevation)
{
    m_server.releaseHandDrive();
    m_server.m_actions.SetPosition(code, azimuth, elevation);
}

void RotctldServer::Dispatch::Stop()
{
    m_server.releaseHandDrive();
    m_server.m_actions.Stop();
}

void RotctldServer::Dispatch::Park()
{
    m_server.releaseHandDrive();
    m_server.m_actions.Park();
}

void RotctldServer::Dispatch::Move(ArrowKeys keys)
{
    if (!(keys.left || keys.right || keys.up || keys.down) || m_server.m_reading == nullptr) {
        m_server.releaseHandDrive();
        return;
    }
    m_server.m_moveOwner = m_server.m_reading;
    m_server.m_moveLimit.start();
    m_server.m_actions.Move(keys);
}

void RotctldServer::dropAllClients()
{
    while (!m_clients.empty())
        dropClient(m_clients.begin()->first);
}

}  // namespace vantora
