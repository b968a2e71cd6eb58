#include "app/ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <cstdio>
#include <optional>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vantora {

namespace {
constexpr int kConnectTimeoutMs = 1000;

QString userTag()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("USERNAME");
#else
    return QString::number(getuid());
#endif
}

// The user id of the program at the other end of a connected local socket; empty when the
// platform cannot tell.
std::optional<long long> PeerUser(const QLocalSocket& socket)
{
#if defined(SO_PEERCRED)
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return static_cast<long long>(credentials.uid);
#else
    (void)socket;
    return std::nullopt;
#endif
}

bool SameUser(const QLocalSocket& socket)
{
#ifdef Q_OS_WIN
    (void)socket;
    return true;  // named pipes of other users are not ours to reach
#else
    const auto peer = PeerUser(socket);
    return peer && *peer == static_cast<long long>(getuid());
#endif
}

constexpr char kRaiseMessage[] = "raise\n";
}  // namespace

QString GuardFolder(const QString& runtimeDir)
{
#ifndef Q_OS_WIN
    if (!runtimeDir.isEmpty()) {
        const QFileInfo folder(runtimeDir);
        if (folder.isDir() && folder.ownerId() == getuid())
            return folder.absoluteFilePath();
    }
#else
    (void)runtimeDir;
#endif
    // Empty when TMPDIR names no folder: a relative name would put the socket wherever the
    // program was started.
    const QString temporary = QDir::tempPath();
    return temporary.isEmpty() ? QStringLiteral("/tmp") : temporary;
}

SingleInstanceGuard::SingleInstanceGuard(const QString& key, QObject* parent) : QObject(parent)
{
    const QByteArray digest =
        QCryptographicHash::hash((key + '|' + userTag()).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    const QString name = QStringLiteral("rotator_view-") + QString::fromLatin1(digest);
#ifdef Q_OS_WIN
    m_name = name;
#else
    m_name = QDir(GuardFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"))).filePath(name);
#endif
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::startAnyway(const QString& why)
{
    m_problem = why;
    std::fprintf(stderr, "vantora: starting without the single-instance guard: %s\n", qPrintable(why));
    return true;
}

bool SingleInstanceGuard::becomePrimary()
{
    {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(kConnectTimeoutMs)) {
            // Someone else listening under this name is not the running instance: it must not
            // learn anything from us, nor stop us from starting.
            if (!SameUser(probe)) {
                probe.abort();
                return startAnyway(QStringLiteral("%1 is held by another user").arg(m_name));
            }
            probe.write(kRaiseMessage);
            probe.waitForBytesWritten(kConnectTimeoutMs);
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answered: whatever socket file is left belongs to a run that crashed.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::onNewConnection);
    if (!m_server->listen(m_name))
        return startAnyway(QStringLiteral("cannot listen on %1: %2").arg(m_name, m_server->errorString()));
    return true;
}

void SingleInstanceGuard::onNewConnection()
{
    while (QLocalSocket* client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        // Only a program of this user may raise the window.
        if (!SameUser(*client)) {
            client->abort();
            continue;
        }
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            if (client->readAll().contains("raise"))
                emit raiseRequested();
        });
    }
}

void RestoreAndRaise(QWidget& window)
{
    if (window.isMinimized())
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace vantora
