#include "app/ui/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#ifndef Q_OS_WIN
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

constexpr char kRaiseMessage[] = "raise\n";
}  // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& key, QObject* parent) : QObject(parent)
{
    const QByteArray digest =
        QCryptographicHash::hash((key + '|' + userTag()).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    m_name = QStringLiteral("rotator_view-") + QString::fromLatin1(digest);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::becomePrimary()
{
    {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(kConnectTimeoutMs)) {
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
    m_server->listen(m_name);
    return true;
}

void SingleInstanceGuard::onNewConnection()
{
    while (QLocalSocket* client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
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
