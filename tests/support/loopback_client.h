#pragma once
// A Qt client on loopback for the program's TCP servers: connected once the server has counted
// it, with Nagle off so that a message followed at once by another does not wait for the first
// one's acknowledgement.

#include "support/event_wait.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

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

using LoopbackClients = std::vector<std::unique_ptr<QTcpSocket>>;

// `count` clients asking to connect at once, for a server's cap on clients served.
inline LoopbackClients StartLoopbackClients(quint16 port, int count)
{
    LoopbackClients clients;
    for (int i = 0; i < count; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    return clients;
}

inline std::ptrdiff_t CountInState(const LoopbackClients& clients, QAbstractSocket::SocketState state)
{
    return std::count_if(clients.begin(), clients.end(), [&](const auto& c) { return c->state() == state; });
}

}  // namespace vantora::test
