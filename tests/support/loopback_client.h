#pragma once
// A Qt client on loopback for the program's TCP servers: connected once the server has counted
// it, with Nagle off so that a message followed at once by another does not wait for the first
// one's acknowledgement.

#include "support/event_wait.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>

namespace vantora::test {

// `Server` has serverPort() and clientCount().
template <typename Server>
std::unique_ptr<QTcpSocket> ConnectLoopbackClient(const Server& server)
{
    auto client = std::make_unique<QTcpSocket>();
    client->connectToHost(QHostAddress::LocalHost, server.serverPort());
    const int before = server.clientCount();
    EXPECT_TRUE(WaitFor([&] {
        return client->state() == QAbstractSocket::ConnectedState && server.clientCount() > before;
    }));
    client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return client;
}

}  // namespace vantora::test
